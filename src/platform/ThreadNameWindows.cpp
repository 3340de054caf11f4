#include "platform/ThreadName.h"

#include "platform/SharedLibrary.h"

#include <array>
#include <cstddef>
#include <windows.h>

namespace lumora {

void nameCurrentThread(const char* name) noexcept {
    // SetThreadDescription came with Windows 10 version 1607; it is looked up so that the console
    // still starts, unnamed, on older systems.
    using SetDescription = HRESULT(WINAPI*)(HANDLE thread, PCWSTR description);
    const SharedLibrary kernel("kernel32.dll");
    const auto setDescription = kernel.function<SetDescription>("SetThreadDescription");
    if (setDescription == nullptr) {
        return;
    }
    // Thread names are short and plain ASCII here, so widening each character is the conversion; a
    // fixed buffer keeps this free of allocation.
    std::array<wchar_t, 64> wide{};
    for (std::size_t i = 0; i + 1 < wide.size() && name[i] != '\0'; ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(name[i]));
    }
    static_cast<void>(setDescription(GetCurrentThread(), wide.data()));
}

} // namespace lumora
