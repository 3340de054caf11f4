#include "dialogkit/SystemMenu.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace lumora::dialogkit {

void SystemMenu::appendSeparator() {
    items_.push_back({0, QString()});
}

void SystemMenu::appendItem(int commandId, const QString& text) {
    items_.push_back({commandId, text});
}

bool SystemMenu::contains(int commandId) const {
    return commandId != 0 && std::any_of(items_.begin(), items_.end(), [commandId](const Item& item) {
               return item.commandId == commandId;
           });
}

bool SystemMenu::hasCommands() const {
    return std::any_of(items_.begin(), items_.end(), [](const Item& item) { return item.commandId != 0; });
}

void SystemMenu::populate(QMenu& menu) const {
    for (const Item& item : items_) {
        if (item.commandId == 0) {
            menu.addSeparator();
        } else {
            menu.addAction(item.text)->setData(item.commandId);
        }
    }
}

} // namespace lumora::dialogkit
