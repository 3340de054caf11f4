#include "simulated/WireDecoder.h"

#include <gtest/gtest.h>

using namespace lumora::hw;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

// Builds a record the way the simulated adapter would, on a made-up time line.
class LineScript {
public:
    void breakOn(Clock::duration at) { calls_.push_back(call(Operation::SetBreakOn, at)); }
    void breakOff(Clock::duration at) { calls_.push_back(call(Operation::SetBreakOff, at)); }
    void write(Clock::duration wireStart, std::vector<std::uint8_t> bytes,
               DriverStatus status = DriverStatus::Ok) {
        DriverCall c = call(Operation::Write, wireStart);
        c.wireStart = origin_ + wireStart;
        c.byteTime = 44us;
        c.data = std::move(bytes);
        c.status = status;
        calls_.push_back(std::move(c));
    }
    const std::vector<DriverCall>& calls() const { return calls_; }
    Clock::time_point at(Clock::duration offset) const { return origin_ + offset; }

private:
    DriverCall call(Operation operation, Clock::duration finishedAt) {
        DriverCall c;
        c.operation = operation;
        c.started = origin_ + finishedAt - 1us;
        c.finished = origin_ + finishedAt;
        return c;
    }

    Clock::time_point origin_ = Clock::now();
    std::vector<DriverCall> calls_;
};

} // namespace

TEST(WireDecoder, SplitsTheLineIntoFramesWithBreakMarkStartCodeSlotsAndPeriod) {
    LineScript line;
    line.breakOn(0us);
    line.breakOff(120us);
    line.write(150us, {0x00});
    line.write(194us, {10, 20, 30});
    line.breakOn(30ms);
    line.breakOff(30ms + 100us);
    line.write(30ms + 112us, {0x00, 1, 2});

    const auto frames = decodeWireFrames(line.calls());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].breakStart, line.at(0us));
    EXPECT_EQ(frames[0].breakLength, 120us);
    EXPECT_EQ(frames[0].markAfterBreak, 30us);
    EXPECT_TRUE(frames[0].hasStartCode);
    EXPECT_EQ(frames[0].startCode, 0x00);
    EXPECT_EQ(frames[0].slotBytes, (std::vector<std::uint8_t>{10, 20, 30}));
    EXPECT_EQ(frames[0].period, 30ms);
    EXPECT_EQ(frames[1].markAfterBreak, 12us);
    EXPECT_EQ(frames[1].slotBytes, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(frames[1].period, 0us) << "the last frame has no successor to measure against";
}

TEST(WireDecoder, BytesCutByTheNextBreakOrSentOutsideAFrameBelongToNoFrame) {
    LineScript line;
    line.write(0us, {0x55}); // before any break
    line.breakOn(100us);
    line.breakOff(200us);
    line.write(300us, {0x00, 1, 2, 3}); // bytes end at 344, 388, 432, 476 us
    line.breakOn(400us);                // cuts bytes 2 and 3
    line.breakOff(500us);

    const auto frames = decodeWireFrames(line.calls());
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].slotBytes, (std::vector<std::uint8_t>{1}));
    EXPECT_FALSE(frames[1].hasStartCode) << "bytes that started during the break never made it";
    EXPECT_TRUE(frames[1].slotBytes.empty());
}

TEST(WireDecoder, FailedCallsPutNothingOnTheLine) {
    LineScript line;
    line.breakOn(0us);
    line.breakOff(100us);
    line.write(200us, {0x00}, DriverStatus::IoError);
    line.write(300us, {0x07, 9});

    const auto frames = decodeWireFrames(line.calls());
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].startCode, 0x07);
    EXPECT_EQ(frames[0].markAfterBreak, 200us);
}
