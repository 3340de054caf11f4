#include "simulated/WireDecoder.h"

#include <algorithm>

namespace lumora::hw {

namespace {

using Clock = std::chrono::steady_clock;

struct WireByte {
    Clock::time_point start;
    Clock::time_point end;
    std::uint8_t value;
};

struct BreakSpan {
    Clock::time_point start;
    Clock::time_point end;
};

void splitLine(std::span<const DriverCall> calls, std::vector<BreakSpan>& breaks,
               std::vector<WireByte>& bytes) {
    std::vector<const DriverCall*> ordered;
    for (const DriverCall& call : calls) {
        if (succeeded(call.status)) {
            ordered.push_back(&call);
        }
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const DriverCall* a, const DriverCall* b) { return a->finished < b->finished; });

    bool inBreak = false;
    Clock::time_point breakStart;
    for (const DriverCall* call : ordered) {
        if (call->operation == Operation::SetBreakOn && !inBreak) {
            inBreak = true;
            breakStart = call->finished;
        } else if (call->operation == Operation::SetBreakOff && inBreak) {
            inBreak = false;
            breaks.push_back({breakStart, call->finished});
        } else if (call->operation == Operation::Write) {
            Clock::time_point start = call->wireStart;
            for (std::uint8_t value : call->data) {
                bytes.push_back({start, start + call->byteTime, value});
                start += call->byteTime;
            }
        }
    }
}

} // namespace

std::vector<WireFrame> decodeWireFrames(std::span<const DriverCall> calls) {
    std::vector<BreakSpan> breaks;
    std::vector<WireByte> bytes;
    splitLine(calls, breaks, bytes);

    std::vector<WireFrame> frames;
    auto byte = bytes.begin();
    for (std::size_t i = 0; i < breaks.size(); ++i) {
        const bool last = i + 1 == breaks.size();
        const Clock::time_point nextBreak = last ? Clock::time_point::max() : breaks[i + 1].start;

        WireFrame frame;
        frame.breakStart = breaks[i].start;
        frame.breakLength = breaks[i].end - breaks[i].start;
        frame.period = last ? Clock::duration::zero() : nextBreak - breaks[i].start;

        while (byte != bytes.end() && byte->start < breaks[i].end) {
            ++byte;
        }
        for (; byte != bytes.end() && byte->start < nextBreak; ++byte) {
            if (byte->end > nextBreak) {
                continue;
            }
            if (!frame.hasStartCode) {
                frame.hasStartCode = true;
                frame.startCode = byte->value;
                frame.markAfterBreak = byte->start - breaks[i].end;
            } else {
                frame.slotBytes.push_back(byte->value);
            }
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

} // namespace lumora::hw
