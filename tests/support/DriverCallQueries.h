#pragma once

#include "simulated/DriverCall.h"

#include <algorithm>
#include <vector>

namespace lumora::test {

// The operations of a call record, in order, for comparing sequences.
inline std::vector<hw::Operation> operationsOf(const std::vector<hw::DriverCall>& calls) {
    std::vector<hw::Operation> operations;
    for (const hw::DriverCall& call : calls) {
        operations.push_back(call.operation);
    }
    return operations;
}

inline std::vector<hw::DriverCall> callsOf(const std::vector<hw::DriverCall>& calls,
                                           hw::Operation operation) {
    std::vector<hw::DriverCall> matching;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(matching),
                 [operation](const hw::DriverCall& call) { return call.operation == operation; });
    return matching;
}

} // namespace lumora::test
