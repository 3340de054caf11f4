#include "ChipLine.h"

#include <algorithm>

namespace lumora::test {

DataSettings dataSettingsOf(const UsbRequest& request) {
    return {request.value & 0xFF, (request.value >> 8) & 0x7, (request.value >> 11) & 0x3,
            (request.value & 0x4000) != 0};
}

double chipBaudOf(const UsbRequest& request) {
    constexpr int kEighths[8] = {0, 4, 2, 1, 3, 5, 6, 7};
    const int integer = request.value & 0x3FFF;
    const int code = (request.value >> 14) | ((request.index & 1) << 2);
    if (code == 0 && integer <= 1) {
        return integer == 0 ? 3'000'000.0 : 2'000'000.0;
    }
    return 24'000'000.0 / (integer * 8 + kEighths[code]);
}

std::vector<UsbRequest> controlsOf(const std::vector<UsbRequest>& requests, std::uint8_t request) {
    std::vector<UsbRequest> matching;
    std::copy_if(requests.begin(), requests.end(), std::back_inserter(matching),
                 [request](const UsbRequest& r) {
                     return r.kind == UsbRequest::Kind::Control && r.request == request;
                 });
    return matching;
}

std::vector<UsbRequest> ofKind(const std::vector<UsbRequest>& requests, UsbRequest::Kind kind) {
    std::vector<UsbRequest> matching;
    std::copy_if(requests.begin(), requests.end(), std::back_inserter(matching),
                 [kind](const UsbRequest& r) { return r.kind == kind; });
    return matching;
}

std::vector<hw::DriverCall> lineCallsOf(const std::vector<UsbRequest>& requests) {
    using Clock = hw::DriverCall::Clock;
    double baud = 9600;
    DataSettings line{8, 0, 0, false};
    Clock::time_point lineFree;
    std::vector<hw::DriverCall> calls;
    for (const UsbRequest& request : requests) {
        if (request.result < 0) {
            continue;
        }
        hw::DriverCall call;
        call.started = request.time;
        call.finished = request.time;
        if (request.kind == UsbRequest::Kind::Control && request.request == kBaudRate) {
            baud = chipBaudOf(request);
        } else if (request.kind == UsbRequest::Kind::Control && request.request == kData) {
            const DataSettings wanted = dataSettingsOf(request);
            if (wanted.breakOn != line.breakOn) {
                call.operation = wanted.breakOn ? hw::Operation::SetBreakOn : hw::Operation::SetBreakOff;
                calls.push_back(call);
            }
            line = wanted;
        } else if (request.kind == UsbRequest::Kind::Bulk && !request.data.empty()) {
            constexpr double kStopBits[3] = {1.0, 1.5, 2.0};
            const double bits =
                1 + line.dataBits + (line.parity != 0 ? 1 : 0) + kStopBits[std::min(line.stopBits, 2)];
            call.operation = hw::Operation::Write;
            call.data = request.data;
            call.byteTime =
                std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(bits / baud));
            call.wireStart = std::max(request.time, lineFree);
            lineFree = call.wireStart + static_cast<Clock::rep>(request.data.size()) * call.byteTime;
            calls.push_back(call);
        }
    }
    return calls;
}

} // namespace lumora::test
