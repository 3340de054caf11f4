#include "dialogkit/DialogUnits.h"

#include "dialogkit/DialogFont.h"
#include "dialogkit/DialogPlacement.h"
#include "dialogkit/UnscaledFont.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

#include <gtest/gtest.h>
#include <limits>

namespace lumora::dialogkit {
namespace {

TEST(MulDiv, RoundsHalfAwayFromZero) {
    EXPECT_EQ(DialogUnits::mulDiv(1, 12, 8), 2);   // 1.5
    EXPECT_EQ(DialogUnits::mulDiv(3, 12, 8), 5);   // 4.5
    EXPECT_EQ(DialogUnits::mulDiv(5, 13, 8), 8);   // 8.125
    EXPECT_EQ(DialogUnits::mulDiv(7, 13, 8), 11);  // 11.375
    EXPECT_EQ(DialogUnits::mulDiv(-1, 12, 8), -2); // -1.5
    EXPECT_EQ(DialogUnits::mulDiv(1, -12, 8), -2);
    EXPECT_EQ(DialogUnits::mulDiv(1, 12, -8), -2);
    EXPECT_EQ(DialogUnits::mulDiv(-1, 12, -8), 2);
    EXPECT_EQ(DialogUnits::mulDiv(9, 96, 72), 12);
}

TEST(MulDiv, KeepsTheProductInSixtyFourBitsAndFailsLikeWin32) {
    EXPECT_EQ(DialogUnits::mulDiv(100000, 100000, 100000), 100000);
    EXPECT_EQ(DialogUnits::mulDiv(1, 2, 0), -1);
    EXPECT_EQ(DialogUnits::mulDiv(std::numeric_limits<int>::max(), 2, 1), -1);
}

TEST(DialogUnits, ConvertsPositionAndSizeSeparately) {
    const DialogUnits units(7, 13);
    EXPECT_EQ(units.toPixelsX(10), 18); // 17.5
    EXPECT_EQ(units.toPixelsY(5), 8);   // 8.125
    // The size is converted on its own, not as the difference of converted edges.
    EXPECT_EQ(units.toPixels(1, 1, 1, 1), QRect(2, 2, 2, 2));
    EXPECT_EQ(units.toPixels(407, 202), QSize(712, 328));
}

TEST(DialogFont, GulimNinePointsBecomesTwelvePixelsOfAnInstalledKoreanFamily) {
    const QFont font = dialogFont({"굴림", 9, 0, false, 1});
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_EQ(font.families(), (QStringList{"굴림", "Gulim", "Baekmuk Gulim", "NanumGothic"}));
    EXPECT_EQ(font.weight(), QFont::Normal);
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Baekmuk Gulim"));
    EXPECT_EQ(dialogFont({"Tahoma", 8, 700, true, 0}).families(), QStringList{"Tahoma"});
    EXPECT_EQ(dialogFont({"Tahoma", 8, 700, true, 0}).weight(), QFont::Bold);
}

TEST(DialogUnits, BaseUnitsOfBaekmukGulimTwelvePixels) {
    QFont font;
    font.setFamilies({"Baekmuk Gulim"});
    font.setPixelSize(12);
    const DialogUnits units = DialogUnits::fromFont(font);
    EXPECT_EQ(QFontMetrics(unscaledFont(font))
                  .horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
              390);
    EXPECT_EQ(units.baseX(), 8);
    EXPECT_EQ(units.baseY(), 12);
    EXPECT_EQ(units.toPixels(407, 202), QSize(814, 303));
    EXPECT_EQ(units.toPixels(21, 55, 15, 95), QRect(42, 83, 30, 143));
}

TEST(DialogPlacement, CentresOverTheRectangle) {
    const QRect screen(0, 0, 1920, 1080);
    EXPECT_EQ(DialogPlacement::centredTopLeft({818, 307}, screen, screen), QPoint(551, 387));
    EXPECT_EQ(DialogPlacement::centredTopLeft({100, 50}, QRect(200, 100, 400, 300), screen),
              QPoint(350, 225));
}

TEST(DialogPlacement, StaysInsideTheWorkAreaWithLeftAndTopWinning) {
    const QRect area(0, 40, 1920, 1040);
    // Over an owner at the bottom-right corner: pushed back inside.
    EXPECT_EQ(DialogPlacement::centredTopLeft({400, 200}, QRect(1800, 1000, 200, 100), area),
              QPoint(1520, 880));
    // Over an owner partly above the work area: the top edge is kept inside.
    EXPECT_EQ(DialogPlacement::centredTopLeft({400, 200}, QRect(-300, 0, 200, 60), area), QPoint(0, 40));
    // Larger than the area: the left and top edges of the area.
    EXPECT_EQ(DialogPlacement::centredTopLeft({2000, 1200}, area, area), QPoint(0, 40));
}

} // namespace
} // namespace lumora::dialogkit
