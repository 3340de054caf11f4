#pragma once

#include <string>

namespace lumora {

// A shared library loaded at run time with the system's normal library search, unloaded when the
// object goes. An object that could not load its library is empty and resolves nothing.
class SharedLibrary {
public:
    SharedLibrary() = default;
    // Loads the library by path, or by name: searched as the system's loader searches on Linux, and
    // on Windows only beside the program and in the system folder.
    explicit SharedLibrary(const std::string& name);
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isLoaded() const { return handle_ != nullptr; }

    // The exported function of that name, or null when the library has none.
    template <typename Function> Function function(const char* name) const {
        return reinterpret_cast<Function>(address(name));
    }

private:
    void* address(const char* name) const;
    void release();

    void* handle_ = nullptr;
};

} // namespace lumora
