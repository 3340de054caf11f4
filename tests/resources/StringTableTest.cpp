#include "resources/StringTable.h"

#include "resources/ControlIds.h"

#include <gtest/gtest.h>

namespace lumora::resources {
namespace {

TEST(StringTable, AboutMenuEntryCarriesMnemonicA) {
    EXPECT_EQ(loadString(kAboutMenuStringId), "DMX 정보(&A)...");
    EXPECT_EQ(loadString(kAboutDialogId), "");
    EXPECT_EQ(loadString(0), "");
}

} // namespace
} // namespace lumora::resources
