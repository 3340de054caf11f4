#pragma once

#include <QFont>

namespace lumora::dialogkit {

// The font set up to measure as the system draws it at 96 dpi and a device pixel ratio of 1,
// whatever the desktop's scale. Dialog base units come from this measurement, so a scaled desktop
// shows the same dialog, only larger.
//
// On Linux Qt takes a font's hinting and antialiasing from fontconfig, but turns hinting off and
// antialiasing on once the scale is not 1, and the average letter then comes out narrower. This
// pins fontconfig's own choice on the copy. Qt on Windows measures a font the same at every scale.
QFont unscaledFont(const QFont& font);

} // namespace lumora::dialogkit
