#include "hw/DeviceRecord.h"

#include <cstring>
#include <gtest/gtest.h>

using lumora::hw::fieldText;
using lumora::hw::setFieldText;

TEST(DeviceRecordFields, TextStopsAtTheFirstNulOrTheFieldsEnd) {
    const char nulInside[8] = {'A', 'B', 'C', '\0', 'E', 'F', 'G', 'H'};
    EXPECT_EQ(fieldText(nulInside), "ABC");

    const char full[8] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'}; // filled to the brim, no terminator
    EXPECT_EQ(fieldText(full), "ABCDEFGH");
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
