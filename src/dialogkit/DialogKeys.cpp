#include "dialogkit/DialogKeys.h"

#include "dialogkit/WindowMenu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

#include <utility>

namespace lumora::dialogkit {
namespace {

DialogKeys::HelpHandler& helpHandler() {
    static DialogKeys::HelpHandler handler;
    return handler;
}

} // namespace

DialogKeys::DialogKeys(QWidget& dialog, int helpContext, WindowMenu& windowMenu, KeyHook keyHook)
    : dialog_(dialog)
    , helpContext_(helpContext)
    , windowMenu_(windowMenu)
    , keyHook_(std::move(keyHook)) {
    QApplication::instance()->installEventFilter(this);
}

DialogKeys::~DialogKeys() {
    QApplication::instance()->removeEventFilter(this);
}

void DialogKeys::setHelpHandler(HelpHandler handler) {
    helpHandler() = std::move(handler);
}

bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride &&
        type != QEvent::ContextMenu) {
        return false;
    }
    // Only this dialog's window: isAncestorOf stops at window borders.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || (widget != &dialog_ && !dialog_.isAncestorOf(widget))) {
        return false;
    }
    if (type == QEvent::ContextMenu) {
        return windowMenu_.filterContextMenu(*widget, static_cast<const QContextMenuEvent&>(*event));
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (keyHook_(*widget, key)) {
        return true;
    }
    return type == QEvent::KeyPress && keyPress(*widget, key);
}

bool DialogKeys::keyPress(QWidget& target, const QKeyEvent& key) const {
    const Qt::KeyboardModifiers held =
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (key.key() == Qt::Key_F1 && held == Qt::NoModifier) {
        if (helpHandler()) {
            helpHandler()(helpContext_);
        }
        return true;
    }
    if (key.key() == Qt::Key_F10 && held == Qt::ShiftModifier) {
        WindowMenu::openFromKeyboard(target);
        return true;
    }
    return false;
}

} // namespace lumora::dialogkit
