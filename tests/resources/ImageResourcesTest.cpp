#include "resources/ImageResources.h"

#include <gtest/gtest.h>
#include <set>

namespace lumora::resources {
namespace {

constexpr int kBandTop = 7;
constexpr int kBandBottom = 23;

TEST(ApplicationIcon, IsThirtyTwoPixelsWithAOneBitMask) {
    const QImage image = applicationIconImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(32, 32));
    ASSERT_TRUE(image.hasAlphaChannel());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            EXPECT_TRUE(alpha == 0 || alpha == 255) << x << "," << y;
        }
    }
}

TEST(ApplicationIcon, LettersFillTheMiddleBandAcrossTheWholeWidth) {
    const QImage image = applicationIconImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        int opaque = 0;
        for (int x = 0; x < 32; ++x) {
            opaque += qAlpha(image.pixel(x, y)) != 0 ? 1 : 0;
        }
        if (y < kBandTop || y > kBandBottom) {
            EXPECT_EQ(opaque, 0) << "row " << y;
        } else {
            EXPECT_GT(opaque, 10) << "row " << y;
        }
        EXPECT_EQ(qAlpha(image.pixel(31, y)), 0) << "row " << y;
    }
    EXPECT_NE(qAlpha(image.pixel(0, kBandTop)), 0);
    EXPECT_NE(qAlpha(image.pixel(30, kBandTop)), 0);
}

TEST(ApplicationIcon, GradientRunsFromMagentaAtTheTopToRedAtTheBottom) {
    const QImage image = applicationIconImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    // Column 0 is the left stroke of the D from top to bottom.
    const QColor top = image.pixelColor(0, kBandTop);
    const QColor bottom = image.pixelColor(0, kBandBottom);
    EXPECT_GT(top.blue(), 200);
    EXPECT_GT(top.red(), 200);
    EXPECT_LT(top.green(), 60);
    EXPECT_GT(bottom.red(), 200);
    EXPECT_LT(bottom.green(), 60);
    EXPECT_LT(bottom.blue(), 60);
}

TEST(ApplicationIcon, ServesAsAWindowIcon) {
    const QIcon icon = applicationIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
}

TEST(LogoBitmap, IsAnIndexedImageOfTheButtonSizeOnWhite) {
    const QImage image = logoImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(143, 43));
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_LE(image.colorCount(), 256);
    const QRgb white = qRgb(255, 255, 255);
    EXPECT_EQ(image.pixel(0, 0), white);
    EXPECT_EQ(image.pixel(142, 0), white);
    EXPECT_EQ(image.pixel(0, 42), white);
    EXPECT_EQ(image.pixel(142, 42), white);
}

TEST(LogoBitmap, ShowsDarkBlueLettersOverAFewColours) {
    const QImage image = logoImage();
    ASSERT_FALSE(image.isNull());
    std::set<int> used;
    int darkBlue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            used.insert(image.pixelIndex(x, y));
            const QColor c = image.pixelColor(x, y);
            darkBlue += (c.blue() > 80 && c.blue() > c.red() + 40 && c.red() < 80) ? 1 : 0;
        }
    }
    EXPECT_GE(used.size(), 8u);
    EXPECT_LE(used.size(), 32u);
    EXPECT_GT(darkBlue, 300);
}

TEST(LogoBitmap, PixmapKeepsTheBitmapSize) {
    const QPixmap pixmap = logoBitmap();
    ASSERT_FALSE(pixmap.isNull());
    EXPECT_EQ(pixmap.size(), QSize(143, 43));
}

} // namespace
} // namespace lumora::resources
