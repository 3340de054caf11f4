#include "dialogkit/DialogUnits.h"

#include "dialogkit/UnscaledFont.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <cstdint>
#include <limits>

namespace lumora::dialogkit {

DialogUnits::DialogUnits(int baseX, int baseY)
    : baseX_(baseX)
    , baseY_(baseY) {}

DialogUnits DialogUnits::fromFont(const QFont& font) {
    const QFontMetrics metrics(unscaledFont(font));
    const int width =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // Half of the width of 26 letters, rounded up at .5, is the average of 52.
    return DialogUnits((width / 26 + 1) / 2, metrics.height());
}

int DialogUnits::mulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    std::int64_t product = std::int64_t{number} * numerator;
    std::int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // Division truncates towards zero, so adding half the divisor away from zero rounds half away.
    const std::int64_t half = divisor / 2;
    const std::int64_t result = (product >= 0 ? product + half : product - half) / divisor;
    if (result > std::numeric_limits<int>::max() || result < -std::numeric_limits<int>::max()) {
        return -1;
    }
    return static_cast<int>(result);
}

int DialogUnits::toPixelsX(int units) const {
    return mulDiv(units, baseX_, 4);
}

int DialogUnits::toPixelsY(int units) const {
    return mulDiv(units, baseY_, 8);
}

QSize DialogUnits::toPixels(int cx, int cy) const {
    return {toPixelsX(cx), toPixelsY(cy)};
}

QRect DialogUnits::toPixels(int x, int y, int cx, int cy) const {
    return {toPixelsX(x), toPixelsY(y), toPixelsX(cx), toPixelsY(cy)};
}

} // namespace lumora::dialogkit
