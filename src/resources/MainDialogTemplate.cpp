#include "resources/MainDialogTemplate.h"

#include "dialogkit/Notification.h"
#include "resources/ControlIds.h"
#include "resources/StripTable.h"
#include "resources/TemplateFont.h"

#include <array>
#include <string_view>

namespace lumora::resources {
namespace {

using dialogkit::ControlClass;
using dialogkit::ControlTemplate;
using dialogkit::kIdCancel;
namespace st = dialogkit::style;

constexpr std::uint32_t kChildVisible = st::kChild | st::kVisible;
constexpr std::uint32_t kPushButtonStyle = kChildVisible | st::kTabStop;
constexpr std::uint32_t kStaticTextStyle = kChildVisible | st::kGroup;
constexpr std::uint32_t kStripLabelStyle = kStaticTextStyle | st::kStaticCenter | st::kStaticCenterImage;
constexpr std::uint32_t kStripFaderStyle =
    kChildVisible | st::kGroup | st::kTabStop | st::kTrackbarVert | st::kTrackbarBoth | st::kTrackbarNoTicks;
constexpr std::uint32_t kStripEditStyle =
    kChildVisible | st::kBorder | st::kTabStop | st::kEditNumber | st::kEditAutoHScroll | st::kEditUppercase;
constexpr std::uint32_t kPageSliderStyle =
    kChildVisible | st::kTabStop | st::kTrackbarBoth | st::kTrackbarNoTicks;
constexpr std::uint32_t kLogoStyle = kChildVisible | st::kTabStop | st::kOwnerDraw;
// The port selector and its caption stay hidden: they exist for port discovery only.
constexpr std::uint32_t kPortSelectorStyle =
    st::kChild | st::kVScroll | st::kTabStop | st::kComboDropDownList;
constexpr std::uint32_t kHiddenStaticTextStyle = st::kChild | st::kGroup;

constexpr std::array<std::string_view, kStripCount> kStripLabelTexts{
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",
    "10", "11", "12", "13", "14", "15", "16", "17", "18", "19",
};

constexpr int kStripWidth = 15;
constexpr int stripX(std::size_t k) {
    return 21 + 19 * static_cast<int>(k);
}

constexpr ControlTemplate stripFader(std::size_t k) {
    return {ControlClass::Trackbar, kStripTable[k].fader, "Slider1", stripX(k), 55, kStripWidth, 95,
            kStripFaderStyle};
}

constexpr ControlTemplate stripEdit(std::size_t k) {
    return {ControlClass::Edit, kStripTable[k].edit, "", stripX(k), 154, kStripWidth, 14, kStripEditStyle};
}

constexpr ControlTemplate stripLabel(std::size_t k) {
    return {ControlClass::Static, kStripTable[k].label, kStripLabelTexts[k], stripX(k), 48, kStripWidth, 8,
            kStripLabelStyle};
}

// The order is the one the dialog was laid out in, not a visual one: EXIT(&X) sits between the
// first strip's edit box and its label, so Tab reaches it third.
constexpr std::array<ControlTemplate, kMainDialogControlCount> buildControls() {
    std::array<ControlTemplate, kMainDialogControlCount> controls{};
    std::size_t n = 0;
    controls[n++] = {ControlClass::Button, kOpenButton, "OPEN", 6, 11, 54, 28, kPushButtonStyle};
    controls[n++] = stripFader(0);
    controls[n++] = stripEdit(0);
    controls[n++] = {ControlClass::Button, kIdCancel, "EXIT(&X)", 342, 175, 58, 20, kPushButtonStyle};
    controls[n++] = stripLabel(0);
    for (std::size_t k = 1; k < kStripTable.size(); ++k) {
        controls[n++] = stripFader(k);
        controls[n++] = stripEdit(k);
        controls[n++] = stripLabel(k);
    }
    controls[n++] = {ControlClass::Static, kNoControlId, "CH Range :", 177, 10, 39, 8, kStaticTextStyle};
    controls[n++] = {ControlClass::Button,
                     kLogoButton,
                     "Logo",
                     316,
                     6,
                     84,
                     29,
                     kLogoStyle,
                     st::kExClientEdge | st::kExTransparent};
    controls[n++] = {ControlClass::Trackbar, kPageSlider, "Slider20", 174, 22, 132, 17, kPageSliderStyle};
    controls[n++] = {ControlClass::ComboBox, kPortSelector, "", 25, 176, 38, 101, kPortSelectorStyle};
    controls[n++] = {ControlClass::Static, kNoControlId, "COMPORT", 64, 187, 38, 8, kHiddenStaticTextStyle};
    controls[n++] = {ControlClass::Button, kCloseButton, "CLOSE", 61, 11, 54, 28, kPushButtonStyle};
    controls[n++] = {ControlClass::Static, kNoControlId, "CH", 7, 48, 15, 8, kStaticTextStyle};
    controls[n++] = {ControlClass::Static, kNoControlId, "Data", 5, 156, 15, 9, kStaticTextStyle};
    controls[n++] = {ControlClass::Button, kClearButton, "CLEAR", 116, 11, 54, 28, kPushButtonStyle};
    return controls;
}

constexpr std::array<ControlTemplate, kMainDialogControlCount> kControls = buildControls();
static_assert(kControls.back().id == kClearButton, "every slot of the main dialog is filled, CLEAR last");

constexpr dialogkit::DialogTemplate kMainDialog{
    kMainDialogId,
    "Lumora DMX",
    0,
    0,
    407,
    202,
    st::kPopup | st::kVisible | st::kCaption | st::kSysMenu | st::kModalFrame | st::kSetFont,
    st::kExAppWindow,
    kDialogFont,
    kControls,
};

} // namespace

const dialogkit::DialogTemplate& mainDialogTemplate() {
    return kMainDialog;
}

} // namespace lumora::resources
