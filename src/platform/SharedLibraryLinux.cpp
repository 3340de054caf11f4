#include "platform/SharedLibrary.h"

#include <dlfcn.h>
#include <utility>

namespace lumora {

SharedLibrary::SharedLibrary(const std::string& name) {
    // Binding every symbol now makes a library with unresolvable dependencies fail here, where it is
    // harmless, rather than at its first call.
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
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
    return handle_ == nullptr ? nullptr : dlsym(handle_, name);
}

void SharedLibrary::release() {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

} // namespace lumora
