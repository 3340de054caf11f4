#pragma once

#include "dialogkit/ControlFactory.h"
#include "dialogkit/ControlSet.h"
#include "dialogkit/DialogKeys.h"
#include "dialogkit/DialogPlacement.h"
#include "dialogkit/DialogTemplate.h"
#include "dialogkit/DialogUnits.h"
#include "dialogkit/MessageTable.h"
#include "dialogkit/MouseButtonFilter.h"
#include "dialogkit/WindowMenu.h"

#include <QDialog>
#include <QPointer>

#include <utility>

class QKeyEvent;

namespace lumora::dialogkit {

// A modal dialog built from a template: fixed client size from the template in dialog units of the
// template font, caption, and the controls (ControlSet), made in template order, which is also the
// Tab order. Keys pass DialogKeys before they are delivered; a template with a system menu gets its
// stand-in, WindowMenu.
//
// Notifications from the controls and the window go through the message table that the derived
// dialog sets in its constructor, synchronously on the user-interface thread; they may nest (a
// handler may set texts that raise further notifications). Without a handler, Clicked from id 1 or
// 2 ends the dialog with that id and SysCommand gets defaultSysCommand; the rest is ignored.
//
// Life: construct, doModal() (initDialog runs once before the dialog is first shown, then
// DialogPlacement places it); the dialog ends through endDialog, the cancel command (a button with
// id 2, Esc, the close box, Alt+F4) or a button with id 1; Destroy is raised once, right after the
// dialog has been hidden. A Dialog object is run once.
//
// Focus: disabling the control that has the keyboard focus leaves the dialog with no focus, as the
// platform's dialog manager does, instead of Qt's moving it on to the next control. Keys then go to
// the dialog itself and reach no control until the operator clicks one or presses Tab, which gives
// the focus to the first control in tab order that can take it (Shift+Tab: the last). When the
// dialog is deactivated it remembers which control had the focus, and gives it back on
// re-activation; when none had it, none gets it, where Qt would pick the first tab stop. Only the
// left button of the mouse gives a control the focus, and the right one an edit box
// (MouseButtonFilter).
//
// Arrow keys on a control that does not take them itself (push buttons, the bitmap button, a
// focused static) move the focus within the control's group (ControlGroups), never along the tab
// chain.
//
// Everything in this class runs on the user-interface thread.
class Dialog : public QDialog {
public:
    // Receives the help context of F1: 0x20000 plus the template id.
    using HelpHandler = DialogKeys::HelpHandler;

    static constexpr int kHelpContextBase = 0x20000;

    explicit Dialog(const DialogTemplate& dialogTemplate, QWidget* owner = nullptr);

    int templateId() const { return templateId_; }
    const DialogUnits& units() const { return units_; }

    // Runs the dialog modally and returns its end code.
    int doModal();
    // Ends the dialog with code (EndDialog). Only the first call counts.
    void endDialog(int code) { done(code); }
    bool hasEnded() const { return ended_; }

    // The control with this id (the first one, for ids that several statics share), or nullptr;
    // controlAs also gives nullptr for a control that is not a T.
    QWidget* control(int id) const { return controls_.find(id); }
    template <typename T> T* controlAs(int id) const { return controls_.findAs<T>(id); }

    // Set once, in the derived dialog's constructor.
    void setMessageTable(MessageTable table) { table_ = std::move(table); }
    const MessageTable& messageTable() const { return table_; }

    // WS_SYSMENU in the template; the dialog appends its entries in initDialog.
    bool hasSystemMenu() const { return windowMenu_.present(); }
    SystemMenu& systemMenu() { return windowMenu_.entries(); }
    const SystemMenu& systemMenu() const { return windowMenu_.entries(); }
    // Acts as if the user chose the entry commandId from the system menu: raises SysCommand with
    // it, or runs defaultSysCommand when no handler takes it. Returns false, doing nothing, when the
    // menu has no such entry.
    bool chooseSystemMenuItem(int commandId);
    // The default handling of a system command: SC_CLOSE closes the window (the cancel command);
    // other commands do nothing here.
    void defaultSysCommand(int commandId);

    // Process-wide: who receives F1 (the application sets it), and who loads static icons. Set
    // both before dialogs are created.
    static void setHelpHandler(HelpHandler handler) { DialogKeys::setHelpHandler(std::move(handler)); }
    static void setIconLoader(IconLoader loader) { ControlSet::setIconLoader(std::move(loader)); }

    void setVisible(bool visible) override;
    void done(int code) override;
    void reject() override;

protected:
    // Runs once, after the controls exist and before the dialog is first shown (WM_INITDIALOG).
    virtual void initDialog() {}
    // Sees every key press, key release and shortcut override aimed at the dialog or any of its
    // controls before it is delivered; returning true consumes it.
    virtual bool preTranslateKey(const QKeyEvent& /*event*/) { return false; }

    // Leaves the dialog with no focus, as disabling the focused control does, also once the dialog
    // is re-activated: for after a message box that a control's action raised.
    void clearControlFocus();

    bool focusNextPrevChild(bool next) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void command(int id);
    void initialiseOnce();
    bool moveWithinGroup(QWidget& target, const QKeyEvent& key);
    void keepFocusThroughActivation();

    int templateId_;
    DialogUnits units_;
    DialogPlacement placement_;
    WindowMenu windowMenu_;
    DialogKeys keys_;
    MouseButtonFilter mouseButtons_;
    ControlSet controls_;
    MessageTable table_;
    QPointer<QWidget> focusWhenDeactivated_;
    bool deactivated_ = false;
    bool initialised_ = false;
    bool ended_ = false;
};

} // namespace lumora::dialogkit
