#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace lumora {

SharedLibrary::SharedLibrary(const std::string& name) {
    // Binding every symbol now makes a library with unresolvable dependencies fail here, where it is
    // harmless, rather than at its first call.
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
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
