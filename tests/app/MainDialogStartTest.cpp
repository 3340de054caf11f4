#include "ConsoleFixture.h"
#include "resources/ImageResources.h"
#include "resources/MainDialogTemplate.h"
#include "support/RefusingDriver.h"

#include <QScreen>

using namespace lumora;
using namespace lumora::test;
using dialogkit::Notification;

using StartUp = ConsoleFixture;

TEST_F(StartUp, EveryStripShowsLevelZeroAndTheFirstPage) {
    start();
    for (int k = 0; k < resources::kStripCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(edit(k)->text(), "0");
        EXPECT_EQ(edit(k)->textLimit(), 3);
        EXPECT_EQ(fader(k)->rangeMin(), 0);
        EXPECT_EQ(fader(k)->rangeMax(), 255);
        EXPECT_EQ(fader(k)->position(), 255) << "the bottom is level 0";
        EXPECT_EQ(label(k)->text(), QString::number(k));
    }
    EXPECT_EQ(pageSlider()->position(), 0);
    EXPECT_EQ(pageSlider()->rangeMin(), 0);
    EXPECT_EQ(pageSlider()->rangeMax(), 492);
    EXPECT_EQ(dialog->levels(), ChannelLevels{});
}

TEST_F(StartUp, OnlyOpenIsAvailableAndThePortSelectorStaysHidden) {
    start();
    EXPECT_TRUE(button(resources::kOpenButton)->isEnabled());
    EXPECT_FALSE(button(resources::kCloseButton)->isEnabled());
    EXPECT_TRUE(button(resources::kClearButton)->isEnabled());
    EXPECT_FALSE(selector()->isVisible());
    for (QLabel* caption : dialog->findChildren<QLabel*>()) {
        if (caption->text() == "COMPORT") {
            EXPECT_FALSE(caption->isVisible());
        }
    }
    EXPECT_EQ(dialog->deviceIndex(), kNoDevice);
    EXPECT_FALSE(dialog->port().isOpen());
}

TEST_F(StartUp, AMissingAdapterIsReportedOnceAtStart) {
    start();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "FT232R USB UART 장치를 찾지 못했습니다.");
    EXPECT_EQ(boxes[0].icon, dialogkit::MessageIcon::Warning);
    EXPECT_EQ(boxes[0].owner, dialog.get());
    EXPECT_EQ(boxes[0].title, dialogkit::applicationTitle().toStdString());
}

// A driver announcing more devices than any list holds, so the list cannot be read into memory.
struct EndlessDeviceList : RefusingDriver {
    Status createDeviceList(std::uint32_t& count) override {
        count = 0xFFFFFFFFu;
        return Status::Ok;
    }
};

TEST_F(StartUp, AnUnreadableDeviceListIsReportedWithItsOwnMessage) {
    EndlessDeviceList driver;
    CMainDialog console(driver);
    console.show();
    QApplication::processEvents();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "포트를 찾을 수 없습니다.");
    console.done(dialogkit::kIdCancel);
}

TEST_F(StartUp, AnAttachedAdapterIsListedButTheIndexIsResetAndThePortStaysClosed) {
    attachAdapter();
    start();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(selector()->count(), 1);
    EXPECT_EQ(selector()->currentSelection(), 0);
    EXPECT_EQ(dialog->deviceIndex(), kNoDevice);
    EXPECT_EQ(adapter.callCount(hw::Operation::Open), 0u);
}

TEST_F(StartUp, TheWindowIsCaptionedWithItsIconFixedInSizeAndCentred) {
    start();
    EXPECT_EQ(dialog->windowTitle(), "Lumora DMX");
    const QImage icon = resources::applicationIcon().pixmap(32).toImage();
    EXPECT_EQ(dialog->windowIcon().pixmap(32).toImage(), icon) << "icon 128, pixel for pixel";
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "the dialog cannot be resized";

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint offset = dialog->frameGeometry().center() - area.center();
    EXPECT_LE(std::abs(offset.x()), 1);
    EXPECT_LE(std::abs(offset.y()), 1);
}

TEST_F(StartUp, TheControlsOutsideTheStripsStandWhereTheTemplatePutsThem) {
    start();
    // The template's table in dialog units; statics without an id are found by their text.
    struct Placed {
        int id;
        const char* text;
        QRect units;
    };
    const std::vector<Placed> table = {{resources::kOpenButton, "", {6, 11, 54, 28}},
                                       {dialogkit::kIdCancel, "", {342, 175, 58, 20}},
                                       {-1, "CH Range :", {177, 10, 39, 8}},
                                       {resources::kLogoButton, "", {316, 6, 84, 29}},
                                       {resources::kPageSlider, "", {174, 22, 132, 17}},
                                       {resources::kPortSelector, "", {25, 176, 38, 101}},
                                       {-1, "COMPORT", {64, 187, 38, 8}},
                                       {resources::kCloseButton, "", {61, 11, 54, 28}},
                                       {-1, "CH", {7, 48, 15, 8}},
                                       {-1, "Data", {5, 156, 15, 9}},
                                       {resources::kClearButton, "", {116, 11, 54, 28}}};
    const dialogkit::DialogUnits& units = dialog->units();
    for (const Placed& placed : table) {
        SCOPED_TRACE(placed.id == -1 ? std::string(placed.text) : std::to_string(placed.id));
        QWidget* widget = dialog->control(placed.id);
        if (placed.id == -1) {
            widget = nullptr;
            for (QLabel* caption : dialog->findChildren<QLabel*>()) {
                if (caption->text() == placed.text) {
                    widget = caption;
                }
            }
        }
        ASSERT_NE(widget, nullptr);
        const QRect expected =
            units.toPixels(placed.units.x(), placed.units.y(), placed.units.width(), placed.units.height());
        if (placed.id == resources::kPortSelector) {
            // The height in the template includes the dropped-down list.
            EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft());
            EXPECT_EQ(widget->width(), expected.width());
        } else {
            EXPECT_EQ(widget->geometry(), expected);
        }
    }
}

TEST_F(StartUp, TheDesktopsScaleEnlargesTheWindowAndKeepsItsLayout) {
    start();
    expectTheLayoutOfOneHundredPercent(*dialog, resources::mainDialogTemplate());
}

TEST_F(StartUp, TheMessageTableRoutesEveryNotificationInItsDeclaredOrder) {
    start();
    const auto& table = dialog->messageTable();
    ASSERT_EQ(table.size(), 52u);

    std::vector<std::pair<Notification, int>> expected = {
        {Notification::Destroy, dialogkit::kNoControl},  {Notification::SysCommand, dialogkit::kNoControl},
        {Notification::Paint, dialogkit::kNoControl},    {Notification::QueryDragIcon, dialogkit::kNoControl},
        {Notification::Clicked, resources::kOpenButton}, {Notification::Clicked, resources::kCloseButton}};
    for (int k = 0; k < 20; ++k) {
        expected.emplace_back(Notification::ReleasedCapture, strip(k).fader);
    }
    expected.emplace_back(Notification::DoubleClicked, resources::kLogoButton);
    for (int k = 0; k < 20; ++k) {
        expected.emplace_back(Notification::TextChanged, strip(k).edit);
    }
    expected.emplace_back(Notification::VerticalScroll, dialogkit::kNoControl);
    expected.emplace_back(Notification::HorizontalScroll, dialogkit::kNoControl);
    expected.emplace_back(Notification::DropDown, resources::kPortSelector);
    expected.emplace_back(Notification::SelectionConfirmed, resources::kPortSelector);
    expected.emplace_back(Notification::Clicked, resources::kClearButton);

    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(table[i].notification, expected[i].first);
        EXPECT_EQ(table[i].controlId, expected[i].second);
    }
}
