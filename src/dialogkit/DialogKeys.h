#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

namespace lumora::dialogkit {

class WindowMenu;

// Sees the keys and context-menu events aimed at one dialog window or any of its controls before
// they are delivered, as the platform's dialog manager sees a dialog's messages first. The dialog's
// own key hook decides first; then F1 asks the help handler for the dialog's help context and
// Shift+F10 opens the focused widget's context menu, as the Menu key does. Context-menu events go
// to the window menu first. Owned dialogs and message boxes are windows of their own and are left
// alone.
class DialogKeys : public QObject {
public:
    // Receives the help context of F1.
    using HelpHandler = std::function<void(int helpContext)>;
    // Sees every key press, key release and shortcut override with the widget it is aimed at; true
    // consumes it.
    using KeyHook = std::function<bool(QWidget& target, const QKeyEvent& event)>;

    DialogKeys(QWidget& dialog, int helpContext, WindowMenu& windowMenu, KeyHook keyHook);
    ~DialogKeys() override;
    DialogKeys(const DialogKeys&) = delete;
    DialogKeys& operator=(const DialogKeys&) = delete;

    // Process-wide; the application sets it before dialogs are created.
    static void setHelpHandler(HelpHandler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPress(QWidget& target, const QKeyEvent& key) const;

    QWidget& dialog_;
    int helpContext_;
    WindowMenu& windowMenu_;
    KeyHook keyHook_;
};

} // namespace lumora::dialogkit
