#include "resources/AboutDialogTemplate.h"

#include "dialogkit/Notification.h"
#include "resources/ControlIds.h"
#include "resources/TemplateFont.h"
#include "resources/VersionInfo.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace lumora::resources {
namespace {

using dialogkit::ControlClass;
using dialogkit::ControlTemplate;
using dialogkit::kIdOk;
namespace st = dialogkit::style;

constexpr std::uint32_t kChildVisible = st::kChild | st::kVisible;

// "DMX 버전 " and the version data's major.minor, joined when compiling so the template stays data.
constexpr std::string_view kVersionLabel = "DMX 버전 ";
constexpr std::string_view kVersion = kVersionInfo.productVersionText;
constexpr auto kVersionLineText = [] {
    std::array<char, kVersionLabel.size() + kVersion.size()> text{};
    const auto labelEnd = std::copy(kVersionLabel.begin(), kVersionLabel.end(), text.begin());
    std::copy(kVersion.begin(), kVersion.end(), labelEnd);
    return text;
}();
constexpr std::string_view kVersionLine{kVersionLineText.data(), kVersionLineText.size()};

constexpr std::array<ControlTemplate, kAboutDialogControlCount> kControls{{
    {ControlClass::Static, kNoControlId, "", 11, 17, 20, 21, kChildVisible | st::kStaticIcon, 0,
     kApplicationIconId},
    {ControlClass::Static, kNoControlId, kVersionLine, 40, 10, 119, 8,
     kChildVisible | st::kGroup | st::kStaticNoPrefix},
    {ControlClass::Static, kNoControlId, kVersionInfo.legalCopyright, 40, 25, 119, 8,
     kChildVisible | st::kGroup},
    {ControlClass::Button, kIdOk, "확인", 178, 7, 50, 14,
     kChildVisible | st::kGroup | st::kTabStop | st::kDefPushButton},
}};

// Not visible in the template: the box is shown when it runs modally.
constexpr dialogkit::DialogTemplate kAboutDialog{
    kAboutDialogId,
    "DMX 정보",
    0,
    0,
    235,
    52,
    st::kPopup | st::kCaption | st::kSysMenu | st::kModalFrame | st::kSetFont,
    0,
    kDialogFont,
    kControls,
};

} // namespace

const dialogkit::DialogTemplate& aboutDialogTemplate() {
    return kAboutDialog;
}

} // namespace lumora::resources
