#include "dialogkit/WindowMenu.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

#include <utility>

namespace lumora::dialogkit {

WindowMenu::WindowMenu(QWidget& dialog, bool present, Chooser chooser)
    : dialog_(dialog)
    , present_(present)
    , chooser_(std::move(chooser)) {}

bool WindowMenu::filterContextMenu(const QWidget& target, const QContextMenuEvent& event) {
    // A mouse's context menu goes where the pointer is (see showOnFreeArea), and an edit box with
    // the focus keeps its own edit menu; any other control would offer nothing, so the keyboard's
    // menu is the dialog's, shown at its top-left corner.
    if (event.reason() != QContextMenuEvent::Keyboard || qobject_cast<const QLineEdit*>(&target) != nullptr) {
        return false;
    }
    if (present_) {
        show(dialog_.mapToGlobal(QPoint(0, 0)));
    }
    return true;
}

bool WindowMenu::showOnFreeArea(const QContextMenuEvent& event) {
    // Controls leave their right clicks to the dialog; only a click on the free area means it.
    if (!present_ || dialog_.childAt(event.pos()) != nullptr) {
        return false;
    }
    show(event.globalPos());
    return true;
}

void WindowMenu::openFromKeyboard(QWidget& target) {
    const QPoint centre(target.width() / 2, target.height() / 2);
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, centre, target.mapToGlobal(centre));
    QApplication::sendEvent(&target, &menuEvent);
}

void WindowMenu::show(const QPoint& globalPosition) {
    if (!entries_.hasCommands()) {
        return;
    }
    QMenu menu(&dialog_);
    entries_.populate(menu);
    const QAction* chosen = menu.exec(globalPosition);
    if (chosen != nullptr) {
        chooser_(chosen->data().toInt());
    }
}

} // namespace lumora::dialogkit
