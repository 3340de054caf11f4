#include "ConsoleFixture.h"
#include "platform/ThreadName.h"
#include "support/ThreadsNamed.h"

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

TEST_F(PortPanel, CloseDuringAFrameStopsOutputAndReopenResumesWithTheLevelsSet) {
    attachAdapter();
    start();
    click(resources::kOpenButton);
    edit(4)->setText("200");
    // A frame is on its way from its break until its slots have been written.
    ASSERT_TRUE(waitFor([&] {
        return 2 * adapter.callsStarted(hw::Operation::SetBreakOn) >
               static_cast<int>(adapter.callCount(hw::Operation::Write));
    }));
    click(resources::kCloseButton);

    EXPECT_FALSE(dialog->port().isOpen());
    EXPECT_TRUE(openEnabled());
    EXPECT_FALSE(closeEnabled());
    EXPECT_FALSE(selectorEnabled()) << "closed by CLOSE leaves the selector disabled";
    EXPECT_EQ(adapter.callCount(hw::Operation::Close), 1u);

    const auto reopenedAt = std::chrono::steady_clock::now();
    click(resources::kOpenButton);
    ASSERT_TRUE(dialog->port().isOpen());

    // Output goes on: several whole frames after the reopen, each with the level set before.
    std::vector<hw::WireFrame> after;
    EXPECT_TRUE(waitFor([&] {
        after.clear();
        for (const hw::WireFrame& frame : hw::decodeWireFrames(adapter.calls())) {
            if (frame.breakStart > reopenedAt && frame.slotBytes.size() == kChannelCount) {
                after.push_back(frame);
            }
        }
        return after.size() >= 4;
    }));
    for (const hw::WireFrame& frame : after) {
        EXPECT_EQ(frame.slotBytes[4], 200);
    }
    EXPECT_EQ(threadsNamed(kTransmitThreadName), 1u) << "the thread before CLOSE is gone";

    const auto calls = adapter.calls();
    const auto isClose = [](const hw::DriverCall& c) {
        return c.operation == hw::Operation::Close;
    };
    const auto closed = std::find_if(calls.begin(), calls.end(), isClose);
    ASSERT_NE(closed, calls.end());
    for (const hw::DriverCall& call : calls) {
        if (call.started < reopenedAt && !isClose(call)) {
            EXPECT_LE(call.finished, closed->started)
                << hw::operationName(call.operation) << " ran on after the adapter's close had started";
        }
    }
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
    auto* logo = dialog->controlAs<dialogkit::BitmapButton>(resources::kLogoButton);
    QTest::mouseClick(logo, Qt::LeftButton);
    for (const Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) { // QTest releases them here
        QTest::mouseDClick(dialog->windowHandle(), other, {}, logo->geometry().center());
    }
    EXPECT_TRUE(opened.empty());
    QTest::mouseDClick(logo, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], CMainDialog::kMakerAddress);
}
