#pragma once

#include <string_view>

namespace lumora::resources {

// The text of string resource id (UTF-8), or an empty view when the program has no such string,
// as the platform's string loader answers.
std::string_view loadString(int id);

} // namespace lumora::resources
