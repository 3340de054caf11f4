#include "virtual/WireSegment.h"

#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace lumora::wire {

namespace {

constexpr std::size_t kWords = sizeof(WireSnapshot) / 8;
using Words = std::array<std::uint64_t, kWords>;
static_assert(sizeof(WireSnapshot) == sizeof(Words), "a snapshot travels as whole 64-bit words");
// "LUMWIRE" and a layout version: a reader trusts nothing else it finds under the name.
constexpr std::uint64_t kMagic = 0x4c554d5749524501;
// A copy that keeps overlapping publications this often means the writer stopped halfway.
constexpr int kReadAttempts = 10000;

} // namespace

// Every field is an atomic word, so that copying a snapshot while it is being replaced is no data
// race; the sequence number tells the reader whether the words it copied belong together.
struct WireSegment::Layout {
    std::atomic<std::uint64_t> magic;
    std::atomic<std::uint64_t> sequence;
    std::array<std::atomic<std::uint64_t>, kWords> words;
};

static_assert(std::atomic<std::uint64_t>::is_always_lock_free,
              "the words are shared between processes, which only lock-free atomics allow");

WireSegment::WireSegment(Layout* layout, bool writable)
    : layout_(layout)
    , writable_(writable) {}

WireSegment::~WireSegment() {
    release();
}

WireSegment::WireSegment(WireSegment&& other) noexcept
    : layout_(std::exchange(other.layout_, nullptr))
    , writable_(other.writable_) {}

WireSegment& WireSegment::operator=(WireSegment&& other) noexcept {
    if (this != &other) {
        release();
        layout_ = std::exchange(other.layout_, nullptr);
        writable_ = other.writable_;
    }
    return *this;
}

void WireSegment::release() {
    if (layout_ != nullptr) {
        munmap(layout_, sizeof(Layout));
        layout_ = nullptr;
    }
}

WireSegment WireSegment::createForWriting(const std::string& name) {
    const int fd = shm_open(name.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return {};
    }
    void* address = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(sizeof(Layout))) == 0) {
        address = mmap(nullptr, sizeof(Layout), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    }
    close(fd);
    if (address == MAP_FAILED) {
        return {};
    }
    // A new segment is all zeros, which is a valid layout; one left behind keeps its sequence
    // number, made even again in case its writer died halfway through a publication.
    auto* layout = static_cast<Layout*>(address);
    const std::uint64_t sequence = layout->sequence.load(std::memory_order_relaxed);
    layout->sequence.store((sequence + 1) & ~std::uint64_t{1}, std::memory_order_relaxed);
    WireSegment segment(layout, true);
    WireSnapshot empty;
    empty.writerPid = static_cast<std::int32_t>(getpid());
    empty.publishedAtNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    segment.publish(empty);
    layout->magic.store(kMagic, std::memory_order_release);
    return segment;
}

WireSegment WireSegment::openForReading(const std::string& name) {
    const int fd = shm_open(name.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) {
        return {};
    }
    struct stat status = {};
    void* address = MAP_FAILED;
    if (fstat(fd, &status) == 0 && static_cast<std::size_t>(status.st_size) >= sizeof(Layout)) {
        address = mmap(nullptr, sizeof(Layout), PROT_READ, MAP_SHARED, fd, 0);
    }
    close(fd);
    if (address == MAP_FAILED) {
        return {};
    }
    WireSegment segment(static_cast<Layout*>(address), false);
    if (segment.layout_->magic.load(std::memory_order_acquire) != kMagic) {
        return {};
    }
    return segment;
}

bool WireSegment::remove(const std::string& name) {
    return shm_unlink(name.c_str()) == 0;
}

std::string WireSegment::nameFromEnvironment() {
    const char* name = std::getenv(kSegmentNameVariable);
    return name != nullptr && name[0] == '/' ? std::string(name) : std::string(kDefaultSegmentName);
}

void WireSegment::publish(const WireSnapshot& snapshot) {
    if (layout_ == nullptr || !writable_) {
        return;
    }
    const auto words = std::bit_cast<Words>(snapshot);
    const std::uint64_t sequence = layout_->sequence.load(std::memory_order_relaxed);
    layout_->sequence.store(sequence + 1, std::memory_order_relaxed);
    // Each word is released, so a reader that acquires any new word also sees the odd number
    // stored before it, and throws its copy away.
    for (std::size_t i = 0; i < kWords; ++i) {
        layout_->words[i].store(words[i], std::memory_order_release);
    }
    layout_->sequence.store(sequence + 2, std::memory_order_release);
}

bool WireSegment::read(WireSnapshot& snapshot) const {
    if (layout_ == nullptr) {
        return false;
    }
    Words words = {};
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        const std::uint64_t before = layout_->sequence.load(std::memory_order_acquire);
        if ((before & 1) != 0) {
            std::this_thread::yield();
            continue;
        }
        for (std::size_t i = 0; i < kWords; ++i) {
            words[i] = layout_->words[i].load(std::memory_order_acquire);
        }
        if (layout_->sequence.load(std::memory_order_relaxed) == before) {
            snapshot = std::bit_cast<WireSnapshot>(words);
            return true;
        }
    }
    return false;
}

} // namespace lumora::wire
