#pragma once

#include "dialogkit/DialogTemplate.h"

#include <cstddef>

namespace lumora::resources {

inline constexpr std::size_t kAboutDialogControlCount = 4;

// Template 100: the About box with the application icon, the version line, the maker's notice and
// the "확인" button.
const dialogkit::DialogTemplate& aboutDialogTemplate();

} // namespace lumora::resources
