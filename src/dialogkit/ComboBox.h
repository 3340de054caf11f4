#pragma once

#include "dialogkit/Notification.h"

#include <QComboBox>

namespace lumora::dialogkit {

// A drop-down list (CBS_DROPDOWNLIST): not editable, starting with no selection. Raises DropDown
// before its list opens (the handler may still add entries) and SelectionConfirmed when the user
// chooses an entry, also the one already selected.
class ComboBox : public QComboBox {
public:
    ComboBox(Notifier notifier, QWidget* parent);

    // CB_ADDSTRING: appends an entry and returns its index; the selection does not change, so
    // the first entry added to an empty list is not selected (QComboBox would select it).
    int addString(const QString& text);
    // CB_GETCURSEL: the selected index, -1 when nothing is selected.
    int currentSelection() const { return currentIndex(); }
    // CB_SETCURSEL: selects index (-1 or an index out of range clears the selection); no
    // notification.
    void setCurrentSelection(int index);

    void showPopup() override;

private:
    Notifier notify_;
};

} // namespace lumora::dialogkit
