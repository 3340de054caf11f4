#include "virtual/WireMonitorView.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace lumora::wire {

namespace {

constexpr const char* kHighlight = "\x1b[1;33m";
constexpr const char* kDim = "\x1b[2m";
constexpr const char* kPlain = "\x1b[0m";
constexpr std::size_t kMaxLitPairs = 8;

__attribute__((format(printf, 2, 3))) void appendf(std::string& text, const char* format, ...) {
    char buffer[256];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length > 0) {
        text.append(buffer, std::min(static_cast<std::size_t>(length), sizeof buffer - 1));
    }
}

long long microseconds(std::int64_t ns) {
    return (ns + 500) / 1000;
}

// Short spans in microseconds, longer ones in milliseconds, as a DMX tester shows them.
std::string duration(std::int64_t ns) {
    std::string text;
    if (ns < 1'000'000) {
        appendf(text, "%lld µs", microseconds(ns));
    } else {
        appendf(text, "%.2f ms", static_cast<double>(ns) / 1e6);
    }
    return text;
}

long long ageMs(const WireObservation& observation) {
    const std::int64_t age = observation.nowNs - observation.snapshot.publishedAtNs;
    return age > 0 ? age / 1'000'000 : 0;
}

} // namespace

WireMonitorView::WireMonitorView(std::size_t levelsPerRow, Colour colour)
    : levelsPerRow_(levelsPerRow == 0 || kUniverseSlots % levelsPerRow != 0 ? 16 : levelsPerRow)
    , colour_(colour) {}

std::string WireMonitorView::screen(const WireObservation& observation) const {
    std::string text;
    appendf(text, "Lumora DMX virtual wire   segment %s   Ctrl+C quits\n\n", observation.segmentName.c_str());
    if (!observation.found) {
        text += "waiting for the console… (start lumora-dmx with the virtual adapter on its library path)\n";
        return text;
    }
    const WireSnapshot& s = observation.snapshot;
    appendf(text, "console   pid %d %s, adapter %s\n", s.writerPid,
            observation.writerRunning ? "running" : "has ended", s.openHandles > 0 ? "open" : "closed");
    if (s.frames == 0) {
        text += observation.writerRunning ? "waiting for the console… no frames yet: press OPEN\n"
                                          : "waiting for the console… it sent no frames\n";
        return text;
    }
    appendf(text, "frames    %llu (%llu irregular)   %.1f fps   period %s   last %lld ms ago\n",
            static_cast<unsigned long long>(s.frames), static_cast<unsigned long long>(s.irregularFrames),
            s.framesPerSecond, duration(s.periodNs).c_str(), ageMs(observation));
    appendf(text, "break     %s   mark after break %s   ", duration(s.breakNs).c_str(),
            duration(s.markAfterBreakNs).c_str());
    if (s.hasStartCode != 0) {
        appendf(text, "start code 0x%02X   slots %u\n\n", s.startCode, s.slotCount);
    } else {
        text += "no start code\n\n";
    }
    appendGrid(text, s);
    return text;
}

void WireMonitorView::appendGrid(std::string& text, const WireSnapshot& snapshot) const {
    text += "  ch |";
    for (std::size_t column = 0; column < levelsPerRow_; ++column) {
        appendf(text, " %*s+%zu", column < 10 ? 1 : 0, "", column);
    }
    text += '\n';
    for (std::size_t first = 0; first < kUniverseSlots; first += levelsPerRow_) {
        appendf(text, "%4zu |", first);
        for (std::size_t channel = first; channel < first + levelsPerRow_; ++channel) {
            const unsigned level = snapshot.levels[channel];
            if (colour_ == Colour::On) {
                appendf(text, " %s%3u%s", level != 0 ? kHighlight : kDim, level, kPlain);
            } else {
                appendf(text, " %3u", level);
            }
        }
        text += '\n';
    }
}

std::string WireMonitorView::summaryLine(const WireObservation& observation) {
    if (!observation.found) {
        return "state=absent segment=" + observation.segmentName;
    }
    const WireSnapshot& s = observation.snapshot;
    std::string line;
    appendf(line, "state=%s frames=%llu irregular=%llu fps=%.2f break_us=%lld mab_us=%lld period_us=%lld ",
            observation.writerRunning ? "running" : "ended", static_cast<unsigned long long>(s.frames),
            static_cast<unsigned long long>(s.irregularFrames), s.framesPerSecond, microseconds(s.breakNs),
            microseconds(s.markAfterBreakNs), microseconds(s.periodNs));
    if (s.hasStartCode != 0) {
        appendf(line, "start=%u ", s.startCode);
    } else {
        line += "start=- ";
    }
    appendf(line, "slots=%u open=%u pid=%d age_ms=%lld crc=%08x lit=", s.slotCount, s.openHandles,
            s.writerPid, ageMs(observation), levelsCrc(s.levels));
    std::size_t lit = 0;
    for (std::size_t channel = 0; channel < kUniverseSlots && lit < kMaxLitPairs; ++channel) {
        if (s.levels[channel] != 0) {
            appendf(line, "%s%zu:%u", lit == 0 ? "" : ",", channel, s.levels[channel]);
            ++lit;
        }
    }
    if (lit == 0) {
        line += '-';
    }
    return line;
}

std::uint32_t WireMonitorView::levelsCrc(const std::array<std::uint8_t, kUniverseSlots>& levels) {
    // The common CRC-32 (reflected, polynomial 0xEDB88320), bit by bit: 512 bytes need no table.
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t level : levels) {
        crc ^= level;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

} // namespace lumora::wire
