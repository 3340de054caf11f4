#pragma once

#include "dialogkit/DialogTemplate.h"

#include <array>

namespace lumora::dialogkit::testing {

// Ids of the small console template the tests build dialogs from.
inline constexpr int kOpen = 1002;
inline constexpr int kFader = 1007;
inline constexpr int kEdit = 1010;
inline constexpr int kExit = 2;
inline constexpr int kLabel = 1039;
inline constexpr int kLogo = 1065;
inline constexpr int kPageSlider = 1073;
inline constexpr int kSelector = 1077;
inline constexpr int kClose = 1003;
inline constexpr int kFreeEdit = 1090;
inline constexpr int kUnknown = 4242;

inline constexpr int kConsoleId = 102;
inline constexpr int kAboutId = 100;
inline constexpr int kIconId = 128;

namespace st = style;
inline constexpr std::uint32_t kShown = st::kChild | st::kVisible;

inline constexpr std::array<ControlTemplate, 13> kConsoleControls{{
    {ControlClass::Button, kOpen, "OPEN", 6, 11, 54, 28, kShown | st::kTabStop},
    {ControlClass::Trackbar, kFader, "Slider1", 21, 55, 15, 95,
     kShown | st::kGroup | st::kTabStop | st::kTrackbarVert | st::kTrackbarBoth | st::kTrackbarNoTicks},
    {ControlClass::Edit, kEdit, "", 21, 154, 15, 14,
     kShown | st::kBorder | st::kTabStop | st::kEditNumber | st::kEditAutoHScroll | st::kEditUppercase},
    {ControlClass::Button, kExit, "EXIT(&X)", 342, 175, 58, 20, kShown | st::kTabStop},
    {ControlClass::Static, kLabel, "0", 21, 48, 15, 8,
     kShown | st::kGroup | st::kStaticCenter | st::kStaticCenterImage},
    {ControlClass::Static, -1, "CH Range :", 177, 10, 39, 8, kShown | st::kGroup},
    {ControlClass::Button, kLogo, "Logo", 316, 6, 84, 29, kShown | st::kTabStop | st::kOwnerDraw,
     st::kExClientEdge | st::kExTransparent},
    {ControlClass::Trackbar, kPageSlider, "Slider20", 174, 22, 132, 17,
     kShown | st::kTabStop | st::kTrackbarBoth | st::kTrackbarNoTicks},
    {ControlClass::ComboBox, kSelector, "", 25, 176, 38, 101,
     st::kChild | st::kVScroll | st::kTabStop | st::kComboDropDownList},
    {ControlClass::Static, -1, "COMPORT", 64, 187, 38, 8, st::kChild | st::kGroup},
    {ControlClass::Button, kClose, "CLOSE", 61, 11, 54, 28, kShown | st::kTabStop | st::kDisabled},
    {ControlClass::Static, -1, "Data", 5, 156, 15, 9, kShown | st::kGroup},
    {ControlClass::Edit, kFreeEdit, "", 40, 154, 30, 14, kShown | st::kBorder},
}};

inline constexpr DialogTemplate kConsole{
    kConsoleId,
    "Lumora DMX",
    0,
    0,
    407,
    202,
    st::kPopup | st::kVisible | st::kCaption | st::kSysMenu | st::kModalFrame | st::kSetFont,
    st::kExAppWindow,
    {"굴림", 9, 0, false, 1},
    kConsoleControls,
};

inline constexpr std::array<ControlTemplate, 3> kAboutControls{{
    {ControlClass::Static, -1, "", 11, 17, 20, 21, kShown | st::kStaticIcon, 0, kIconId},
    {ControlClass::Static, -1, "DMX 버전 1.0", 40, 10, 119, 8, kShown | st::kGroup | st::kStaticNoPrefix},
    {ControlClass::Button, 1, "확인", 178, 7, 50, 14,
     kShown | st::kGroup | st::kTabStop | st::kDefPushButton},
}};

inline constexpr DialogTemplate kAbout{
    kAboutId,
    "DMX 정보",
    0,
    0,
    235,
    52,
    st::kPopup | st::kCaption | st::kSysMenu | st::kModalFrame | st::kSetFont,
    0,
    {"굴림", 9, 0, false, 1},
    kAboutControls,
};

} // namespace lumora::dialogkit::testing
