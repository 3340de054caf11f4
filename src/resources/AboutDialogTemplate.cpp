#include "resources/AboutDialogTemplate.h"

#include "dialogkit/Notification.h"
#include "resources/ControlIds.h"
#include "resources/TemplateFont.h"

#include <array>

namespace lumora::resources {
namespace {

using dialogkit::ControlClass;
using dialogkit::ControlTemplate;
using dialogkit::kIdOk;
namespace st = dialogkit::style;

constexpr std::uint32_t kChildVisible = st::kChild | st::kVisible;

constexpr std::array<ControlTemplate, kAboutDialogControlCount> kControls{{
    {ControlClass::Static, kNoControlId, "", 11, 17, 20, 21, kChildVisible | st::kStaticIcon, 0,
     kApplicationIconId},
    {ControlClass::Static, kNoControlId, "DMX 버전 1.0", 40, 10, 119, 8,
     kChildVisible | st::kGroup | st::kStaticNoPrefix},
    {ControlClass::Static, kNoControlId, "Copyright (C) 2026 Lumora", 40, 25, 119, 8,
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
