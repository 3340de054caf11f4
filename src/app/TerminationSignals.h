#pragma once

#include <array>
#include <functional>
#include <memory>
#include <signal.h>

class QSocketNotifier;

namespace lumora {

// Turns SIGINT, SIGTERM and SIGHUP into a call on the user-interface thread, so that the program
// can end the way its window's close command ends it instead of dying where the signal hit.
//
// The handlers only write one byte to a non-blocking pipe; the pipe's read end is watched from the
// event loop of the thread that installed them, which then calls onSignal once for every batch of
// bytes it finds. A signal that comes while that thread is busy is answered once it is free.
// A signal that the process was started with ignored (nohup, a background job of a script) stays
// ignored.
//
// Thread rules: construction, install and destruction belong to the user-interface thread, and
// onSignal runs there. One instance at a time may be installed in a process.
class TerminationSignals {
public:
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};

    explicit TerminationSignals(std::function<void()> onSignal);
    // Gives the signals back the dispositions they had before install and closes the pipe.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Installs the handlers. False when the pipe or a handler cannot be set up, or another
    // instance is installed; nothing is changed then, and the signals keep what they had.
    bool install();
    bool isInstalled() const { return notifier_ != nullptr; }

private:
    void drainAndReport();
    void uninstall();

    std::function<void()> onSignal_;
    std::array<int, 2> pipe_ = {-1, -1};
    std::array<struct sigaction, kSignals.size()> previous_ = {};
    std::array<bool, kSignals.size()> replaced_ = {};
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace lumora
