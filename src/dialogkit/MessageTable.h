#pragma once

#include "dialogkit/Notification.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <vector>

namespace lumora::dialogkit {

using Handler = std::function<void(const NotifyEvent&)>;

// One row of a message table. An empty handler declares the row without wiring it yet; the
// notification then gets the dialog's default handling.
struct MessageEntry {
    Notification notification;
    int controlId;
    Handler handler;
};

// The routing of a dialog's notifications to its handlers, kept in the order of declaration.
// The first row that matches a notification decides; later rows for the same notification and
// source are never reached, as in a Win32 message map.
class MessageTable {
public:
    MessageTable() = default;
    MessageTable(std::initializer_list<MessageEntry> entries);

    void add(MessageEntry entry);

    std::size_t size() const { return entries_.size(); }
    const MessageEntry& operator[](std::size_t index) const { return entries_[index]; }
    std::vector<MessageEntry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<MessageEntry>::const_iterator end() const { return entries_.end(); }

    // The first row for this notification whose control id is controlId or kNoControl, or nullptr.
    const MessageEntry* find(Notification notification, int controlId) const;
    // Runs the handler of the row that event matches; false when no row with a handler matches.
    bool raise(const NotifyEvent& event) const;

private:
    std::vector<MessageEntry> entries_;
};

} // namespace lumora::dialogkit
