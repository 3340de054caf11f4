#include "hw/DeviceRecord.h"

#include <cstring>
#include <gtest/gtest.h>

using lumora::hw::fieldText;
using lumora::hw::setFieldText;

TEST(DeviceRecordFields, TextStopsAtTheFirstNulOrTheFieldsEnd) {
    char field[8];
    std::memcpy(field, "ABC\0EFGH", 8);
    EXPECT_EQ(fieldText(field), "ABC");

    std::memcpy(field, "ABCDEFGH", 8); // filled to the brim, no terminator
    EXPECT_EQ(fieldText(field), "ABCDEFGH");
}

TEST(DeviceRecordFields, SettingTruncatesAndAlwaysTerminates) {
    char field[8];
    std::memset(field, 'x', sizeof field);
    setFieldText(field, "FT232R USB UART");
    EXPECT_EQ(fieldText(field), "FT232R ");
    EXPECT_EQ(field[7], '\0');

    setFieldText(field, "AB");
    EXPECT_EQ(fieldText(field), "AB");
    EXPECT_EQ(field[7], '\0') << "the rest of the field is cleared";
}
