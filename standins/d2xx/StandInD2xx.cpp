// A stand-in for the vendor's D2XX library: the functions the vendor backend resolves, over three
// attached adapters, recording every call as a line of text. Written against the public
// programmer's guide with its own spelling of the types, so that it checks the backend's declarations
// rather than sharing them. Built a second time without FT_SetBreakOff to stand for an incomplete
// library.
//
// An adapter that stops taking data: with LUMORA_STAND_IN_STALL_WRITES_FROM=n, the nth FT_Write of the
// library's life and every one after it hold the caller for a minute, or for the handle's write
// timeout when FT_SetTimeouts gave one, and then fail having sent nothing.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// On Windows the library exports its functions by name with the calling convention it is declared
// with (stdcall; 64-bit Windows has only the one convention, and only 64-bit is built).
#if defined(_WIN32)
#define STAND_IN_API __declspec(dllexport)
#define STAND_IN_CALL __stdcall
#else
#define STAND_IN_API
#define STAND_IN_CALL
#endif

namespace {

using FtStatus = unsigned int;
using FtHandle = void*;

constexpr FtStatus kOk = 0;
constexpr FtStatus kInvalidHandle = 1;
constexpr FtStatus kDeviceNotFound = 2;
constexpr FtStatus kDeviceNotOpened = 3;
constexpr FtStatus kIoError = 4;
constexpr unsigned int kStallMs = 60'000;

struct ListNode {
    unsigned int flags;
    unsigned int type;
    unsigned int id;
    unsigned int locationId;
    char serialNumber[16];
    char description[64];
    FtHandle handle;
};

struct Adapter {
    const char* description;
    unsigned int type;
    const char* serialNumber;
};

constexpr Adapter kAdapters[] = {
    {"FT232R USB UART", 5, "SI000001"},
    {"USB <-> Serial Cable", 0, "SI000002"},
    {"FT232R USB UART", 5, "SI000003"},
};
constexpr int kAdapterCount = 3;

std::mutex mutex;
std::string record;
std::string snapshot;
bool opened[kAdapterCount] = {};
std::map<std::string, FtStatus> failures;
// Each adapter's handle is the address of its slot here.
char handleSlots[kAdapterCount];
// Per adapter, the write timeout FT_SetTimeouts set since it was opened; 0 for none.
unsigned int writeTimeouts[kAdapterCount] = {};
int writesStarted = 0;

// The record also goes, line by line as it grows, to the file LUMORA_STAND_IN_RECORD names, for a
// program that does not ask for it: the console run end to end.
std::FILE* recordFile() {
    static std::FILE* const file = [] {
        const char* path = std::getenv("LUMORA_STAND_IN_RECORD");
        return path != nullptr ? std::fopen(path, "wb") : nullptr;
    }();
    return file;
}

void log(const std::string& line) {
    record += line + "\n";
    if (std::FILE* file = recordFile()) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fflush(file);
    }
}

FtStatus injected(const char* function) {
    const auto found = failures.find(function);
    return found != failures.end() ? found->second : kOk;
}

// The adapter behind a handle as "h<position>", or -1 for a handle the stand-in did not hand out.
int positionOf(FtHandle handle) {
    for (int i = 0; i < kAdapterCount; ++i) {
        if (handle == &handleSlots[i] && opened[i]) {
            return i;
        }
    }
    return -1;
}

FtStatus onHandle(const char* function, FtHandle handle, const std::string& arguments = {}) {
    std::lock_guard lock(mutex);
    const int position = positionOf(handle);
    log(std::string(function) + " h" + (position < 0 ? "?" : std::to_string(position)) + arguments);
    if (position < 0) {
        return kInvalidHandle;
    }
    return injected(function);
}

// How long this write stalls, in milliseconds: 0 unless the stall has begun for it.
unsigned int stallOf(FtHandle handle) {
    static const int stallFrom = [] {
        const char* from = std::getenv("LUMORA_STAND_IN_STALL_WRITES_FROM");
        return from != nullptr ? std::atoi(from) : 0;
    }();
    std::lock_guard lock(mutex);
    const int position = positionOf(handle);
    if (++writesStarted < stallFrom || stallFrom <= 0 || position < 0) {
        return 0;
    }
    const unsigned int timeout = writeTimeouts[position];
    const unsigned int stall = timeout > 0 && timeout < kStallMs ? timeout : kStallMs;
    log("stalled FT_Write h" + std::to_string(position) + " for " + std::to_string(stall) + " ms");
    return stall;
}

} // namespace

extern "C" {

STAND_IN_API FtStatus STAND_IN_CALL FT_CreateDeviceInfoList(unsigned int* count) {
    std::lock_guard lock(mutex);
    log("FT_CreateDeviceInfoList");
    *count = kAdapterCount;
    return injected("FT_CreateDeviceInfoList");
}

// As the real library does, writes every node whatever the caller's array holds.
STAND_IN_API FtStatus STAND_IN_CALL FT_GetDeviceInfoList(ListNode* nodes, unsigned int* count) {
    std::lock_guard lock(mutex);
    log("FT_GetDeviceInfoList");
    for (int i = 0; i < kAdapterCount; ++i) {
        ListNode& node = nodes[i];
        std::memset(&node, 0, sizeof node);
        node.flags = opened[i] ? 1 : 0;
        node.type = kAdapters[i].type;
        node.id = 0x04036001;
        node.locationId = static_cast<unsigned int>(0x100 + i);
        std::strncpy(node.serialNumber, kAdapters[i].serialNumber, sizeof node.serialNumber - 1);
        std::strncpy(node.description, kAdapters[i].description, sizeof node.description - 1);
        node.handle = opened[i] ? &handleSlots[i] : nullptr;
    }
    *count = kAdapterCount;
    return injected("FT_GetDeviceInfoList");
}

STAND_IN_API FtStatus STAND_IN_CALL FT_Open(int position, FtHandle* handle) {
    std::lock_guard lock(mutex);
    log("FT_Open " + std::to_string(position));
    *handle = nullptr;
    if (const FtStatus status = injected("FT_Open"); status != kOk) {
        return status;
    }
    if (position < 0 || position >= kAdapterCount) {
        return kDeviceNotFound;
    }
    if (opened[position]) {
        return kDeviceNotOpened;
    }
    opened[position] = true;
    writeTimeouts[position] = 0;
    *handle = &handleSlots[position];
    return kOk;
}

STAND_IN_API FtStatus STAND_IN_CALL FT_ResetDevice(FtHandle handle) {
    return onHandle("FT_ResetDevice", handle);
}

STAND_IN_API FtStatus STAND_IN_CALL FT_SetDivisor(FtHandle handle, unsigned short divisor) {
    return onHandle("FT_SetDivisor", handle, " " + std::to_string(divisor));
}

STAND_IN_API FtStatus STAND_IN_CALL FT_SetDataCharacteristics(FtHandle handle, unsigned char wordLength,
                                                              unsigned char stopBits, unsigned char parity) {
    return onHandle("FT_SetDataCharacteristics", handle,
                    " " + std::to_string(wordLength) + " " + std::to_string(stopBits) + " " +
                        std::to_string(parity));
}

STAND_IN_API FtStatus STAND_IN_CALL FT_SetFlowControl(FtHandle handle, unsigned short flowControl,
                                                      unsigned char xon, unsigned char xoff) {
    return onHandle("FT_SetFlowControl", handle,
                    " " + std::to_string(flowControl) + " " + std::to_string(xon) + " " +
                        std::to_string(xoff));
}

STAND_IN_API FtStatus STAND_IN_CALL FT_ClrRts(FtHandle handle) {
    return onHandle("FT_ClrRts", handle);
}

STAND_IN_API FtStatus STAND_IN_CALL FT_Purge(FtHandle handle, unsigned int mask) {
    return onHandle("FT_Purge", handle, " " + std::to_string(mask));
}

STAND_IN_API FtStatus STAND_IN_CALL FT_SetTimeouts(FtHandle handle, unsigned int readTimeout,
                                                   unsigned int writeTimeout) {
    const FtStatus status = onHandle("FT_SetTimeouts", handle,
                                     " " + std::to_string(readTimeout) + " " + std::to_string(writeTimeout));
    std::lock_guard lock(mutex);
    if (const int position = positionOf(handle); position >= 0 && status == kOk) {
        writeTimeouts[position] = writeTimeout;
    }
    return status;
}

STAND_IN_API FtStatus STAND_IN_CALL FT_SetBreakOn(FtHandle handle) {
    return onHandle("FT_SetBreakOn", handle);
}

#if defined(LUMORA_STAND_IN_UNRESOLVED)
// Defined in no library: this one loads only where symbols are left unbound until their first use.
extern "C" FtStatus lumora_stand_in_defined_nowhere(FtHandle handle);

STAND_IN_API FtStatus STAND_IN_CALL FT_SetBreakOff(FtHandle handle) {
    return lumora_stand_in_defined_nowhere(handle);
}
#elif !defined(LUMORA_STAND_IN_WITHOUT_SET_BREAK_OFF)
STAND_IN_API FtStatus STAND_IN_CALL FT_SetBreakOff(FtHandle handle) {
    return onHandle("FT_SetBreakOff", handle);
}
#endif

STAND_IN_API FtStatus STAND_IN_CALL FT_Write(FtHandle handle, void* buffer, unsigned int size,
                                             unsigned int* written) {
    *written = 0;
    if (const unsigned int stall = stallOf(handle); stall > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(stall));
        std::lock_guard lock(mutex);
        log("gave up FT_Write after " + std::to_string(stall) + " ms");
        return kIoError;
    }
    std::string bytes = " " + std::to_string(size) + " ";
    const auto* data = static_cast<const unsigned char*>(buffer);
    for (unsigned int i = 0; i < size; ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", data[i]);
        bytes += hex;
    }
    const FtStatus status = onHandle("FT_Write", handle, bytes);
    *written = status == kOk ? size : 0;
    return status;
}

STAND_IN_API FtStatus STAND_IN_CALL FT_Close(FtHandle handle) {
    const FtStatus status = onHandle("FT_Close", handle);
    std::lock_guard lock(mutex);
    if (const int position = positionOf(handle); position >= 0) {
        opened[position] = false;
    }
    return status;
}

// For the tests: the record so far, one call a line; clearing it with every adapter closed and no
// failures; making a function answer with a status from now on.

STAND_IN_API const char* lumora_stand_in_record() {
    std::lock_guard lock(mutex);
    snapshot = record;
    return snapshot.c_str();
}

STAND_IN_API void lumora_stand_in_reset() {
    std::lock_guard lock(mutex);
    record.clear();
    failures.clear();
    for (bool& open : opened) {
        open = false;
    }
}

STAND_IN_API void lumora_stand_in_fail(const char* function, FtStatus status) {
    std::lock_guard lock(mutex);
    failures[function] = status;
}

} // extern "C"
