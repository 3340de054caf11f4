#pragma once

#include "dialogkit/DialogTemplate.h"

#include <QFont>

namespace lumora::dialogkit {

// The Qt font that stands in for a template font. This is the one place that decides which
// installed families replace a Windows typeface and how points become pixels.
//
// "굴림" becomes the families 굴림, Gulim, Baekmuk Gulim and NanumGothic in that order (the first two
// are only found where the Windows font is installed); any other face is asked for by its name.
// The size is the point size at 96 dpi in pixels (9 pt is 12 px), the height the dialog manager
// would ask for, so dialog units do not depend on the screen's reported resolution.
QFont dialogFont(const FontTemplate& font);
// The font a dialog is drawn in: its template font with DS_SETFONT, else the application's.
QFont templateFont(const DialogTemplate& dialogTemplate);

} // namespace lumora::dialogkit
