#pragma once

#include "dialogkit/DialogTemplate.h"

#include <Qt>

namespace lumora::dialogkit {

// The Qt window flags for a template's window styles: a caption always; the system menu and the
// close box with WS_SYSMENU; a window of its own in the task bar with WS_EX_APPWINDOW, which the
// window manager then treats as a main window rather than a dialog transient for another.
Qt::WindowFlags templateWindowFlags(const DialogTemplate& dialogTemplate);

} // namespace lumora::dialogkit
