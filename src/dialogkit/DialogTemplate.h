#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace lumora::dialogkit {

// Style bits of dialog templates, with the values the Win32 dialog manager gives them, so the
// tables in resources/ read like the templates they transcribe.
namespace style {
inline constexpr std::uint32_t kPopup = 0x80000000;
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kDisabled = 0x08000000;
inline constexpr std::uint32_t kCaption = 0x00C00000;
inline constexpr std::uint32_t kBorder = 0x00800000;
inline constexpr std::uint32_t kVScroll = 0x00200000;
inline constexpr std::uint32_t kSysMenu = 0x00080000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;

inline constexpr std::uint32_t kModalFrame = 0x00000080; // DS_MODALFRAME
inline constexpr std::uint32_t kSetFont = 0x00000040;    // DS_SETFONT

inline constexpr std::uint32_t kDefPushButton = 0x00000001; // BS_DEFPUSHBUTTON
inline constexpr std::uint32_t kOwnerDraw = 0x0000000B;     // BS_OWNERDRAW (a type, not a flag)
inline constexpr std::uint32_t kButtonTypeMask = 0x0000000F;

inline constexpr std::uint32_t kEditUppercase = 0x00000008;   // ES_UPPERCASE
inline constexpr std::uint32_t kEditAutoHScroll = 0x00000080; // ES_AUTOHSCROLL
inline constexpr std::uint32_t kEditNumber = 0x00002000;      // ES_NUMBER

inline constexpr std::uint32_t kStaticCenter = 0x00000001; // SS_CENTER
inline constexpr std::uint32_t kStaticIcon = 0x00000003;   // SS_ICON
inline constexpr std::uint32_t kStaticTypeMask = 0x0000001F;
inline constexpr std::uint32_t kStaticNoPrefix = 0x00000080;    // SS_NOPREFIX
inline constexpr std::uint32_t kStaticCenterImage = 0x00000200; // SS_CENTERIMAGE

inline constexpr std::uint32_t kTrackbarVert = 0x00000002;    // TBS_VERT
inline constexpr std::uint32_t kTrackbarBoth = 0x00000008;    // TBS_BOTH
inline constexpr std::uint32_t kTrackbarNoTicks = 0x00000010; // TBS_NOTICKS

inline constexpr std::uint32_t kComboDropDownList = 0x00000003; // CBS_DROPDOWNLIST

inline constexpr std::uint32_t kExClientEdge = 0x00000200;  // WS_EX_CLIENTEDGE
inline constexpr std::uint32_t kExTransparent = 0x00000020; // WS_EX_TRANSPARENT
inline constexpr std::uint32_t kExAppWindow = 0x00040000;   // WS_EX_APPWINDOW
} // namespace style

enum class ControlClass { Button, Edit, Static, ComboBox, Trackbar };

// One control of a dialog template. Position and size are in dialog units; text is UTF-8.
// A static icon names its icon resource in iconId; everything else leaves it 0.
struct ControlTemplate {
    ControlClass kind;
    int id;
    std::string_view text;
    int x;
    int y;
    int cx;
    int cy;
    std::uint32_t style;
    std::uint32_t exStyle = 0;
    int iconId = 0;
};

struct FontTemplate {
    std::string_view face;
    int pointSize;
    int weight;
    bool italic;
    int charset;
};

// A dialog template: the window and its controls in template (creation and tab) order.
struct DialogTemplate {
    int id;
    std::string_view caption;
    int x;
    int y;
    int cx;
    int cy;
    std::uint32_t style;
    std::uint32_t exStyle;
    FontTemplate font;
    std::span<const ControlTemplate> controls;
};

} // namespace lumora::dialogkit
