#include "dialogkit/MessageBox.h"

#include "dialogkit/Notification.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <utility>

namespace lumora::dialogkit {
namespace {

MessageBoxPresenter& presenter() {
    static MessageBoxPresenter current = showQtMessageBox;
    return current;
}

} // namespace

int messageBox(QWidget* owner, const QString& text, unsigned flags) {
    const MessageIcon icon =
        (flags & kMbIconMask) == kMbIconError ? MessageIcon::Error : MessageIcon::Warning;
    // A copy, so that a presenter replaced while its box is open is not destroyed under it.
    const MessageBoxPresenter show = presenter();
    return show(MessageBoxRequest{owner, applicationTitle(), text, icon});
}

MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter replacement) {
    MessageBoxPresenter previous = std::move(presenter());
    presenter() = replacement ? std::move(replacement) : MessageBoxPresenter(showQtMessageBox);
    return previous;
}

int showQtMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(request.icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    request.title, request.text, QMessageBox::Ok, request.owner);
    box.exec();
    return kIdOk;
}

QString applicationTitle() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace lumora::dialogkit
