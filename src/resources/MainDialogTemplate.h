#pragma once

#include "dialogkit/DialogTemplate.h"

#include <cstddef>

namespace lumora::resources {

inline constexpr std::size_t kMainDialogControlCount = 71;

// Template 102: the console window with its 71 controls in template (creation and tab) order.
const dialogkit::DialogTemplate& mainDialogTemplate();

} // namespace lumora::resources
