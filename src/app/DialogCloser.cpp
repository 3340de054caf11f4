#include "app/DialogCloser.h"

#include "dialogkit/Dialog.h"

#include <QApplication>

#include <chrono>

namespace lumora {

namespace {

// Long enough that a window which refuses to close costs no processor time, short enough to go
// unnoticed.
constexpr std::chrono::milliseconds kStepInterval{10};

} // namespace

DialogCloser::DialogCloser(dialogkit::Dialog& dialog)
    : dialog_(dialog) {
    nextStep_.setSingleShot(true);
    nextStep_.setInterval(kStepInterval);
    QObject::connect(&nextStep_, &QTimer::timeout, &nextStep_, [this] { step(); });
}

void DialogCloser::request() {
    step();
}

void DialogCloser::closeNow() {
    request();
    while (!dialog_.hasEnded() && dialog_.isVisible()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void DialogCloser::step() {
    if (dialog_.hasEnded()) {
        return;
    }
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    } else if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != &dialog_) {
        modal->close();
    } else if (dialog_.isVisible()) {
        dialog_.close();
    }
    if (!dialog_.hasEnded()) {
        nextStep_.start();
    }
}

} // namespace lumora
