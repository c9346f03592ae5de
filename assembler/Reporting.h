#pragma once
// Error and warning reporters that every stage of the assembler calls.
#include <cstdint>
#include <string>

namespace zernasm {

struct Assembly;

// Thrown to end the run early (the fourth error, a fatal condition of the
// input); the driver prints `message` when there is one, finishes the outputs
// and exits with `exitCode`.
struct RunAborted {
    int32_t exitCode;
    const char* message = nullptr;
};

void ReportError(Assembly& a, const std::string& message);
void ReportWarning(Assembly& a, const std::string& message);

// printf-style formatting into a std::string for messages that carry numbers.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Applies the register-index rule to an operand index of the current statement.
void ApplyIndexRule(Assembly& a, bool isSource, int32_t index);

}  // namespace zernasm
