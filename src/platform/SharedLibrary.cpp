#include "platform/SharedLibrary.h"

#include <utility>

namespace lumora {

// Loading, resolving and unloading are the system's own (SharedLibraryLinux.cpp,
// SharedLibraryWindows.cpp); owning the handle is the same everywhere.
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

} // namespace lumora
