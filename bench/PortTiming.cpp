// Runs the DMX port on the simulated adapter and prints the frame period, its spread, the slowest
// write and the cost of setLevels, once idle and once with another thread handing over levels 1,000
// times a second; the cost of setLevels while the adapter stalls a write for three seconds (given up
// at the driver timeout); and how long close takes while every write hangs for a minute.

#include "Percentile.h"
#include "dmx/CDmxPort.h"
#include "simulated/SimulatedAdapter.h"
#include "simulated/WireDecoder.h"
#include "support/NoSystemBus.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

using namespace lumora;
using lumora::bench::percentile;
using namespace std::chrono;

namespace {

double millis(steady_clock::duration d) {
    return duration<double, std::milli>(d).count();
}

struct RunFigures {
    std::size_t frames = 0;
    std::vector<double> periodsMs;
    std::vector<double> setLevelsNs;
    double slowestWriteMs = 0;
};

RunFigures runPort(seconds length, bool loaded) {
    hw::SimulatedAdapter adapter;
    adapter.attach({});
    CDmxPort port(adapter, CDmxPort::Timing{.settle = milliseconds(0)});
    RunFigures figures;
    if (!port.open(0)) {
        std::puts("the port did not open");
        return figures;
    }
    std::atomic<bool> stop{false};
    std::thread loader;
    if (loaded) {
        loader = std::thread([&] {
            ChannelLevels levels{};
            auto next = steady_clock::now();
            for (std::uint8_t value = 0; !stop.load(); ++value) {
                levels.fill(value);
                const auto before = steady_clock::now();
                port.setLevels(levels);
                figures.setLevelsNs.push_back(
                    duration<double, std::nano>(steady_clock::now() - before).count());
                next += milliseconds(1);
                std::this_thread::sleep_until(next);
            }
        });
    }
    std::this_thread::sleep_for(length);
    stop.store(true);
    if (loader.joinable()) {
        loader.join();
    }
    port.close();

    for (const hw::DriverCall& call : adapter.calls()) {
        if (call.operation == hw::Operation::Write) {
            figures.slowestWriteMs = std::max(figures.slowestWriteMs, millis(call.finished - call.started));
        }
    }
    const auto frames = hw::decodeWireFrames(adapter.calls());
    figures.frames = frames.size();
    for (const hw::WireFrame& frame : frames) {
        if (frame.period > steady_clock::duration::zero()) {
            figures.periodsMs.push_back(millis(frame.period));
        }
    }
    return figures;
}

// setLevels at 1 kHz through a 3 s write stall: the slowest call shows whether it ever waited.
void printSetLevelsDuringStall() {
    hw::SimulatedAdapter adapter;
    adapter.attach({});
    CDmxPort port(adapter, CDmxPort::Timing{.settle = milliseconds(0)});
    if (!port.open(0)) {
        std::puts("the port did not open");
        return;
    }
    // A slots write (even-numbered) that has surely not started yet.
    const int nth = adapter.callsStarted(hw::Operation::Write) + 2;
    adapter.stallCall(hw::Operation::Write, nth + nth % 2, seconds(3));
    const auto giveUp = steady_clock::now() + seconds(1);
    while (adapter.stalledCallCount() == 0 && steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(milliseconds(1));
    }
    std::vector<double> samples;
    ChannelLevels levels{};
    for (int i = 0; adapter.stalledCallCount() != 0; ++i) {
        levels.fill(static_cast<std::uint8_t>(i));
        const auto before = steady_clock::now();
        port.setLevels(levels);
        samples.push_back(duration<double, std::nano>(steady_clock::now() - before).count());
        std::this_thread::sleep_for(milliseconds(1));
    }
    port.close();
    std::printf("setLevels during a 3 s write stall: median %.0f ns  max %.0f ns  (%zu calls)\n",
                percentile(samples, 0.5), percentile(samples, 1.0), samples.size());
}

// CLOSE while every write hangs for a minute, as on an adapter that stops taking data: the driver
// timeout gives the write up and the cycle ends there. Five rounds, the close started at a different
// point of the stall in each.
void printCloseDuringStall() {
    std::vector<double> samples;
    for (int round = 0; round < 5; ++round) {
        hw::SimulatedAdapter adapter;
        adapter.attach({});
        CDmxPort port(adapter, CDmxPort::Timing{.settle = milliseconds(0)});
        if (!port.open(0)) {
            std::puts("the port did not open");
            return;
        }
        const int nth = adapter.callsStarted(hw::Operation::Write) + 2;
        for (int write = nth; write < nth + 8; ++write) {
            adapter.stallCall(hw::Operation::Write, write, seconds(60));
        }
        while (adapter.stalledCallCount() == 0) {
            std::this_thread::sleep_for(milliseconds(1));
        }
        std::this_thread::sleep_for(milliseconds(100 * round));
        const auto before = steady_clock::now();
        port.close();
        samples.push_back(millis(steady_clock::now() - before));
    }
    std::printf("close while writes hang for 60 s: median %.0f ms  max %.0f ms  (5 rounds)\n",
                percentile(samples, 0.5), percentile(samples, 1.0));
}

double setLevelsMedianNs() {
    hw::SimulatedAdapter adapter;
    CDmxPort port(adapter);
    ChannelLevels levels{};
    std::vector<double> samples;
    constexpr int kBatch = 100;
    for (int round = 0; round < 2000; ++round) {
        levels[static_cast<std::size_t>(round) % levels.size()] = static_cast<std::uint8_t>(round);
        const auto before = steady_clock::now();
        for (int i = 0; i < kBatch; ++i) {
            port.setLevels(levels);
        }
        samples.push_back(duration<double, std::nano>(steady_clock::now() - before).count() / kBatch);
    }
    return percentile(samples, 0.5);
}

// The pause after each frame, as the product has it.
const double pauseMs = millis(CDmxPort::Timing{}.cycle);

void print(const char* name, const RunFigures& figures, double modelledMs) {
    const double median = percentile(figures.periodsMs, 0.5);
    const double p99 = percentile(figures.periodsMs, 0.99);
    const double max = percentile(figures.periodsMs, 1.0);
    std::printf(
        "%-6s frames %4zu  period median %.3f ms  p99 %.3f ms  max %.3f ms  spread(p99-median) %.3f ms  "
        "median-(pause+model) %+.3f ms\n",
        name, figures.frames, median, p99, max, p99 - median, median - pauseMs - modelledMs);
    std::printf("%-6s slowest write %.3f ms\n", name, figures.slowestWriteMs);
    if (!figures.setLevelsNs.empty()) {
        std::printf("%-6s setLevels under transmit: median %.0f ns  p99 %.0f ns  (%zu calls)\n", name,
                    percentile(figures.setLevelsNs, 0.5), percentile(figures.setLevelsNs, 0.99),
                    figures.setLevelsNs.size());
    }
}

} // namespace

int main() {
    // Measures the port, not whatever RealtimeKit on this desktop would grant.
    test::keepOffTheSystemBus();
    const hw::SimulatedAdapter::Timing model;
    // Per frame: four requests each take the request latency, and the write of the slots returns
    // once all but the buffer's bytes (and the one on the line) have left at 44 us a byte.
    const double bytesWaitedFor = static_cast<double>(kChannelCount - 1 - model.transmitBufferBytes);
    const double modelledMs = 4 * millis(model.requestLatency) + bytesWaitedFor * 0.044;
    std::printf("modelled driver time per frame %.3f ms; expected period %.3f ms\n", modelledMs,
                pauseMs + modelledMs);
    print("idle", runPort(seconds(6), false), modelledMs);
    print("loaded", runPort(seconds(6), true), modelledMs);
    std::printf("setLevels alone: median %.0f ns\n", setLevelsMedianNs());
    printSetLevelsDuringStall();
    printCloseDuringStall();
    return 0;
}
