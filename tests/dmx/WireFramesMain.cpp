// Prints what the port puts on the simulated adapter's line: the configuration calls, then the first
// frames as the wire decoder rebuilds them. Only what must not depend on the platform is printed,
// so that the output of one run on Linux and one on Windows can be compared line for line
// (tools/test-windows.sh).
#include "dmx/CDmxPort.h"
#include "simulated/SimulatedAdapter.h"
#include "simulated/WireDecoder.h"
#include "support/WaitFor.h"

#include <cstdio>
#include <string>

using namespace lumora;
using namespace lumora::hw;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t kFramesShown = 3;

std::string hexOf(const std::vector<std::uint8_t>& bytes) {
    std::string hex;
    for (const std::uint8_t byte : bytes) {
        constexpr char kDigits[] = "0123456789abcdef";
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

} // namespace

int main() {
    SimulatedAdapter adapter;
    adapter.attach({});
    ChannelLevels levels{};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        levels[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    CDmxPort port(adapter, CDmxPort::Timing{.settle = 0ms});
    port.setLevels(levels);
    if (!port.open(0)) {
        std::puts("open failed");
        return 1;
    }
    // The decoder closes a frame at the next break, so one frame more than shown must have started.
    const bool sent = test::waitFor([&] { return adapter.callCount(Operation::SetBreakOn) > kFramesShown; });
    port.close();
    if (!sent) {
        std::puts("no frames");
        return 1;
    }

    const auto calls = adapter.calls();
    for (const DriverCall& call : calls) {
        if (call.operation == Operation::SetBreakOn) {
            break;
        }
        std::printf("%s %u %u %u -> %u\n", std::string(operationName(call.operation)).c_str(),
                    call.arguments[0], call.arguments[1], call.arguments[2],
                    static_cast<unsigned>(call.status));
    }
    const auto frames = decodeWireFrames(calls);
    for (std::size_t i = 0; i < kFramesShown && i < frames.size(); ++i) {
        const WireFrame& frame = frames[i];
        std::printf("frame %zu: break %s, start code %s %02x, %zu slots %s\n", i + 1,
                    frame.breakLength > 0s ? "yes" : "no", frame.hasStartCode ? "yes" : "no", frame.startCode,
                    frame.slotBytes.size(), hexOf(frame.slotBytes).c_str());
    }
    return 0;
}
