#include "resources/StringTable.h"

#include "resources/ControlIds.h"

namespace lumora::resources {

std::string_view loadString(int id) {
    if (id == kAboutMenuStringId) {
        return "DMX 정보(&A)...";
    }
    return {};
}

} // namespace lumora::resources
