#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace lumora {

namespace {

// The installed instance's write end, or -1. The handler may run on any thread of the process, so
// it reads this and counts itself in handlersRunning with lock-free atomics only; uninstalling
// sleeps until the last running handler wakes it before the pipe is closed, so a handler never
// writes to a closed or reused descriptor.
std::atomic<int> writeEnd{-1};
std::atomic<int> handlersRunning{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void onTerminationSignal(int) {
    const int savedErrno = errno;
    handlersRunning.fetch_add(1);
    const int descriptor = writeEnd.load();
    if (descriptor >= 0) {
        // When the pipe is full, a byte is already waiting to be answered; this one is not needed.
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(descriptor, &byte, 1);
    }
    // Waking a waiter on a lock-free atomic is among the few things a signal handler may do.
    if (handlersRunning.fetch_sub(1) == 1) {
        handlersRunning.notify_all();
    }
    errno = savedErrno;
}

bool ignored(const struct sigaction& action) {
    return (action.sa_flags & SA_SIGINFO) == 0 && action.sa_handler == SIG_IGN;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal)
    : onSignal_(std::move(onSignal)) {}

TerminationSignals::~TerminationSignals() {
    uninstall();
}

bool TerminationSignals::install() {
    if (isInstalled()) {
        return true;
    }
    if (::pipe2(pipe_.data(), O_NONBLOCK | O_CLOEXEC) != 0) {
        pipe_ = {-1, -1};
        return false;
    }
    int none = -1;
    if (!writeEnd.compare_exchange_strong(none, pipe_[1])) {
        uninstall();
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        struct sigaction current = {};
        if (::sigaction(kSignals[i], nullptr, &current) != 0) {
            uninstall();
            return false;
        }
        if (ignored(current)) {
            continue;
        }
        if (::sigaction(kSignals[i], &action, &previous_[i]) != 0) {
            uninstall();
            return false;
        }
        replaced_[i] = true;
    }
    // A byte written before the notifier exists is still in the pipe and is seen at once.
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { drainAndReport(); });
    return true;
}

void TerminationSignals::drainAndReport() {
    // Several signals before the thread got here are one request.
    std::array<char, 64> bytes = {};
    bool signalled = false;
    while (::read(pipe_[0], bytes.data(), bytes.size()) > 0) {
        signalled = true;
    }
    if (signalled && onSignal_) {
        onSignal_();
    }
}

void TerminationSignals::uninstall() {
    notifier_.reset();
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (replaced_[i]) {
            ::sigaction(kSignals[i], &previous_[i], nullptr);
            replaced_[i] = false;
        }
    }
    if (pipe_[1] >= 0) {
        int mine = pipe_[1];
        writeEnd.compare_exchange_strong(mine, -1);
        for (int running = handlersRunning.load(); running != 0; running = handlersRunning.load()) {
            handlersRunning.wait(running);
        }
    }
    for (int& descriptor : pipe_) {
        if (descriptor >= 0) {
            ::close(descriptor);
            descriptor = -1;
        }
    }
}

} // namespace lumora
