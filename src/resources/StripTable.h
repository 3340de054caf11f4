#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace lumora::resources {

inline constexpr int kStripCount = 20;

// The three controls of one channel strip of the main dialog.
struct StripControls {
    int fader;
    int edit;
    int label;
};

// Control ids by strip index, left to right. The ids were handed out as the dialog grew and follow
// no stride, so they are written out here once and every other place takes them from this table.
inline constexpr std::array<StripControls, kStripCount> kStripTable{{
    {1007, 1010, 1039}, {1008, 1011, 1040}, {1009, 1012, 1041}, {1016, 1017, 1042}, {1019, 1020, 1043},
    {1022, 1023, 1044}, {1025, 1026, 1045}, {1028, 1029, 1046}, {1031, 1032, 1047}, {1034, 1035, 1048},
    {1037, 1038, 1050}, {1051, 1052, 1054}, {1055, 1056, 1058}, {1059, 1060, 1062}, {1063, 1064, 1066},
    {1067, 1068, 1070}, {1071, 1072, 1074}, {1075, 1076, 1078}, {1079, 1080, 1082}, {1083, 1084, 1086},
}};

// The strip index whose fader has the given control id; nothing for any other id.
constexpr std::optional<int> stripOfFader(int id) {
    for (std::size_t k = 0; k < kStripTable.size(); ++k) {
        if (kStripTable[k].fader == id) {
            return static_cast<int>(k);
        }
    }
    return std::nullopt;
}

} // namespace lumora::resources
