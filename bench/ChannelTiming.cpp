// The console's channel work with real widgets on the offscreen platform: one CLEAR (512 text sets
// and their chains), one page move, the latency from a fader change to the first frame on the
// simulated adapter that carries it, and fader changes and CLOSE while the adapter stalls for 3 s.
// Prints median and maximum.

#include "app/CConsoleApp.h"
#include "app/CMainDialog.h"
#include "dialogkit/Trackbar.h"
#include "resources/ControlIds.h"
#include "resources/StripTable.h"
#include "simulated/SimulatedAdapter.h"
#include "simulated/WireDecoder.h"
#include "support/NoSystemBus.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace lumora;
using Clock = std::chrono::steady_clock;

namespace {

double millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void report(const char* name, std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-26s median %8.3f ms  max %8.3f ms  (%zu samples)\n", name, samples[samples.size() / 2],
                samples.back(), samples.size());
}

template <typename Action> std::vector<double> timeEach(int count, Action action) {
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        const auto before = Clock::now();
        action(i);
        samples.push_back(millis(Clock::now() - before));
    }
    return samples;
}

struct Change {
    Clock::time_point at;
    std::size_t channel;
    int level;
};

std::vector<double> faderToFrameLatency(CMainDialog& dialog, hw::SimulatedAdapter& adapter) {
    std::vector<Change> changes;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(0, 60);
    for (int i = 0; i < 200; ++i) {
        const int strip = i % resources::kStripCount;
        auto* fader = dialog.controlAs<dialogkit::Trackbar>(
            resources::kStripTable[static_cast<std::size_t>(strip)].fader);
        fader->setFocus();
        QTest::keyClick(fader, (i / resources::kStripCount) % 2 == 0 ? Qt::Key_Up : Qt::Key_Down);
        changes.push_back({Clock::now(), static_cast<std::size_t>(strip), kTopLevel - fader->position()});
        QTest::qWait(pause(random));
    }
    QTest::qWait(120);
    const auto frames = hw::decodeWireFrames(adapter.calls());
    std::vector<double> latencies;
    for (const Change& change : changes) {
        const auto carrying = std::find_if(frames.begin(), frames.end(), [&](const hw::WireFrame& frame) {
            return frame.breakStart > change.at && frame.slotBytes.size() == kChannelCount &&
                   frame.slotBytes[change.channel] == change.level;
        });
        if (carrying != frames.end()) {
            latencies.push_back(millis(carrying->breakStart - change.at));
        }
    }
    return latencies;
}

// Stalls a coming write for three seconds, times fader changes during the stall, then CLOSE.
void duringAStall(CMainDialog& dialog, hw::SimulatedAdapter& adapter) {
    const auto stall = std::chrono::seconds(3);
    // A slots write (even-numbered) that has surely not started yet.
    const int nth = adapter.callsStarted(hw::Operation::Write) + 2;
    adapter.stallCall(hw::Operation::Write, nth + nth % 2, stall);
    if (!QTest::qWaitFor([&] { return adapter.stalledCallCount() != 0; }, 1000)) {
        std::puts("the stall did not begin");
        return;
    }
    const auto stallEnds = Clock::now() + stall;
    auto* fader = dialog.controlAs<dialogkit::Trackbar>(resources::kStripTable[0].fader);
    fader->setFocus();
    report("fader change during stall",
           timeEach(200, [&](int i) { QTest::keyClick(fader, i % 2 == 0 ? Qt::Key_Up : Qt::Key_Down); }));
    QTest::qWait(500);
    const double stallLeft = millis(stallEnds - Clock::now());
    const auto before = Clock::now();
    dialog.controlAs<QPushButton>(resources::kCloseButton)->click();
    std::printf("CLOSE during the stall took %.1f ms with %.1f ms of the stall left\n",
                millis(Clock::now() - before), stallLeft);
}

} // namespace

int main(int argc, char** argv) {
    // Measures the console, not whatever RealtimeKit on this desktop would grant.
    test::keepOffTheSystemBus();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    CConsoleApp::installDialogServices();
    hw::SimulatedAdapter adapter;
    adapter.attach({});
    CMainDialog dialog(adapter, CDmxPort::Timing{.settle = std::chrono::milliseconds(0)});
    dialog.show();
    QApplication::processEvents();

    auto* clear = dialog.controlAs<QPushButton>(resources::kClearButton);
    report("CLEAR", timeEach(50, [&](int) { clear->click(); }));

    auto* slider = dialog.controlAs<dialogkit::Trackbar>(resources::kPageSlider);
    slider->setFocus();
    report("page move", timeEach(400, [&](int i) {
               QTest::keyClick(slider, i % 200 < 100 ? Qt::Key_Right : Qt::Key_Left);
           }));

    slider->setPosition(0);
    dialog.controlAs<QPushButton>(resources::kOpenButton)->click();
    if (!dialog.port().isOpen()) {
        std::puts("the port did not open");
        return 1;
    }
    const auto period = [&] {
        QTest::qWait(300);
        const auto frames = hw::decodeWireFrames(adapter.calls());
        return frames.size() > 2 ? millis(frames[frames.size() - 2].period) : 0.0;
    }();
    const auto latencies = faderToFrameLatency(dialog, adapter);
    report("fader change to frame", latencies);
    std::printf("transmit cycle (frame period) %.3f ms; %zu of 200 changes seen on the wire\n", period,
                latencies.size());
    duringAStall(dialog, adapter);
    dialog.done(dialogkit::kIdCancel);
    return 0;
}
