#include "app/LevelText.h"

#include <algorithm>

namespace lumora {

int levelFromText(const QString& text) {
    constexpr int kCap = 1000;
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(kCap, value * 10 + (text[i].unicode() - u'0'));
    }
    return negative ? 0 : value;
}

} // namespace lumora
