#include "platform/SharedLibrary.h"

#include <windows.h>

namespace lumora {

SharedLibrary::SharedLibrary(const std::string& name) {
    // A bare name is looked for beside the program and in the system folder only, never in the
    // current folder or along PATH, where anyone may have left a DLL of that name.
    handle_ = reinterpret_cast<void*>(LoadLibraryExA(
        name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
}

void* SharedLibrary::address(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void SharedLibrary::release() {
    if (handle_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        handle_ = nullptr;
    }
}

} // namespace lumora
