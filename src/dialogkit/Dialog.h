#pragma once

#include "dialogkit/ControlFactory.h"
#include "dialogkit/DialogTemplate.h"
#include "dialogkit/DialogUnits.h"
#include "dialogkit/MessageTable.h"
#include "dialogkit/SystemMenu.h"

#include <QDialog>

#include <functional>
#include <vector>

class QKeyEvent;
class QLabel;
class QPushButton;

namespace lumora::dialogkit {

class BitmapButton;
class ComboBox;
class EditBox;
class Trackbar;

// A modal dialog built from a template: fixed client size from the template in dialog units of the
// template font, caption, and one widget per control created in template order, which is also the
// Tab order. Controls are found by id through typed lookups that return nullptr for an unknown id
// or a control of another kind.
//
// Notifications from the controls and the window are routed through the message table that the
// derived dialog sets in its constructor; they are dispatched synchronously on the user-interface
// thread and may nest (a handler may set texts that raise further notifications). Without a
// handler, Clicked from id 1 or 2 ends the dialog with that id and SysCommand gets
// defaultSysCommand; everything else is ignored.
//
// Life: construct, doModal() (initDialog runs once before the dialog is first shown, then the
// dialog is placed), the dialog ends through endDialog, the cancel command (a button with id 2,
// Esc, the close box, Alt+F4) or a button with id 1; Destroy is raised
// once, right after the dialog has been hidden. A Dialog object is run once.
//
// Placement when first shown: a template at (0, 0) not moved before showing is centred over its
// owner's frame when the owner is visible and not minimised, else on the primary screen's work
// area, then kept inside that screen's work area; another template position is taken as dialog
// units from the owner's client origin (or the screen's origin without an owner).
//
// Focus: disabling the control that has the keyboard focus leaves the dialog with no focus, as the
// platform's dialog manager does, instead of Qt's moving it on to the next control. Keys then go to
// the dialog itself and reach no control until the operator clicks one or presses Tab, which gives
// the focus to the first control in tab order that can take it (Shift+Tab: the last).
//
// System menu: a dialog with one shows its stand-in (SystemMenu) on a right click on its free area,
// never over a control, and at its top-left corner for the Menu key and Shift+F10, unless an edit
// box has the focus: that keeps its own edit menu.
//
// Everything in this class runs on the user-interface thread.
class Dialog : public QDialog {
public:
    // Receives the help context of F1: 0x20000 plus the template id.
    using HelpHandler = std::function<void(int helpContext)>;

    static constexpr int kHelpContextBase = 0x20000;

    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* owner = nullptr);
    ~Dialog() override;

    int templateId() const { return templateId_; }
    const DialogUnits& units() const { return units_; }

    // Runs the dialog modally and returns its end code.
    int doModal();
    // Ends the dialog with code (EndDialog). Only the first call counts.
    void endDialog(int code) { done(code); }
    bool hasEnded() const { return ended_; }

    // The control with this id (the first one, for ids that several statics share), or nullptr.
    QWidget* control(int id) const;
    QPushButton* button(int id) const;
    EditBox* edit(int id) const;
    Trackbar* trackbar(int id) const;
    QLabel* staticText(int id) const;
    ComboBox* comboBox(int id) const;
    BitmapButton* bitmapButton(int id) const;

    // Set once, in the derived dialog's constructor.
    void setMessageTable(MessageTable table) { table_ = std::move(table); }
    const MessageTable& messageTable() const { return table_; }

    // WS_SYSMENU in the template.
    bool hasSystemMenu() const { return hasSystemMenu_; }
    void appendSystemMenuSeparator() { systemMenu_.appendSeparator(); }
    void appendSystemMenuItem(int commandId, const QString& text) { systemMenu_.appendItem(commandId, text); }
    const SystemMenu& systemMenu() const { return systemMenu_; }
    // Acts as if the user chose the entry commandId from the system menu: raises SysCommand with
    // it, or runs defaultSysCommand when no handler takes it. Returns false, doing nothing, when the
    // menu has no such entry.
    bool chooseSystemMenuItem(int commandId);
    // The default handling of a system command: SC_CLOSE closes the window (the cancel command);
    // other commands do nothing here.
    void defaultSysCommand(int commandId);

    // Process-wide: who receives F1 (the application sets it), and who loads static icons. Set
    // both before dialogs are created.
    static void setHelpHandler(HelpHandler handler);
    static void setIconLoader(IconLoader loader);

    void setVisible(bool visible) override;
    void done(int code) override;
    void reject() override;

protected:
    // Runs once, after the controls exist and before the dialog is first shown (WM_INITDIALOG).
    virtual void initDialog() {}
    // Sees every key press, key release and shortcut override aimed at the dialog or any of its
    // controls before it is delivered; returning true consumes it.
    virtual bool preTranslateKey(const QKeyEvent& event);

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Control {
        int id;
        QWidget* widget;
    };

    bool dispatch(Notification notification, int controlId, int param = 0);
    void command(int id);
    void initialiseOnce();
    void place();
    // Handles a context-menu event aimed at target; true when it is consumed.
    bool keyboardContextMenu(const QWidget& target, const QContextMenuEvent& event);
    void showSystemMenu(const QPoint& globalPosition);

    int templateId_;
    QPoint templatePosition_;
    bool hasSystemMenu_;
    DialogUnits units_;
    std::vector<Control> controls_;
    MessageTable table_;
    SystemMenu systemMenu_;
    bool initialised_ = false;
    bool ended_ = false;
};

} // namespace lumora::dialogkit
