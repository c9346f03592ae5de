#pragma once
// Allocation failure on demand, for the test program that links
// FailingAllocation.cpp: while a ScopedAllocationFailure lives, every
// allocation of at least its threshold throws std::bad_alloc.

#include <cstddef>

namespace boundary_tests {

class ScopedAllocationFailure {
public:
    explicit ScopedAllocationFailure(size_t thresholdBytes);
    ~ScopedAllocationFailure();
    ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
    ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;
};

}  // namespace boundary_tests
