#include "virtual/WireSegment.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

using lumora::wire::WireSegment;
using lumora::wire::WireSnapshot;

namespace {

class WireSegmentNamed : public ::testing::Test {
protected:
    ~WireSegmentNamed() override { WireSegment::remove(name); }

    const std::string name = "/lumora-segment-test-" + std::to_string(getpid()) + "-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(WireSegmentNamed, ReadersSeeTheWritersSnapshotsAndANewWriterTakesOver) {
    EXPECT_FALSE(WireSegment::openForReading(name).isMapped()) << "nothing to read before a writer";

    WireSegment writer = WireSegment::createForWriting(name);
    ASSERT_TRUE(writer.isMapped());
    WireSegment reader = WireSegment::openForReading(name);
    ASSERT_TRUE(reader.isMapped());
    WireSnapshot read;
    ASSERT_TRUE(reader.read(read));
    EXPECT_EQ(read.frames, 0u);
    EXPECT_EQ(read.writerPid, getpid());
    EXPECT_GT(read.publishedAtNs, 0);

    WireSnapshot sent;
    sent.frames = 12;
    sent.framesPerSecond = 20.25;
    sent.levels[511] = 255;
    writer.publish(sent);
    reader.publish(WireSnapshot{}); // a reader cannot write
    ASSERT_TRUE(reader.read(read));
    EXPECT_EQ(read.frames, 12u);
    EXPECT_EQ(read.framesPerSecond, 20.25);
    EXPECT_EQ(read.levels[511], 255);

    // A console started again takes the same segment, so a running monitor keeps its view.
    WireSegment restarted = WireSegment::createForWriting(name);
    ASSERT_TRUE(reader.read(read));
    EXPECT_EQ(read.frames, 0u);
}

TEST_F(WireSegmentNamed, IgnoresAnObjectItDidNotSetUp) {
    const int fd = shm_open(name.c_str(), O_CREAT | O_RDWR, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 16), 0);
    EXPECT_FALSE(WireSegment::openForReading(name).isMapped()) << "too small";
    ASSERT_EQ(ftruncate(fd, 4096), 0);
    close(fd);
    EXPECT_FALSE(WireSegment::openForReading(name).isMapped()) << "no mark of a writer";
}

TEST_F(WireSegmentNamed, NeverHandsOutHalfOfOneSnapshotAndHalfOfAnother) {
    WireSegment writer = WireSegment::createForWriting(name);
    const WireSegment reader = WireSegment::openForReading(name);
    ASSERT_TRUE(reader.isMapped());
    std::atomic<bool> enough{false};
    std::thread publisher([&] {
        WireSnapshot snapshot;
        for (std::uint64_t i = 1; !enough.load(); ++i) {
            snapshot.frames = i;
            snapshot.levels.fill(static_cast<std::uint8_t>(i));
            writer.publish(snapshot);
            std::this_thread::yield();
        }
    });
    // Reads on until the snapshot changed under the reader many times, however the two threads
    // happen to be scheduled.
    int changes = 0;
    int torn = 0;
    std::uint64_t lastSeen = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (changes < 200 && std::chrono::steady_clock::now() < deadline) {
        WireSnapshot snapshot;
        if (!reader.read(snapshot)) {
            continue;
        }
        changes += snapshot.frames != lastSeen ? 1 : 0;
        lastSeen = snapshot.frames;
        const auto expected = static_cast<std::uint8_t>(snapshot.frames);
        if (snapshot.levels.front() != expected || snapshot.levels.back() != expected) {
            ++torn;
        }
    }
    enough = true;
    publisher.join();
    EXPECT_GT(changes, 1);
    EXPECT_EQ(torn, 0);
}

} // namespace
