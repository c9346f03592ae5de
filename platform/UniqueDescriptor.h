#pragma once
// A file descriptor that is closed when it goes out of scope.

#include <unistd.h>

namespace platform {

struct UniqueDescriptor {
    explicit UniqueDescriptor(int descriptor) : fd(descriptor) {}
    ~UniqueDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    UniqueDescriptor(const UniqueDescriptor&) = delete;
    UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;
    const int fd;
};

}  // namespace platform
