#include "app/LevelText.h"

#include <gtest/gtest.h>

using lumora::levelFromText;

TEST(LevelText, ReadsLikeTheCLibraryButNeverBelowZero) {
    EXPECT_EQ(levelFromText("0"), 0);
    EXPECT_EQ(levelFromText("007"), 7);
    EXPECT_EQ(levelFromText("255"), 255);
    EXPECT_EQ(levelFromText("300"), 300);
    EXPECT_EQ(levelFromText(""), 0);
    EXPECT_EQ(levelFromText("abc"), 0);
    EXPECT_EQ(levelFromText(" 12"), 12);
    EXPECT_EQ(levelFromText("\t+9"), 9);
    EXPECT_EQ(levelFromText("\r42"), 42) << "a pasted line end";
    EXPECT_EQ(levelFromText("1e3"), 1);
    EXPECT_EQ(levelFromText("12x4"), 12);
    EXPECT_EQ(levelFromText("-5"), 0) << "a negative level is the bottom, not a wrapped high one";
    EXPECT_EQ(levelFromText("-"), 0);
}

TEST(LevelText, HugeNumbersStayAboveTheRangeWithoutOverflow) {
    EXPECT_GT(levelFromText("99999999999999999999"), 255);
    EXPECT_GT(levelFromText("4294967297"), 255) << "no wrap to 1";
}
