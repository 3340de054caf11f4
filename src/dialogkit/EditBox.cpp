#include "dialogkit/EditBox.h"

#include "dialogkit/EditValidator.h"
#include "dialogkit/TemplateText.h"

#include <utility>

namespace lumora::dialogkit {

EditBox::EditBox(const ControlTemplate& control, Notifier notifier, QWidget* parent)
    : QLineEdit(parent)
    , m_validator(new EditValidator((control.style & style::kEditNumber) != 0, this))
    , m_notify(std::move(notifier)) {
    setFrame((control.style & style::kBorder) != 0 || (control.exStyle & style::kExClientEdge) != 0);
    setValidator(m_validator);
    QLineEdit::setText(templateText(control.text));
    // textEdited covers exactly the user's changes; the program's go through setText below.
    connect(this, &QLineEdit::textEdited, this, [this] { m_notify(Notification::TextChanged); });
}

void EditBox::setText(const QString& text) {
    QLineEdit::setText(text);
    m_notify(Notification::TextChanged);
}

void EditBox::limitText(int maxChars) {
    m_validator->setLimit(maxChars);
}

int EditBox::textLimit() const {
    return m_validator->limit();
}

} // namespace lumora::dialogkit
