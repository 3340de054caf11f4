// The real console opened and closed a hundred times while the operator keeps moving faders,
// typing levels, paging and clearing; and a stalled adapter that must not freeze the window.

#include "app/ConsoleFixture.h"
#include "platform/ThreadName.h"
#include "support/ThreadsNamed.h"
#include "support/WritesAhead.h"

#include <bitset>
#include <random>

using namespace lumora;
using namespace lumora::test;
using namespace std::chrono_literals;
using hw::Operation;

namespace {

constexpr int kCycles = 100;

} // namespace

// Every level each channel has held: a typed "128" passes through 1 and 12, and CLEAR zeroes the
// channels one by one, so a frame may catch any of those, but never a level no channel had.
class LevelsSeen {
public:
    void note(const ChannelLevels& levels) {
        for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
            seen_[channel].set(levels[channel]);
        }
    }
    bool allSeen(const std::vector<std::uint8_t>& frameSlots) const {
        for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
            if (!seen_[channel].test(frameSlots[channel])) {
                return false;
            }
        }
        return true;
    }

private:
    std::array<std::bitset<256>, kChannelCount> seen_;
};

class ConsoleStress : public ConsoleFixture {
protected:
    void TearDown() override { adapter.releaseStalls(); }

    // One operator action chosen at random, noting the levels after each key or text it takes.
    void operate(std::mt19937& random, LevelsSeen& seen) {
        const int k = static_cast<int>(random() % resources::kStripCount);
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
            for (const QChar digit : QString::number(random() % 256)) {
                QTest::keyClick(edit(k), digit.toLatin1());
                seen.note(dialog->levels());
            }
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
        seen.note(dialog->levels());
    }
};

TEST_F(ConsoleStress, AHundredOpenCloseCyclesWithTheOperatorAtWorkSendOnlyLevelsTheOperatorSet) {
    attachAdapter();
    start();
    std::mt19937 random(8122026);
    std::size_t frames = 0;

    for (int cycle = 0; cycle < kCycles; ++cycle) {
        LevelsSeen seen;
        seen.note(dialog->levels());
        click(resources::kOpenButton);
        ASSERT_TRUE(dialog->port().isOpen()) << "cycle " << cycle;
        ASSERT_TRUE(waitFor([] { return threadsNamed(kTransmitThreadName) == 1; }));
        for (int action = 0; action < 4; ++action) {
            operate(random, seen);
            if (random() % 4 == 0) {
                nextWholeFrame();
            }
        }
        click(resources::kCloseButton);
        ASSERT_FALSE(dialog->port().isOpen());
        ASSERT_EQ(adapter.openHandleCount(), 0u) << "cycle " << cycle;
        ASSERT_TRUE(waitFor([] { return threadsNamed(kTransmitThreadName) == 0; })) << "cycle " << cycle;

        for (const hw::WireFrame& frame : hw::decodeWireFrames(adapter.calls())) {
            ASSERT_EQ(frame.slotBytes.size(), kChannelCount) << "cycle " << cycle << ": a frame was split";
            ASSERT_TRUE(seen.allSeen(frame.slotBytes))
                << "cycle " << cycle << ": a frame carried a level never set";
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
    // Bounded only as a hang guard, so a window that froze until the stall ended fails the checks
    // below rather than hangs.
    adapter.stallCall(Operation::Write, aSlotsWriteStillToCome(adapter), 60s);
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
