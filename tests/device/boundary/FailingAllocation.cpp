#include "FailingAllocation.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

std::atomic<size_t> failingFrom{std::numeric_limits<size_t>::max()};

}  // namespace

namespace boundary_tests {

ScopedAllocationFailure::ScopedAllocationFailure(size_t thresholdBytes)
{
    failingFrom = thresholdBytes;
}

ScopedAllocationFailure::~ScopedAllocationFailure()
{
    failingFrom = std::numeric_limits<size_t>::max();
}

}  // namespace boundary_tests

// The program's allocation functions: malloc and free underneath, so that
// a sanitizer sees matching pairs.
void* operator new(size_t size)
{
    if (size >= failingFrom.load(std::memory_order_relaxed))
        throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void* operator new[](size_t size)
{
    return ::operator new(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    std::free(block);
}
