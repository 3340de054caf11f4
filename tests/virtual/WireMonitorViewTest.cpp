#include "virtual/WireMonitorView.h"

#include <algorithm>
#include <gtest/gtest.h>

using lumora::wire::WireMonitorView;
using lumora::wire::WireObservation;

namespace {

WireObservation absent() {
    WireObservation observation;
    observation.segmentName = "/wire";
    return observation;
}

WireObservation running() {
    WireObservation observation;
    observation.segmentName = "/wire";
    observation.found = true;
    observation.writerRunning = true;
    observation.snapshot.writerPid = 321;
    observation.snapshot.openHandles = 1;
    observation.snapshot.publishedAtNs = 5'000'000'000;
    observation.nowNs = 5'040'000'000;
    return observation;
}

WireObservation sending() {
    WireObservation observation = running();
    auto& s = observation.snapshot;
    s.frames = 1234;
    s.framesPerSecond = 20.3;
    s.breakNs = 557'600;
    s.markAfterBreakNs = 523'000;
    s.periodNs = 49'329'000;
    s.hasStartCode = 1;
    s.slotCount = 512;
    s.levels[0] = 200;
    s.levels[17] = 5;
    return observation;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(WireMonitorSummary, GivesEveryFigureAsOneLineOfFields) {
    EXPECT_EQ(WireMonitorView::summaryLine(absent()), "state=absent segment=/wire");
    EXPECT_EQ(
        WireMonitorView::summaryLine(sending()),
        "state=running frames=1234 irregular=0 fps=20.30 break_us=558 mab_us=523 period_us=49329 start=0 "
        "slots=512 open=1 pid=321 age_ms=40 crc=7483335f lit=0:200,17:5");

    WireObservation idle = running();
    idle.writerRunning = false;
    const std::string line = WireMonitorView::summaryLine(idle);
    EXPECT_TRUE(line.starts_with("state=ended frames=0 ")) << line;
    EXPECT_NE(line.find(" start=- "), std::string::npos) << line;
    EXPECT_TRUE(line.ends_with(" crc=b2aa7578 lit=-")) << line;
}

TEST(WireMonitorSummary, ChecksumIsTheCommonCrc32OfTheLevels) {
    std::array<std::uint8_t, lumora::wire::kUniverseSlots> levels{};
    EXPECT_EQ(WireMonitorView::levelsCrc(levels), 0xb2aa7578u);
    levels[0] = 200;
    EXPECT_EQ(WireMonitorView::levelsCrc(levels), 0xa2fccaf3u);
}

TEST(WireMonitorScreen, SaysItIsWaitingUntilFramesArrive) {
    const WireMonitorView view(16, WireMonitorView::Colour::Off);
    EXPECT_NE(view.screen(absent()).find("waiting for the console…"), std::string::npos);
    const std::string portClosed = view.screen(running());
    EXPECT_NE(portClosed.find("no frames yet: press OPEN"), std::string::npos) << portClosed;
    EXPECT_NE(portClosed.find("pid 321 running"), std::string::npos) << portClosed;
}

TEST(WireMonitorScreen, ShowsTheFiguresAndEveryLevelInAGrid) {
    const std::string narrow = WireMonitorView(16, WireMonitorView::Colour::Off).screen(sending());
    EXPECT_NE(narrow.find("20.3 fps"), std::string::npos) << narrow;
    EXPECT_NE(narrow.find("break     558 µs   mark after break 523 µs   start code 0x00   slots 512"),
              std::string::npos)
        << narrow;
    EXPECT_NE(narrow.find("period 49.33 ms"), std::string::npos) << narrow;
    EXPECT_NE(narrow.find("  ch |  +0  +1  +2"), std::string::npos) << narrow;
    EXPECT_NE(narrow.find("\n   0 | 200   0"), std::string::npos) << narrow;
    EXPECT_NE(narrow.find("\n  16 |   0   5   0"), std::string::npos) << narrow;
    EXPECT_NE(narrow.find("\n 496 |"), std::string::npos) << "32 rows of 16";

    const std::string wide = WireMonitorView(32, WireMonitorView::Colour::Off).screen(sending());
    EXPECT_EQ(lineCount(narrow) - lineCount(wide), 16u) << "16 rows of 32";
    EXPECT_NE(wide.find("\n 480 |"), std::string::npos);

    const std::string coloured = WireMonitorView(16, WireMonitorView::Colour::On).screen(sending());
    EXPECT_NE(coloured.find("\x1b[1;33m200\x1b[0m"), std::string::npos) << "levels other than 0 stand out";
    EXPECT_NE(coloured.find("\x1b[2m  0\x1b[0m"), std::string::npos);
}

} // namespace
