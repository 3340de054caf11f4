#pragma once

#include <string_view>

namespace lumora {

// Why a run of discovery leaves no port to use.
enum class DiscoveryProblem {
    // No adapter with the wanted description is listed (or the driver's list failed), and none was
    // found earlier.
    NoAdapter,
    // The storage for the driver's device list cannot be had.
    ListUnreadable,
};

// Where port discovery puts what it finds: the port selector's entries and what went wrong.
class DiscoverySink {
public:
    virtual ~DiscoverySink() = default;

    // Appends one entry after those already listed.
    virtual void appendEntry(std::string_view label) = 0;
    // Hears why no port can be used; the console tells the operator in a box with an OK button.
    virtual void reportProblem(DiscoveryProblem problem) = 0;
};

} // namespace lumora
