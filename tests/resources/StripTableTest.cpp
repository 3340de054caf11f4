#include "resources/StripTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace lumora::resources {
namespace {

std::vector<int> column(int StripControls::*member) {
    std::vector<int> ids;
    for (const StripControls& strip : kStripTable) {
        ids.push_back(strip.*member);
    }
    return ids;
}

bool fitsOneStride(const std::vector<int>& ids) {
    const int stride = ids[1] - ids[0];
    for (std::size_t k = 1; k < ids.size(); ++k) {
        if (ids[k] - ids[k - 1] != stride) {
            return false;
        }
    }
    return true;
}

TEST(StripTable, LabelIdsSkip1049) {
    const std::vector<int> expected{1039, 1040, 1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048,
                                    1050, 1054, 1058, 1062, 1066, 1070, 1074, 1078, 1082, 1086};
    EXPECT_EQ(column(&StripControls::label), expected);
}

TEST(StripTable, FaderAndEditIdsFollowNoStride) {
    const std::vector<int> faders = column(&StripControls::fader);
    const std::vector<int> edits = column(&StripControls::edit);
    EXPECT_FALSE(fitsOneStride(faders));
    EXPECT_FALSE(fitsOneStride(edits));
    EXPECT_FALSE(fitsOneStride(column(&StripControls::label)));

    // The places where the irregular numbering changes step are the ones a formula would miss.
    EXPECT_EQ(faders[2], 1009);
    EXPECT_EQ(edits[2], 1012);
    EXPECT_EQ(faders[3], 1016);
    EXPECT_EQ(edits[3], 1017);
    EXPECT_EQ(faders[10], 1037);
    EXPECT_EQ(edits[10], 1038);
    EXPECT_EQ(faders[11], 1051);
    EXPECT_EQ(edits[11], 1052);
    EXPECT_EQ(faders[19], 1083);
    EXPECT_EQ(edits[19], 1084);
    for (std::size_t k = 3; k < kStripTable.size(); ++k) {
        EXPECT_EQ(edits[k], faders[k] + 1) << "strip " << k;
    }
}

TEST(StripTable, AllSixtyIdsAreDistinctAndNone1049) {
    std::set<int> ids;
    for (const StripControls& strip : kStripTable) {
        ids.insert({strip.fader, strip.edit, strip.label});
    }
    EXPECT_EQ(ids.size(), 60u);
    EXPECT_EQ(ids.count(1049), 0u);
}

TEST(StripTable, FaderLookupFindsEachStripByItsFaderOnly) {
    for (int k = 0; k < kStripCount; ++k) {
        const StripControls& strip = kStripTable[static_cast<std::size_t>(k)];
        EXPECT_EQ(stripOfFader(strip.fader), k);
        EXPECT_EQ(stripOfFader(strip.edit), std::nullopt);
        EXPECT_EQ(stripOfFader(strip.label), std::nullopt);
    }
}

TEST(StripTable, FaderLookupAnswersNothingForOtherIds) {
    for (const int id : {-1, 0, 1, 2, 1002, 1003, 1004, 1049, 1065, 1073, 1077, 1087}) {
        EXPECT_EQ(stripOfFader(id), std::nullopt) << id;
    }
}

} // namespace
} // namespace lumora::resources
