#pragma once
// No C++ exception may cross the plug-in boundary: a host built apart from
// the plug-in cannot catch it. Every operation that can allocate or parse
// runs through guarded(), which turns a throw into the failure value; the
// reporting forms also say what went wrong, as one line.

#include <exception>
#include <new>
#include <string>
#include <utility>

namespace tolvane {

// Called inside a catch handler: tells `report` (taking a const char*) why
// the operation ended. A report that throws in turn is dropped.
template <typename Report>
void reportBoundaryFailure(const Report& report) noexcept
{
    try {
        try {
            throw;
        } catch (const std::bad_alloc&) {
            report("Not enough memory to complete the operation.");
        } catch (const std::exception& error) {
            report((std::string("Unable to complete the operation (") + error.what() + ").").c_str());
        } catch (...) {
            report("Unable to complete the operation.");
        }
    } catch (...) {
    }
}

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

template <typename Result, typename Report, typename Operation>
Result guardedReporting(Result failure, const Report& report, Operation&& operation) noexcept
{
    try {
        return std::forward<Operation>(operation)();
    } catch (...) {
        reportBoundaryFailure(report);
        return failure;
    }
}

template <typename Report, typename Operation>
void guardedReporting(const Report& report, Operation&& operation) noexcept
{
    try {
        std::forward<Operation>(operation)();
    } catch (...) {
        reportBoundaryFailure(report);
    }
}

}  // namespace tolvane
