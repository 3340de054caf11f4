#pragma once

#include <QTimer>

namespace lumora {

namespace dialogkit {
class Dialog;
}

// Ends a running dialog from outside the way the operator ends it with the window's close command:
// popups and modal windows above it (the system menu, a message box, the About box) are closed
// first, then the dialog gets the close command, so its cancel handling ends it and its destroy
// handling runs as usual.
//
// A window above the dialog may have been opened by a handler that is still running in a nested
// event loop; closing the window lets that handler finish, so each further step waits for a later
// turn of the event loop, until the dialog has ended. A dialog not shown yet is closed once it is.
//
// Thread rules: user-interface thread only.
class DialogCloser {
public:
    explicit DialogCloser(dialogkit::Dialog& dialog);
    DialogCloser(const DialogCloser&) = delete;
    DialogCloser& operator=(const DialogCloser&) = delete;

    // Starts closing the dialog, or takes the next step when it is already closing.
    void request();
    // Closes the dialog before it returns, running the event loop meanwhile, for a caller that is
    // not asked again: Windows may end the process once its end-of-session message is answered. A
    // dialog not shown yet has no output running and is left to be closed once it is.
    void closeNow();

private:
    void step();

    dialogkit::Dialog& dialog_;
    QTimer nextStep_;
};

} // namespace lumora
