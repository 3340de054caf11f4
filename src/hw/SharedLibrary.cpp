#include "hw/SharedLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <utility>

namespace lumora::hw {

SharedLibrary::SharedLibrary(const std::string& name) {
#if defined(_WIN32)
    // A bare name is looked for beside the program and in the system folder only, never in the
    // current folder or along PATH, where anyone may have left a DLL of that name.
    handle_ = reinterpret_cast<void*>(LoadLibraryExA(
        name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
#else
    // Binding every symbol now makes a library with unresolvable dependencies fail here, where it is
    // harmless, rather than at its first call.
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

SharedLibrary::~SharedLibrary() {
    release();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        release();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

void* SharedLibrary::address(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

void SharedLibrary::release() {
    if (handle_ == nullptr) {
        return;
    }
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
}

} // namespace lumora::hw
