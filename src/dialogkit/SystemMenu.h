#pragma once

#include <QString>

#include <vector>

class QMenu;

namespace lumora::dialogkit {

// The stand-in for a dialog's window menu: the platform's Close command first, then what the
// dialog appended. Qt cannot reach the window manager's own menu, so the dialog shows this one as
// a context menu on its client area.
class SystemMenu {
public:
    struct Item {
        int commandId; // 0 for a separator
        QString text;
    };

    SystemMenu();

    void appendSeparator();
    void appendItem(int commandId, const QString& text);

    const std::vector<Item>& items() const { return m_items; }
    bool contains(int commandId) const;

    // Fills menu with the items; each action carries its command id as data.
    void populate(QMenu& menu) const;

private:
    std::vector<Item> m_items;
};

} // namespace lumora::dialogkit
