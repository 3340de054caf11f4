#include "simulated/DriverCall.h"

namespace lumora::hw {

std::string_view operationName(Operation operation) {
    switch (operation) {
    case Operation::CreateDeviceList:
        return "CreateDeviceList";
    case Operation::GetDeviceList:
        return "GetDeviceList";
    case Operation::Open:
        return "Open";
    case Operation::ResetDevice:
        return "ResetDevice";
    case Operation::SetDivisor:
        return "SetDivisor";
    case Operation::SetDataCharacteristics:
        return "SetDataCharacteristics";
    case Operation::SetFlowControl:
        return "SetFlowControl";
    case Operation::ClearRts:
        return "ClearRts";
    case Operation::Purge:
        return "Purge";
    case Operation::SetTimeouts:
        return "SetTimeouts";
    case Operation::SetBreakOn:
        return "SetBreakOn";
    case Operation::SetBreakOff:
        return "SetBreakOff";
    case Operation::Write:
        return "Write";
    case Operation::Close:
        return "Close";
    }
    return "?";
}

} // namespace lumora::hw
