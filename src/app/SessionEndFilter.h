#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

namespace lumora {

// Windows' end of the session (log-off, restart, shut-down) turned into a call on the user-interface
// thread. Windows asks every top-level window with WM_QUERYENDSESSION whether the session may end,
// which Qt answers; once it will end, WM_ENDSESSION follows, and the process may be ended as soon
// as that is answered. onSessionEnd therefore runs while the message waits for its answer, and must
// have finished what has to be finished before it returns. A session that goes on after all
// (WM_ENDSESSION with FALSE) changes nothing.
//
// Thread rules: construction and destruction belong to the user-interface thread, after the
// application object exists, and onSessionEnd runs there.
class SessionEndFilter : public QAbstractNativeEventFilter {
public:
    explicit SessionEndFilter(std::function<void()> onSessionEnd);
    ~SessionEndFilter() override;
    SessionEndFilter(const SessionEndFilter&) = delete;
    SessionEndFilter& operator=(const SessionEndFilter&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> onSessionEnd_;
};

} // namespace lumora
