#pragma once

#include <string_view>

namespace lumora {

// Where port discovery puts what it finds: the port selector's entries and the operator's messages.
class DiscoverySink {
public:
    virtual ~DiscoverySink() = default;

    // Appends one entry after those already listed.
    virtual void appendEntry(std::string_view label) = 0;
    // Tells the operator, in a box with an OK button, that no port can be used.
    virtual void showWarning(std::string_view text) = 0;
};

} // namespace lumora
