// The real console opened and closed a hundred times while the operator keeps moving faders,
// typing levels, paging and clearing; and a stalled adapter that must not freeze the window.

#include "app/ConsoleFixture.h"
#include "support/ThreadCount.h"

#include <random>

using namespace lumora;
using namespace lumora::test;
using namespace std::chrono_literals;
using hw::Operation;

namespace {

constexpr int kCycles = 100;

} // namespace

class ConsoleStress : public ConsoleFixture {
protected:
    // One operator action chosen at random; each leaves the dialog's levels as the next snapshot.
    void operate(std::mt19937& random) {
        const int k = static_cast<int>(random() % CMainDialog::kStripCount);
        switch (random() % 6) {
        case 0:
            QTest::keyClick(fader(k), random() % 2 ? Qt::Key_Up : Qt::Key_PageDown);
            break;
        case 1:
            QTest::keyClick(fader(k), random() % 2 ? Qt::Key_Home : Qt::Key_End);
            break;
        case 2:
            edit(k)->setText(QString::number(random() % 300));
            break;
        case 3:
            edit(k)->selectAll();
            QTest::keyClicks(edit(k), QString::number(random() % 256));
            break;
        case 4:
            QTest::keyClick(pageSlider(), random() % 2 ? Qt::Key_PageDown : Qt::Key_PageUp);
            break;
        default:
            if (random() % 4 == 0) {
                click(resources::kClearButton);
            }
            break;
        }
    }
};

TEST_F(ConsoleStress, AHundredOpenCloseCyclesWithTheOperatorAtWorkSendOnlyLevelsTheOperatorSet) {
    attachAdapter();
    start();
    std::mt19937 random(8122026);
    const std::size_t threadsWhileClosed = runningThreadCount();
    std::size_t frames = 0;

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        // Every state of the levels the operator had while the port was open, in order.
        std::vector<ChannelLevels> held{dialog->levels()};
        click(resources::kOpenButton);
        ASSERT_TRUE(dialog->port().isOpen()) << "cycle " << cycle;
        for (int action = 0; action < 4; ++action) {
            operate(random);
            held.push_back(dialog->levels());
            if (random() % 4 == 0) {
                nextWholeFrame();
            }
        }
        click(resources::kCloseButton);
        ASSERT_FALSE(dialog->port().isOpen());
        ASSERT_EQ(adapter.openHandleCount(), 0u) << "cycle " << cycle;
        ASSERT_EQ(runningThreadCount(), threadsWhileClosed) << "cycle " << cycle;

        auto from = held.begin();
        for (const hw::WireFrame& frame : hw::decodeWireFrames(adapter.calls())) {
            ASSERT_EQ(frame.slotBytes.size(), kChannelCount) << "cycle " << cycle << ": a frame was split";
            const auto carried = std::find_if(from, held.end(), [&](const ChannelLevels& levels) {
                return std::equal(levels.begin(), levels.end(), frame.slotBytes.begin());
            });
            ASSERT_NE(carried, held.end()) << "cycle " << cycle << ": a frame carried levels never set";
            from = carried;
            ++frames;
        }
        adapter.clearCalls();
        EXPECT_TRUE(boxes.empty());
    }
    std::printf("[ figures  ] %d console cycles, %zu frames checked\n", kCycles, frames);
}

TEST_F(ConsoleStress, TheWindowStaysResponsiveWhileTheAdapterStalls) {
    attachAdapter();
    start();
    click(resources::kOpenButton);
    const int writes = static_cast<int>(adapter.callCount(Operation::Write));
    adapter.stallCall(Operation::Write, writes + (writes % 2 == 0 ? 4 : 3));
    ASSERT_TRUE(waitFor([&] { return adapter.stalledCallCount() == 1; }));

    // Faders, typing and paging all take effect while the transmit thread hangs in the driver.
    QTest::keyClick(fader(0), Qt::Key_Home);
    edit(1)->selectAll();
    QTest::keyClicks(edit(1), "128");
    QTest::keyClick(pageSlider(), Qt::Key_PageDown);
    QApplication::processEvents();
    EXPECT_EQ(dialog->levels()[0], 255);
    EXPECT_EQ(dialog->levels()[1], 128);
    EXPECT_NE(dialog->firstChannel(), 0);
    EXPECT_EQ(adapter.stalledCallCount(), 1) << "all of it happened during the stall";

    adapter.releaseStalls();
    const hw::WireFrame frame = nextWholeFrame();
    EXPECT_EQ(frame.slotBytes[1], 128);
    click(resources::kCloseButton);
    EXPECT_EQ(adapter.openHandleCount(), 0u);
}
