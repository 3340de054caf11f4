#include "ConsoleFixture.h"

using namespace lumora;
using namespace lumora::test;

namespace {

const std::string kOpenFailed = "USB 통신 포트를 여는데 실패했습니다";

} // namespace

struct PortPanel : ConsoleFixture {
    bool openEnabled() const { return button(resources::kOpenButton)->isEnabled(); }
    bool closeEnabled() const { return button(resources::kCloseButton)->isEnabled(); }
    bool selectorEnabled() const { return selector()->isEnabled(); }
};

TEST_F(PortPanel, OpenStartsOutputWithAllLevelsZeroAndFlipsTheButtons) {
    attachAdapter();
    start();
    click(resources::kOpenButton);

    EXPECT_TRUE(dialog->port().isOpen());
    EXPECT_FALSE(openEnabled());
    EXPECT_TRUE(closeEnabled());
    EXPECT_FALSE(selectorEnabled());
    EXPECT_TRUE(boxes.empty());
    const hw::WireFrame frame = nextWholeFrame();
    EXPECT_EQ(frame.startCode, 0);
    EXPECT_EQ(frame.slotBytes, std::vector<std::uint8_t>(512, 0));
    EXPECT_EQ(selector()->count(), 2) << "OPEN lists the adapter again";
}

TEST_F(PortPanel, CloseStopsOutputAndReopenResumesWithTheLevelsSet) {
    attachAdapter();
    start();
    click(resources::kOpenButton);
    edit(4)->setText("200");
    click(resources::kCloseButton);

    EXPECT_FALSE(dialog->port().isOpen());
    EXPECT_TRUE(openEnabled());
    EXPECT_FALSE(closeEnabled());
    EXPECT_FALSE(selectorEnabled()) << "closed by CLOSE leaves the selector disabled";
    EXPECT_EQ(adapter.callCount(hw::Operation::Close), 1u);

    click(resources::kOpenButton);
    ASSERT_TRUE(dialog->port().isOpen());
    EXPECT_EQ(nextWholeFrame().slotBytes[4], 200);
}

TEST_F(PortPanel, OpenWithoutAnAdapterShowsOnlyTheNotFoundMessage) {
    start();
    boxes.clear();
    click(resources::kOpenButton);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "FT232R USB UART 장치를 찾지 못했습니다.");
    EXPECT_TRUE(openEnabled());
    EXPECT_FALSE(closeEnabled());
    EXPECT_TRUE(selectorEnabled());
    EXPECT_EQ(adapter.callCount(hw::Operation::Open), 0u);
}

// What sits at the adapter's list position when OPEN is pressed again: nothing, or another
// device that must never be configured for DMX or sent frames.
struct AdapterGoneAfterBeingFound : PortPanel, ::testing::WithParamInterface<const char*> {};

TEST_P(AdapterGoneAfterBeingFound, OpenFailsAndTouchesNoDevice) {
    attachAdapter();
    start();
    click(resources::kOpenButton);
    click(resources::kCloseButton);
    adapter.unplug(0);
    if (std::string(GetParam()) != "nothing") {
        adapter.attach({GetParam()});
    }
    boxes.clear();
    adapter.clearCalls();

    click(resources::kOpenButton);
    ASSERT_EQ(boxes.size(), 1u) << "no not-found message: an adapter was found before";
    EXPECT_EQ(boxes[0].text, kOpenFailed);
    EXPECT_EQ(boxes[0].icon, dialogkit::MessageIcon::Error);
    EXPECT_EQ(boxes[0].owner, dialog.get());
    EXPECT_EQ(boxes[0].panelWhileShown, (std::array<bool, 3>{true, false, false}))
        << "the selector, disabled by CLOSE, comes back only after the box is dismissed";
    EXPECT_TRUE(openEnabled());
    EXPECT_FALSE(closeEnabled());
    EXPECT_TRUE(selectorEnabled());
    EXPECT_FALSE(dialog->port().isOpen());
    EXPECT_EQ(adapter.callCount(hw::Operation::Open), 0u);
    EXPECT_EQ(adapter.callCount(hw::Operation::Write), 0u);
}

INSTANTIATE_TEST_SUITE_P(AtItsPosition, AdapterGoneAfterBeingFound,
                         ::testing::Values("nothing", "USB Serial Converter", "FT232R USB UART B"),
                         [](const auto& row) { return std::to_string(row.index); });

TEST_F(PortPanel, ChoosingAnEntryOfTheSelectorSetsTheDeviceIndex) {
    attachAdapter();
    attachAdapter();
    start();
    ASSERT_EQ(selector()->count(), 2);
    selector()->setCurrentSelection(1);
    emit selector()->activated(1);
    EXPECT_EQ(dialog->deviceIndex(), 1);
}

TEST_F(PortPanel, OnlyADoubleClickOnTheLogoOpensTheMakersPageOnce) {
    start();
    auto* logo = dialog->bitmapButton(resources::kLogoButton);
    QTest::mouseClick(logo, Qt::LeftButton);
    EXPECT_TRUE(opened.empty());
    QTest::mouseDClick(logo, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], CMainDialog::kMakerAddress);
}
