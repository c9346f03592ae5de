#include "DynamicLibrary.h"

#include <cstdint>
#include <dlfcn.h>
#include <utility>

#include "UserFile.h"

namespace platform {

DynamicLibrary::~DynamicLibrary()
{
    close();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_))
{}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept
{
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool DynamicLibrary::open(const std::string& path)
{
    close();
    // dlopen would wait on a FIFO for good. A bare name is looked up by the loader.
    if (path.find('/') != std::string::npos && checkUserFile(path, UINT64_MAX).state == UserFileState::NotRegular) {
        error_ = path + ": " + kNotRegularFile;
        return false;
    }
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* message = dlerror();
        error_ = message ? message : "unable to load " + path;
        return false;
    }
    error_.clear();
    return true;
}

void DynamicLibrary::close()
{
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
}

void* DynamicLibrary::symbol(const char* name) const
{
    return handle_ ? dlsym(handle_, name) : nullptr;
}

}  // namespace platform
