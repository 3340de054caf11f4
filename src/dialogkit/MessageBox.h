#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace lumora::dialogkit {

// Flags of messageBox, with the MessageBox values of Win32.
inline constexpr unsigned kMbOk = 0x00;          // MB_OK: one OK button
inline constexpr unsigned kMbIconError = 0x10;   // MB_ICONERROR (stop sign)
inline constexpr unsigned kMbIconWarning = 0x30; // MB_ICONWARNING (exclamation mark)
inline constexpr unsigned kMbIconMask = 0xF0;

enum class MessageIcon { Warning, Error };

// A box as it is to be shown, after the title and the icon have been decided.
struct MessageBoxRequest {
    QWidget* owner;
    QString title;
    QString text;
    MessageIcon icon;
};

// Shows a box and returns the id of the button that closed it.
using MessageBoxPresenter = std::function<int(const MessageBoxRequest& request)>;

// Shows text in a modal box with an OK button, owned by owner (which may be null), titled with
// applicationTitle(). A box asked for without an icon gets the warning icon; the error icon is
// kept. Returns 1 (IDOK). Runs on the user-interface thread; returns when the box is dismissed.
int messageBox(QWidget* owner, const QString& text, unsigned flags = kMbOk);

// Replaces the presenter that messageBox uses and returns the previous one; an empty presenter
// restores the real one (showQtMessageBox). Tests use this to record boxes instead of showing them.
MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter presenter);

// The real presenter: a QMessageBox run modally.
int showQtMessageBox(const MessageBoxRequest& request);

// The executable's file name without its extension; the title of every box.
QString applicationTitle();

} // namespace lumora::dialogkit
