#include "dialogkit/ComboBox.h"

#include <utility>

namespace lumora::dialogkit {

ComboBox::ComboBox(Notifier notifier, QWidget* parent)
    : QComboBox(parent)
    , m_notify(std::move(notifier)) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this] { m_notify(Notification::SelectionConfirmed); });
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
    m_notify(Notification::DropDown);
    QComboBox::showPopup();
}

} // namespace lumora::dialogkit
