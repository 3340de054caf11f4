#include "resources/AboutDialogTemplate.h"

#include "dialogkit/Notification.h"
#include "resources/ControlIds.h"
#include "resources/VersionInfo.h"

#include <gtest/gtest.h>
#include <string>

namespace lumora::resources {
namespace {

using dialogkit::ControlClass;
using dialogkit::ControlTemplate;
using dialogkit::kIdOk;
namespace st = dialogkit::style;

TEST(AboutDialogTemplate, WindowIsHiddenUntilRunModally) {
    const dialogkit::DialogTemplate& dialog = aboutDialogTemplate();
    EXPECT_EQ(dialog.id, 100);
    EXPECT_EQ(dialog.caption, "DMX 정보");
    EXPECT_EQ(dialog.cx, 235);
    EXPECT_EQ(dialog.cy, 52);
    EXPECT_EQ(dialog.style, 0x80C800C0u);
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.font.face, "굴림");
    EXPECT_EQ(dialog.font.pointSize, 9);
}

TEST(AboutDialogTemplate, ShowsIconVersionNoticeAndOneDefaultButton) {
    const auto controls = aboutDialogTemplate().controls;
    ASSERT_EQ(controls.size(), 4u);

    const ControlTemplate& icon = controls[0];
    EXPECT_EQ(icon.kind, ControlClass::Static);
    EXPECT_EQ(icon.style & st::kStaticTypeMask, st::kStaticIcon);
    EXPECT_EQ(icon.iconId, kApplicationIconId);
    EXPECT_EQ(icon.x, 11);
    EXPECT_EQ(icon.y, 17);

    EXPECT_EQ(controls[1].style, 0x50020080u);
    EXPECT_EQ(controls[2].style, 0x50020000u);

    int defaults = 0;
    for (const ControlTemplate& c : controls) {
        if (c.kind == ControlClass::Button && (c.style & st::kButtonTypeMask) == st::kDefPushButton) {
            ++defaults;
            EXPECT_EQ(c.id, kIdOk);
            EXPECT_EQ(c.text, "확인");
            EXPECT_EQ(c.style, 0x50030001u);
        } else {
            EXPECT_EQ(c.id, kNoControlId);
        }
        EXPECT_LE(c.x + c.cx, aboutDialogTemplate().cx);
        EXPECT_LE(c.y + c.cy, aboutDialogTemplate().cy);
    }
    EXPECT_EQ(defaults, 1);
}

// The About box is where a user reads the version, so it must say what the version data says.
TEST(AboutDialogTemplate, ShowsTheVersionAndNoticeOfTheVersionData) {
    const auto controls = aboutDialogTemplate().controls;
    ASSERT_EQ(controls.size(), 4u);
    const std::string majorMinor =
        std::to_string(kVersionInfo.productVersion[0]) + "." + std::to_string(kVersionInfo.productVersion[1]);
    EXPECT_EQ(controls[1].text, "DMX 버전 " + majorMinor);
    EXPECT_EQ(controls[2].text, kVersionInfo.legalCopyright);
}

} // namespace
} // namespace lumora::resources
