#include "dialogkit/Dialog.h"

#include "dialogkit/BitmapButton.h"
#include "dialogkit/ComboBox.h"
#include "dialogkit/DialogFont.h"
#include "dialogkit/DialogPlacement.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/TemplateText.h"
#include "dialogkit/Trackbar.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <utility>

namespace lumora::dialogkit {
namespace {

Dialog::HelpHandler& helpHandler() {
    static Dialog::HelpHandler handler;
    return handler;
}

IconLoader& iconLoader() {
    static IconLoader loader;
    return loader;
}

QFont templateFont(const DialogTemplate& dialogTemplate) {
    return (dialogTemplate.style & style::kSetFont) != 0 ? dialogFont(dialogTemplate.font)
                                                         : QApplication::font();
}

bool withoutModifiers(const QKeyEvent& key, Qt::KeyboardModifiers allowed) {
    const Qt::KeyboardModifiers held =
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    return held == allowed;
}

} // namespace

Dialog::Dialog(const DialogTemplate& dialogTemplate, QWidget* owner)
    : QDialog(owner)
    , templateId_(dialogTemplate.id)
    , templatePosition_(dialogTemplate.x, dialogTemplate.y)
    , hasSystemMenu_((dialogTemplate.style & style::kSysMenu) != 0)
    , units_(DialogUnits::fromFont(templateFont(dialogTemplate))) {
    // A dialog with its own task-bar entry is a main window to the window manager, not a dialog
    // transient for another window.
    const bool ownTaskBarEntry = (dialogTemplate.exStyle & style::kExAppWindow) != 0;
    Qt::WindowFlags flags =
        (ownTaskBarEntry ? Qt::Window : Qt::Dialog) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (hasSystemMenu_) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
    setWindowTitle(templateText(dialogTemplate.caption));
    setFont(templateFont(dialogTemplate));
    setFixedSize(units_.toPixels(dialogTemplate.cx, dialogTemplate.cy));

    const ControlFactory factory(units_, iconLoader());
    controls_.reserve(dialogTemplate.controls.size());
    for (const ControlTemplate& control : dialogTemplate.controls) {
        const int id = control.id;
        const Notifier notifier = [this, id](Notification notification) {
            dispatch(notification, id);
        };
        QWidget* widget = factory.create(control, notifier, this);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            connect(button, &QAbstractButton::clicked, this, [this, id] { command(id); });
        }
        controls_.push_back({id, widget});
    }
    QApplication::instance()->installEventFilter(this);
}

Dialog::~Dialog() {
    QApplication::instance()->removeEventFilter(this);
}

int Dialog::doModal() {
    initialiseOnce();
    // A dialog ended during its initialisation is never shown; QDialog::exec would wait forever.
    if (!ended_) {
        exec();
    }
    return result();
}

QWidget* Dialog::control(int id) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [id](const Control& control) { return control.id == id; });
    return found == controls_.end() ? nullptr : found->widget;
}

QPushButton* Dialog::button(int id) const {
    return dynamic_cast<QPushButton*>(control(id));
}

EditBox* Dialog::edit(int id) const {
    return dynamic_cast<EditBox*>(control(id));
}

Trackbar* Dialog::trackbar(int id) const {
    return dynamic_cast<Trackbar*>(control(id));
}

QLabel* Dialog::staticText(int id) const {
    return dynamic_cast<QLabel*>(control(id));
}

ComboBox* Dialog::comboBox(int id) const {
    return dynamic_cast<ComboBox*>(control(id));
}

BitmapButton* Dialog::bitmapButton(int id) const {
    return dynamic_cast<BitmapButton*>(control(id));
}

bool Dialog::chooseSystemMenuItem(int commandId) {
    if (!systemMenu_.contains(commandId)) {
        return false;
    }
    if (!dispatch(Notification::SysCommand, kNoControl, commandId)) {
        defaultSysCommand(commandId);
    }
    return true;
}

void Dialog::defaultSysCommand(int commandId) {
    // The low four bits of a system command are the system's own.
    if ((commandId & 0xFFF0) == kScClose) {
        close();
    }
}

void Dialog::setHelpHandler(HelpHandler handler) {
    helpHandler() = std::move(handler);
}

void Dialog::setIconLoader(IconLoader loader) {
    iconLoader() = std::move(loader);
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
    dispatch(Notification::Destroy, kNoControl);
}

void Dialog::reject() {
    // Esc and the window's close command arrive here: both are the cancel command.
    command(kIdCancel);
}

bool Dialog::preTranslateKey(const QKeyEvent& /*event*/) {
    return false;
}

bool Dialog::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride &&
        type != QEvent::ContextMenu) {
        return QDialog::eventFilter(watched, event);
    }
    // Only this dialog's window: isAncestorOf stops at window borders, so owned dialogs and
    // message boxes are left alone.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != this && !isAncestorOf(widget))) {
        return false;
    }
    if (type == QEvent::ContextMenu) {
        return keyboardContextMenu(*widget, static_cast<const QContextMenuEvent&>(*event));
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (preTranslateKey(key)) {
        return true;
    }
    if (type != QEvent::KeyPress) {
        return false;
    }
    if (key.key() == Qt::Key_F1 && withoutModifiers(key, Qt::NoModifier)) {
        if (helpHandler()) {
            helpHandler()(kHelpContextBase + templateId_);
        }
        return true;
    }
    if (key.key() == Qt::Key_F10 && withoutModifiers(key, Qt::ShiftModifier)) {
        // Shift+F10 is the keyboard's other way to a context menu, as the Menu key is.
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard,
                                    QPoint(widget->width() / 2, widget->height() / 2),
                                    widget->mapToGlobal(QPoint(widget->width() / 2, widget->height() / 2)));
        QApplication::sendEvent(widget, &menuEvent);
        return true;
    }
    return false;
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

bool Dialog::keyboardContextMenu(const QWidget& target, const QContextMenuEvent& event) {
    // A mouse's context menu goes where the pointer is (see contextMenuEvent), and an edit box with
    // the focus keeps its own edit menu; any other control would offer nothing, so the keyboard's
    // menu is the dialog's, shown at its top-left corner.
    if (event.reason() != QContextMenuEvent::Keyboard || qobject_cast<const QLineEdit*>(&target) != nullptr) {
        return false;
    }
    if (hasSystemMenu_) {
        showSystemMenu(mapToGlobal(QPoint(0, 0)));
    }
    return true;
}

void Dialog::contextMenuEvent(QContextMenuEvent* event) {
    // Controls leave their right clicks to the dialog; only a click on the free area means it.
    if (!hasSystemMenu_ || childAt(event->pos()) != nullptr) {
        event->ignore();
        return;
    }
    showSystemMenu(event->globalPos());
}

void Dialog::paintEvent(QPaintEvent* event) {
    if (!dispatch(Notification::Paint, kNoControl)) {
        QDialog::paintEvent(event);
    }
}

bool Dialog::dispatch(Notification notification, int controlId, int param) {
    const MessageEntry* entry = table_.find(notification, controlId);
    if (entry == nullptr || !entry->handler) {
        return false;
    }
    // A copy: the handler may run nested notifications and outlive changes to the table.
    const Handler handler = entry->handler;
    handler(NotifyEvent{notification, controlId, param});
    return true;
}

void Dialog::command(int id) {
    if (dispatch(Notification::Clicked, id)) {
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
        place();
    }
}

void Dialog::place() {
    // With the native window made, the frame margins are known on platforms that know them
    // before the window is mapped (offscreen does; X11 learns them from the window manager later).
    create();
    QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (templatePosition_ != QPoint(0, 0)) {
        // Relative to the owner's client area, or to the screen without an owner.
        const QPoint origin = owner != nullptr ? owner->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
        move(origin +
             QPoint(units_.toPixelsX(templatePosition_.x()), units_.toPixelsY(templatePosition_.y())));
        return;
    }
    if (testAttribute(Qt::WA_Moved)) {
        return; // moved by initDialog
    }
    const bool overOwner = owner != nullptr && owner->isVisible() && !owner->isMinimized();
    QScreen* screen = overOwner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect workArea = screen->availableGeometry();
    const QRect over = overOwner ? owner->frameGeometry() : workArea;
    move(DialogPlacement::centredTopLeft(frameGeometry().size(), over, workArea));
}

void Dialog::showSystemMenu(const QPoint& globalPosition) {
    if (!systemMenu_.hasCommands()) {
        return;
    }
    QMenu menu(this);
    systemMenu_.populate(menu);
    const QAction* chosen = menu.exec(globalPosition);
    if (chosen != nullptr) {
        chooseSystemMenuItem(chosen->data().toInt());
    }
}

} // namespace lumora::dialogkit
