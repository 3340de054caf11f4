#include "app/SessionEndFilter.h"

#include <QCoreApplication>

#include <windows.h>

namespace lumora {

SessionEndFilter::SessionEndFilter(std::function<void()> onSessionEnd)
    : onSessionEnd_(std::move(onSessionEnd)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

SessionEndFilter::~SessionEndFilter() {
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool SessionEndFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
    if (eventType != "windows_generic_MSG") {
        return false;
    }
    const MSG& msg = *static_cast<const MSG*>(message);
    if (msg.message != WM_ENDSESSION || msg.wParam == FALSE) {
        return false;
    }
    // Every top-level window gets the message; Qt's own answer would leave the dialog's loop without
    // ending the dialog.
    if (onSessionEnd_) {
        onSessionEnd_();
    }
    *result = 0;
    return true;
}

} // namespace lumora
