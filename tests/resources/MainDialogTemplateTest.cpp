#include "resources/MainDialogTemplate.h"

#include "dialogkit/Notification.h"
#include "resources/ControlIds.h"
#include "resources/StripTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace lumora::resources {
namespace {

using dialogkit::ControlClass;
using dialogkit::ControlTemplate;
using dialogkit::kIdCancel;
using dialogkit::kIdOk;
namespace st = dialogkit::style;

std::span<const ControlTemplate> controls() {
    return mainDialogTemplate().controls;
}

const ControlTemplate* findById(int id) {
    const auto all = controls();
    const auto it =
        std::find_if(all.begin(), all.end(), [id](const ControlTemplate& c) { return c.id == id; });
    return it == all.end() ? nullptr : &*it;
}

bool has(const ControlTemplate& c, std::uint32_t bits) {
    return (c.style & bits) == bits;
}

TEST(MainDialogTemplate, WindowIsAFixedSizeKoreanDialogWithItsOwnTaskBarButton) {
    const dialogkit::DialogTemplate& dialog = mainDialogTemplate();
    EXPECT_EQ(dialog.id, 102);
    EXPECT_EQ(dialog.caption, "Lumora DMX");
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 407);
    EXPECT_EQ(dialog.cy, 202);
    EXPECT_EQ(dialog.style, 0x90C800C0u);
    EXPECT_EQ(dialog.exStyle, 0x00040000u);
    EXPECT_EQ(dialog.font.face, "굴림");
    EXPECT_EQ(dialog.font.pointSize, 9);
    EXPECT_EQ(dialog.font.weight, 0);
    EXPECT_FALSE(dialog.font.italic);
    EXPECT_EQ(dialog.font.charset, 1);
}

TEST(MainDialogTemplate, HasSeventyOneControlsWithDistinctIds) {
    ASSERT_EQ(controls().size(), 71u);
    std::set<int> ids;
    int statics = 0;
    for (const ControlTemplate& c : controls()) {
        if (c.id == kNoControlId) {
            ++statics;
            EXPECT_EQ(c.kind, ControlClass::Static) << c.text;
        } else {
            EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
        }
    }
    EXPECT_EQ(statics, 4);
    EXPECT_EQ(findById(kIdOk), nullptr);
}

TEST(MainDialogTemplate, TemplateOrderPutsExitThirdAndTheOthersAfterTheStrips) {
    std::vector<int> expected{kOpenButton, kStripTable[0].fader, kStripTable[0].edit, kIdCancel,
                              kStripTable[0].label};
    for (std::size_t k = 1; k < kStripTable.size(); ++k) {
        expected.insert(expected.end(), {kStripTable[k].fader, kStripTable[k].edit, kStripTable[k].label});
    }
    expected.insert(expected.end(), {-1, 1065, 1073, 1077, -1, 1003, -1, -1, 1004});

    std::vector<int> actual;
    for (const ControlTemplate& c : controls()) {
        actual.push_back(c.id);
    }
    EXPECT_EQ(actual, expected);

    const std::vector<std::string> statics{"CH Range :", "COMPORT", "CH", "Data"};
    std::vector<std::string> actualStatics;
    for (const ControlTemplate& c : controls()) {
        if (c.id == kNoControlId) {
            actualStatics.emplace_back(c.text);
        }
    }
    EXPECT_EQ(actualStatics, statics);

    const std::vector<std::string> buttons{"OPEN", "EXIT(&X)", "Logo", "CLOSE", "CLEAR"};
    std::vector<std::string> actualButtons;
    for (const ControlTemplate& c : controls()) {
        if (c.kind == ControlClass::Button) {
            actualButtons.emplace_back(c.text);
        }
    }
    EXPECT_EQ(actualButtons, buttons);
}

TEST(MainDialogTemplate, TabVisitsStripsInOrderWithExitBetweenStripZeroAndOne) {
    std::vector<int> expected{kOpenButton, kStripTable[0].fader, kStripTable[0].edit, kIdCancel};
    for (std::size_t k = 1; k < kStripTable.size(); ++k) {
        expected.insert(expected.end(), {kStripTable[k].fader, kStripTable[k].edit});
    }
    expected.insert(expected.end(), {kLogoButton, kPageSlider, kCloseButton, kClearButton});

    std::vector<int> reachable;
    for (const ControlTemplate& c : controls()) {
        if (has(c, st::kTabStop | st::kVisible) && !has(c, st::kDisabled)) {
            reachable.push_back(c.id);
        }
    }
    EXPECT_EQ(reachable, expected);
}

TEST(MainDialogTemplate, StripControlsStandInColumnsNineteenUnitsApart) {
    for (std::size_t k = 0; k < kStripTable.size(); ++k) {
        const int x = 21 + 19 * static_cast<int>(k);
        const ControlTemplate* fader = findById(kStripTable[k].fader);
        const ControlTemplate* edit = findById(kStripTable[k].edit);
        const ControlTemplate* label = findById(kStripTable[k].label);
        ASSERT_NE(fader, nullptr);
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(label, nullptr);

        EXPECT_EQ(fader->kind, ControlClass::Trackbar);
        EXPECT_EQ(edit->kind, ControlClass::Edit);
        EXPECT_EQ(label->kind, ControlClass::Static);
        for (const ControlTemplate* c : {fader, edit, label}) {
            EXPECT_EQ(c->x, x) << "strip " << k << " id " << c->id;
            EXPECT_EQ(c->cx, 15) << "strip " << k << " id " << c->id;
        }
        EXPECT_EQ(fader->y, 55);
        EXPECT_EQ(fader->cy, 95);
        EXPECT_EQ(edit->y, 154);
        EXPECT_EQ(edit->cy, 14);
        EXPECT_EQ(label->y, 48);
        EXPECT_EQ(label->cy, 8);

        EXPECT_EQ(label->text, std::to_string(k));
        EXPECT_EQ(fader->text, "Slider1");
        EXPECT_EQ(edit->text, "");

        EXPECT_EQ(fader->style, 0x5003001Au) << "strip " << k;
        EXPECT_EQ(edit->style, 0x50812088u) << "strip " << k;
        EXPECT_EQ(label->style, 0x50020201u) << "strip " << k;
    }
}

TEST(MainDialogTemplate, OnlyThePortSelectorAndItsCaptionAreHidden) {
    std::vector<std::string> hidden;
    for (const ControlTemplate& c : controls()) {
        EXPECT_TRUE(has(c, st::kChild)) << c.id;
        EXPECT_FALSE(has(c, st::kDisabled)) << c.id;
        if (!has(c, st::kVisible)) {
            hidden.push_back(std::to_string(c.id) + ":" + std::string(c.text));
        }
    }
    EXPECT_EQ(hidden, (std::vector<std::string>{"1077:", "-1:COMPORT"}));
}

TEST(MainDialogTemplate, StaticTextsStartGroupsAndTakeNoFocus) {
    for (const ControlTemplate& c : controls()) {
        if (c.kind == ControlClass::Static) {
            EXPECT_TRUE(has(c, st::kGroup)) << c.text;
            EXPECT_FALSE(has(c, st::kTabStop)) << c.text;
        }
    }
}

TEST(MainDialogTemplate, EveryEditBoxIsAStripEditThatTakesDigitsOnly) {
    std::set<int> editIds;
    for (const ControlTemplate& c : controls()) {
        if (c.kind == ControlClass::Edit) {
            editIds.insert(c.id);
            EXPECT_TRUE(has(c, st::kEditNumber)) << c.id;
        }
    }
    std::set<int> stripEdits;
    for (const StripControls& strip : kStripTable) {
        stripEdits.insert(strip.edit);
    }
    EXPECT_EQ(editIds, stripEdits);
}

TEST(MainDialogTemplate, NoPushButtonIsDefault) {
    for (const ControlTemplate& c : controls()) {
        if (c.kind == ControlClass::Button && c.id != kLogoButton) {
            EXPECT_EQ(c.style, 0x50010000u) << c.text;
        }
    }
}

TEST(MainDialogTemplate, LogoIsASunkenOwnerDrawnButton) {
    const ControlTemplate* logo = findById(kLogoButton);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->kind, ControlClass::Button);
    EXPECT_EQ(logo->style & st::kButtonTypeMask, st::kOwnerDraw);
    EXPECT_TRUE(has(*logo, st::kTabStop));
    EXPECT_EQ(logo->exStyle, st::kExClientEdge | st::kExTransparent);
    EXPECT_EQ(logo->cx, 84);
    EXPECT_EQ(logo->cy, 29);
    for (const ControlTemplate& c : controls()) {
        if (c.id != kLogoButton) {
            EXPECT_EQ(c.exStyle, 0u) << c.id;
        }
    }
}

TEST(MainDialogTemplate, PageSliderIsHorizontalAndPortSelectorIsADropDownList) {
    const ControlTemplate* slider = findById(kPageSlider);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->kind, ControlClass::Trackbar);
    EXPECT_EQ(slider->style, 0x50010018u);

    const ControlTemplate* selector = findById(kPortSelector);
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->kind, ControlClass::ComboBox);
    EXPECT_EQ(selector->style, 0x40210003u);
    EXPECT_EQ(selector->cy, 101);
}

TEST(MainDialogTemplate, ControlsLieInsideTheClientArea) {
    const dialogkit::DialogTemplate& dialog = mainDialogTemplate();
    for (const ControlTemplate& c : controls()) {
        EXPECT_GE(c.x, 0) << c.id;
        EXPECT_GE(c.y, 0) << c.id;
        EXPECT_LE(c.x + c.cx, dialog.cx) << c.id;
        // The port selector's height includes its dropped-down list.
        if (c.id != kPortSelector) {
            EXPECT_LE(c.y + c.cy, dialog.cy) << c.id;
        }
    }
}

} // namespace
} // namespace lumora::resources
