#pragma once
// No C++ exception may cross the plug-in boundary: each operation that can
// allocate runs through guarded(), which turns a throw into the failure value.

#include <utility>

namespace asmplugin {

template <typename Result, typename Operation>
Result guarded(Result failure, Operation&& operation) noexcept
{
    try {
        return std::forward<Operation>(operation)();
    } catch (...) {
        return failure;
    }
}

template <typename Operation>
void guarded(Operation&& operation) noexcept
{
    try {
        std::forward<Operation>(operation)();
    } catch (...) {
    }
}

}  // namespace asmplugin
