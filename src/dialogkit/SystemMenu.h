#pragma once

#include <QString>

#include <vector>

class QMenu;

namespace lumora::dialogkit {

// The stand-in for a dialog's window menu: what the dialog appended. Qt cannot reach the window
// manager's own menu, so the dialog shows this one as a context menu on its client area. It holds
// no Close: the close box and Alt+F4 close the window, and a Close one click away in a menu that
// a stray right click opens would end a show.
class SystemMenu {
public:
    struct Item {
        int commandId; // 0 for a separator
        QString text;
    };

    void appendSeparator();
    void appendItem(int commandId, const QString& text);

    const std::vector<Item>& items() const { return items_; }
    bool contains(int commandId) const;
    // Whether there is any entry to choose; separators alone are not worth a menu.
    bool hasCommands() const;

    // Fills menu with the items; each action carries its command id as data.
    void populate(QMenu& menu) const;

private:
    std::vector<Item> items_;
};

} // namespace lumora::dialogkit
