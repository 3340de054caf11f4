#pragma once

#include "dialogkit/DialogTemplate.h"

namespace lumora::resources {

// Both dialogs are drawn in the Korean typeface "굴림" at 9 points, normal weight, not italic, in the
// platform's default character set.
inline constexpr dialogkit::FontTemplate kDialogFont{"굴림", 9, 0, false, 1};

} // namespace lumora::resources
