#include "dialogkit/ComboBox.h"

#include <utility>

namespace lumora::dialogkit {

ComboBox::ComboBox(Notifier notifier, QWidget* parent)
    : QComboBox(parent)
    , notify_(std::move(notifier)) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this] { notify_(Notification::SelectionConfirmed); });
}

int ComboBox::addString(const QString& text) {
    const int selection = currentIndex();
    addItem(text);
    setCurrentIndex(selection);
    return count() - 1;
}

void ComboBox::setCurrentSelection(int index) {
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void ComboBox::showPopup() {
    notify_(Notification::DropDown);
    QComboBox::showPopup();
}

} // namespace lumora::dialogkit
