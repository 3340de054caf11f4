#include "dialogkit/MessageTable.h"

#include <algorithm>
#include <utility>

namespace lumora::dialogkit {

MessageTable::MessageTable(std::initializer_list<MessageEntry> entries)
    : m_entries(entries) {}

void MessageTable::add(MessageEntry entry) {
    m_entries.push_back(std::move(entry));
}

const MessageEntry* MessageTable::find(Notification notification, int controlId) const {
    const auto match = std::find_if(m_entries.begin(), m_entries.end(), [&](const MessageEntry& entry) {
        return entry.notification == notification &&
               (entry.controlId == controlId || entry.controlId == kNoControl);
    });
    return match == m_entries.end() ? nullptr : &*match;
}

} // namespace lumora::dialogkit
