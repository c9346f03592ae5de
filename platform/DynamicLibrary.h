#pragma once
// A shared library loaded by path (dlopen with RTLD_NOW | RTLD_LOCAL), so that
// two plug-ins never bind to each other's symbols.

#include <string>

namespace platform {

class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;
    DynamicLibrary(DynamicLibrary&& other) noexcept;
    DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;

    bool open(const std::string& path);
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    // Null when the library does not export the name.
    void* symbol(const char* name) const;
    template <typename Function>
    Function function(const char* name) const
    {
        return reinterpret_cast<Function>(symbol(name));
    }
    const std::string& lastError() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace platform
