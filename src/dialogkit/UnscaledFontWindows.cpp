#include "dialogkit/UnscaledFont.h"

namespace lumora::dialogkit {

QFont unscaledFont(const QFont& font) {
    return font;
}

} // namespace lumora::dialogkit
