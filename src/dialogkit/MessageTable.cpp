#include "dialogkit/MessageTable.h"

#include <algorithm>
#include <utility>

namespace lumora::dialogkit {

MessageTable::MessageTable(std::initializer_list<MessageEntry> entries)
    : entries_(entries) {}

void MessageTable::add(MessageEntry entry) {
    entries_.push_back(std::move(entry));
}

const MessageEntry* MessageTable::find(Notification notification, int controlId) const {
    const auto match = std::find_if(entries_.begin(), entries_.end(), [&](const MessageEntry& entry) {
        return entry.notification == notification &&
               (entry.controlId == controlId || entry.controlId == kNoControl);
    });
    return match == entries_.end() ? nullptr : &*match;
}

bool MessageTable::raise(const NotifyEvent& event) const {
    const MessageEntry* entry = find(event.notification, event.controlId);
    if (entry == nullptr || !entry->handler) {
        return false;
    }
    // A copy: the handler may run nested notifications and outlive changes to the table.
    const Handler handler = entry->handler;
    handler(event);
    return true;
}

} // namespace lumora::dialogkit
