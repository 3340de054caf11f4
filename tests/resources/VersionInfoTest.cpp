#include "resources/VersionInfo.h"

#include <gtest/gtest.h>
#include <string>

namespace lumora::resources {
namespace {

std::string hex4(unsigned value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xFu];
        value >>= 4;
    }
    return text;
}

TEST(VersionInfo, StringTableKeyMatchesTheTranslation) {
    EXPECT_EQ(kVersionInfo.language, 0x0412);
    EXPECT_EQ(kVersionInfo.codePage, 0x04B0);
    EXPECT_EQ(kVersionInfo.stringTableKey, hex4(kVersionInfo.language) + hex4(kVersionInfo.codePage));
}

TEST(VersionInfo, FixedPartAndStringsTellTheSameVersion) {
    const std::string majorMinor =
        std::to_string(kVersionInfo.productVersion[0]) + "." + std::to_string(kVersionInfo.productVersion[1]);
    EXPECT_EQ(kVersionInfo.fileVersion, kVersionInfo.productVersion);
    EXPECT_EQ(kVersionInfo.fileVersionText, majorMinor);
    EXPECT_EQ(kVersionInfo.productVersionText, majorMinor);
    EXPECT_EQ(std::string(kVersionInfo.internalName) + ".EXE", kVersionInfo.originalFilename);
    EXPECT_TRUE(kVersionInfo.legalTrademarks.empty());
    EXPECT_TRUE(kVersionInfo.privateBuild.empty());
    EXPECT_TRUE(kVersionInfo.specialBuild.empty());
}

} // namespace
} // namespace lumora::resources
