#pragma once

#include "dialogkit/DialogTemplate.h"
#include "dialogkit/Notification.h"

#include <QLineEdit>

namespace lumora::dialogkit {

class EditValidator;

// A single-line edit box. Every change of its text raises TextChanged: each setText from the
// program (exactly once, also when the text is unchanged) and each edit by the user (typing,
// deleting, pasting, undo).
//
// Pasting (Ctrl+V, Shift+Insert, the context menu's Paste) works as in the platform's edit box:
// the clipboard's text replaces the selection, cut to what the text limit leaves room for, and is
// not filtered to digits; only typed characters are.
//
// Dropped text is refused. The middle button does nothing, as in the platform's edit box: the
// dialog keeps it from its controls (MouseButtonFilter), and with it Qt's paste of the X selection.
//
// Call setText and paste through EditBox, not through a QLineEdit pointer: QLineEdit::setText is
// not virtual and raises nothing for an unchanged text, and QLineEdit::paste refuses a paste that
// does not fit whole.
class EditBox : public QLineEdit {
public:
    EditBox(const ControlTemplate& control, Notifier notifier, QWidget* parent);

    void setText(const QString& text);
    void paste();

    // EM_LIMITTEXT: the user can type at most maxChars characters; 0 lifts the limit. The current
    // text and text set by the program are not cut.
    void limitText(int maxChars);
    int textLimit() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    EditValidator* validator_;
    Notifier notify_;
};

} // namespace lumora::dialogkit
