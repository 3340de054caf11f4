#pragma once

#include <functional>

namespace lumora::dialogkit {

// What the layer tells a dialog, named after the window message or control notification each
// stands for.
enum class Notification {
    Clicked,            // BN_CLICKED: a button was clicked, or the OK/cancel command was given
    DoubleClicked,      // BN_DOUBLECLICKED: a bitmap button was double-clicked
    TextChanged,        // EN_CHANGE: an edit box's text was set by the program or edited by the user
    ReleasedCapture,    // NM_RELEASEDCAPTURE: the mouse button was released over a trackbar
    VerticalScroll,     // WM_VSCROLL: the user moved a vertical trackbar
    HorizontalScroll,   // WM_HSCROLL: the user moved a horizontal trackbar
    DropDown,           // CBN_DROPDOWN: a combo box's list is about to open
    SelectionConfirmed, // CBN_SELENDOK: the user chose an entry of a combo box's list
    Destroy,            // WM_DESTROY: the dialog has ended; its controls still exist
    SysCommand,         // WM_SYSCOMMAND: an entry of the system menu was chosen
    Paint,              // WM_PAINT: the dialog's background is being painted
    QueryDragIcon,      // WM_QUERYDRAGICON: may be listed in a table; Qt never asks, so never raised
};

// The control id of notifications that come from the dialog window itself (destroy, system
// command, paint). As the id of a message-table entry it matches every source, which is how the
// scroll messages are declared: one entry for all trackbars.
inline constexpr int kNoControl = 0;

// Command ids the dialog manager gives a meaning.
inline constexpr int kIdOk = 1;         // IDOK: ends the dialog with 1 unless a handler takes the click
inline constexpr int kIdCancel = 2;     // IDCANCEL: ends the dialog with 2 unless a handler takes it
inline constexpr int kScClose = 0xF060; // SC_CLOSE: the system menu's Close command
// The bits of a system-menu command that name it; the low four carry the system's own detail.
inline constexpr int kSysCommandMask = 0xFFF0;

// One notification as a handler receives it. controlId names the source (kNoControl for the
// dialog); param carries the command id of a system command and is 0 otherwise.
struct NotifyEvent {
    Notification notification;
    int controlId;
    int param = 0;
};

// How a control hands a notification to its dialog; the dialog binds the control's id.
using Notifier = std::function<void(Notification notification)>;

} // namespace lumora::dialogkit
