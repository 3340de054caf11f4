#pragma once

#include "dialogkit/SystemMenu.h"

#include <functional>

class QContextMenuEvent;
class QPoint;
class QWidget;

namespace lumora::dialogkit {

// Shows a dialog's system menu stand-in (SystemMenu) where the operator asks for a menu: on a right
// click on the dialog's free area, never over a control, and at the dialog's top-left corner for
// the Menu key and Shift+F10, unless an edit box has the focus: that keeps its own edit menu. A
// dialog without a system menu shows none.
class WindowMenu {
public:
    // Runs the entry the operator chose.
    using Chooser = std::function<void(int commandId)>;

    WindowMenu(QWidget& dialog, bool present, Chooser chooser);

    bool present() const { return present_; }
    SystemMenu& entries() { return entries_; }
    const SystemMenu& entries() const { return entries_; }

    // A context-menu event on its way to target, the dialog or one of its controls; true when it
    // is taken here.
    bool filterContextMenu(const QWidget& target, const QContextMenuEvent& event);
    // A context-menu event that reached the dialog itself; false when it is not the menu's.
    bool showOnFreeArea(const QContextMenuEvent& event);
    // Sends target the keyboard's context-menu event, as the Menu key does.
    static void openFromKeyboard(QWidget& target);

private:
    void show(const QPoint& globalPosition);

    QWidget& dialog_;
    bool present_;
    SystemMenu entries_;
    Chooser chooser_;
};

} // namespace lumora::dialogkit
