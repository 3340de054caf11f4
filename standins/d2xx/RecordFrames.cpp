// Prints what a program did through the stand-in D2XX library, from the record it kept in the file
// LUMORA_STAND_IN_RECORD names: every call but the frames' own as recorded, and between them the
// frames as the wire decoder rebuilds them, one line for a run of equal frames. Only what depends
// neither on the platform nor on timing is printed, so that the records of the console on Linux and
// on Windows compare line for line; the number of frames goes to standard error.
//
// The record keeps the order of the calls but not their times, so each call is given a moment of
// its own, a microsecond apart, in which the bytes it writes go out a nanosecond apart.
//
// usage: d2xx_record_frames RECORD
#include "simulated/WireDecoder.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

using namespace lumora::hw;

namespace {

std::string describe(const WireFrame& frame) {
    std::string line =
        frame.breakLength > WireFrame::Clock::duration::zero() ? "frame: break" : "frame: no break";
    if (!frame.hasStartCode) {
        return line + ", nothing after it";
    }
    line += ", start code " + std::to_string(frame.startCode) + ", " +
            std::to_string(frame.slotBytes.size()) + " slots, levels";
    bool any = false;
    for (std::size_t slot = 0; slot < frame.slotBytes.size(); ++slot) {
        if (frame.slotBytes[slot] != 0) {
            line += " " + std::to_string(slot) + "=" + std::to_string(frame.slotBytes[slot]);
            any = true;
        }
    }
    return any ? line : line + " all 0";
}

class FramePrinter {
public:
    // A call of a frame, or false for any other call.
    bool take(const std::string& name, std::istringstream& arguments) {
        DriverCall call;
        call.finished = DriverCall::Clock::time_point(std::chrono::microseconds(++moment_));
        call.wireStart = call.finished;
        call.byteTime = std::chrono::nanoseconds(1);
        if (name == "FT_SetBreakOn") {
            call.operation = Operation::SetBreakOn;
        } else if (name == "FT_SetBreakOff") {
            call.operation = Operation::SetBreakOff;
        } else if (name == "FT_Write") {
            call.operation = Operation::Write;
            std::string handle;
            std::size_t size = 0;
            std::string hex;
            arguments >> handle >> size >> hex;
            for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
                call.data.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
            }
        } else {
            return false;
        }
        calls_.push_back(std::move(call));
        return true;
    }

    void flush() {
        std::string previous;
        for (const WireFrame& frame : decodeWireFrames(calls_)) {
            const std::string line = describe(frame);
            if (line != previous) {
                std::printf("%s\n", line.c_str());
                previous = line;
            }
            ++frames_;
        }
        calls_.clear();
    }

    std::size_t frames() const { return frames_; }

private:
    std::vector<DriverCall> calls_;
    long moment_ = 0;
    std::size_t frames_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: d2xx_record_frames RECORD\n", stderr);
        return 2;
    }
    std::ifstream record(argv[1]);
    if (!record) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    FramePrinter frames;
    for (std::string line; std::getline(record, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::istringstream arguments(line);
        std::string name;
        arguments >> name;
        if (!frames.take(name, arguments)) {
            frames.flush();
            std::printf("%s\n", line.c_str());
        }
    }
    frames.flush();
    std::fprintf(stderr, "%zu frames\n", frames.frames());
    return 0;
}
