#include "dialogkit/EditBox.h"

#include "dialogkit/EditValidator.h"
#include "dialogkit/Utf8Text.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace lumora::dialogkit {

EditBox::EditBox(const ControlTemplate& control, Notifier notifier, QWidget* parent)
    : QLineEdit(parent)
    , validator_(new EditValidator((control.style & style::kEditNumber) != 0, this))
    , notify_(std::move(notifier)) {
    setFrame((control.style & style::kBorder) != 0 || (control.exStyle & style::kExClientEdge) != 0);
    setValidator(validator_);
    setAcceptDrops(false);
    QLineEdit::setText(utf8Text(control.text));
    // textEdited covers exactly the user's changes; the program's go through setText below.
    connect(this, &QLineEdit::textEdited, this, [this] { notify_(Notification::TextChanged); });
}

void EditBox::setText(const QString& text) {
    QLineEdit::setText(text);
    notify_(Notification::TextChanged);
}

void EditBox::paste() {
    const QString pasted = QGuiApplication::clipboard()->text();
    const int limit = textLimit();
    const qsizetype kept = text().size() - selectedText().size();
    const QString fits = limit > 0 ? pasted.left(std::max<qsizetype>(limit - kept, 0)) : pasted;
    if (fits.isEmpty()) {
        return;
    }
    validator_->setPasting(true);
    insert(fits);
    validator_->setPasting(false);
}

void EditBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        paste();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EditBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    // Qt's own entry would paste only what fits whole and passes the digits filter. The entry is
    // known by its text, which Qt makes from the same translation of "&Paste" in every language.
    const QString pasteText = QLineEdit::tr("&Paste");
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(pasteText)) {
            disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this, [this] { paste(); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void EditBox::limitText(int maxChars) {
    validator_->setLimit(maxChars);
}

int EditBox::textLimit() const {
    return validator_->limit();
}

} // namespace lumora::dialogkit
