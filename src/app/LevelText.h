#pragma once

#include <QString>

namespace lumora {

// The level an edit box's text stands for, read as a decimal number the way the C library reads
// one: leading white space and a sign are accepted and reading stops at the first non-digit, so
// empty or non-numeric text is 0. A negative number is 0 too, the bottom of the range, rather than
// wrapping round to a high level. Values above 255 come back as they are, capped at 1000, for the
// caller to clamp and show.
int levelFromText(const QString& text);

} // namespace lumora
