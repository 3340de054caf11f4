#include "dialogkit/Dialog.h"

#include "dialogkit/DialogFont.h"
#include "dialogkit/Utf8Text.h"
#include "dialogkit/WindowStyle.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

#include <utility>

namespace lumora::dialogkit {
Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* owner)
    : QDialog(owner)
    , templateId_(dialogTemplate.id)
    , units_(DialogUnits::fromFont(templateFont(dialogTemplate)))
    , placement_(QPoint(dialogTemplate.x, dialogTemplate.y), units_)
    , windowMenu_(*this, (dialogTemplate.style & style::kSysMenu) != 0,
                  [this](int commandId) { chooseSystemMenuItem(commandId); })
    , keys_(*this, kHelpContextBase + dialogTemplate.id, windowMenu_,
            [this](QWidget& target, const QKeyEvent& key) {
                return preTranslateKey(key) || moveWithinGroup(target, key);
            })
    , mouseButtons_(*this) {
    setWindowFlags(templateWindowFlags(dialogTemplate));
    setWindowTitle(utf8Text(dialogTemplate.caption));
    setFont(templateFont(dialogTemplate));
    setFixedSize(units_.toPixels(dialogTemplate.cx, dialogTemplate.cy));

    controls_ = ControlSet(
        dialogTemplate, units_, *this,
        [this](Notification notification, int id) {
            table_.raise({notification, id});
        },
        [this](int id) { command(id); });
}

int Dialog::doModal() {
    initialiseOnce();
    // A dialog ended during its initialisation is never shown; QDialog::exec would wait forever.
    if (!ended_) {
        exec();
    }
    return result();
}

bool Dialog::chooseSystemMenuItem(int commandId) {
    if (!systemMenu().contains(commandId)) {
        return false;
    }
    if (!table_.raise({Notification::SysCommand, kNoControl, commandId})) {
        defaultSysCommand(commandId);
    }
    return true;
}

void Dialog::defaultSysCommand(int commandId) {
    // The low four bits of a system command are the system's own.
    if ((commandId & kSysCommandMask) == kScClose) {
        close();
    }
}

void Dialog::setVisible(bool visible) {
    if (visible) {
        initialiseOnce();
        if (ended_) {
            return;
        }
    }
    QDialog::setVisible(visible);
}

void Dialog::done(int code) {
    if (ended_) {
        return;
    }
    ended_ = true;
    QDialog::done(code);
    table_.raise({Notification::Destroy, kNoControl});
}

void Dialog::reject() {
    // Esc and the window's close command arrive here: both are the cancel command.
    command(kIdCancel);
}

void Dialog::clearControlFocus() {
    focusWhenDeactivated_ = nullptr;
    if (QWidget* focus = focusWidget()) {
        focus->clearFocus();
    }
}

bool Dialog::focusNextPrevChild(bool next) {
    // Qt asks for the next control when the one with the focus is disabled. Refusing makes Qt clear
    // the focus instead, so that a key meant for the disabled control lands on no other one.
    const QWidget* focus = focusWidget();
    if (focus != nullptr && !focus->isEnabled()) {
        return false;
    }
    return QDialog::focusNextPrevChild(next);
}

void Dialog::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        keepFocusThroughActivation();
    }
    QDialog::changeEvent(event);
}

void Dialog::keepFocusThroughActivation() {
    if (!isActiveWindow()) {
        QWidget* focus = focusWidget();
        focusWhenDeactivated_ = focus != this ? focus : nullptr;
        deactivated_ = true;
        return;
    }
    // Qt sets the focus after this event, on the window's focus widget, or on the first tab stop
    // when it has none. Focusing the dialog itself keeps every control without it: on a live rig a
    // key landing on a fader or a port button by surprise changes the output.
    if (deactivated_) {
        QWidget* restored = focusWhenDeactivated_;
        (restored != nullptr ? restored : this)->setFocus(Qt::ActiveWindowFocusReason);
    }
}

bool Dialog::moveWithinGroup(QWidget& target, const QKeyEvent& key) {
    if (key.type() != QEvent::KeyPress) {
        return false;
    }
    bool forward = false;
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        forward = true;
        break;
    default:
        return false;
    }
    QWidget* next = controls_.groups().next(&target, forward);
    if (next == nullptr) {
        return false;
    }
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void Dialog::contextMenuEvent(QContextMenuEvent* event) {
    if (!windowMenu_.showOnFreeArea(*event)) {
        event->ignore();
    }
}

void Dialog::paintEvent(QPaintEvent* event) {
    if (!table_.raise({Notification::Paint, kNoControl})) {
        QDialog::paintEvent(event);
    }
}

void Dialog::command(int id) {
    if (table_.raise({Notification::Clicked, id})) {
        return;
    }
    if (id == kIdOk || id == kIdCancel) {
        endDialog(id);
    }
}

void Dialog::initialiseOnce() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    initDialog();
    if (!ended_) {
        // With the native window made, the frame margins are known where they are known before
        // the window is mapped (offscreen; X11 learns them from the window manager later).
        create();
        placement_.place(*this);
    }
}

} // namespace lumora::dialogkit
