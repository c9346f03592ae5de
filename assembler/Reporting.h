#pragma once
// Error and warning reporters that every stage of the assembler calls.
#include <cstdint>
#include <string>

namespace zernasm {

// Thrown to end the run early (the fourth error, a fatal scanner condition);
// the driver finishes the outputs and exits with `exitCode`.
struct RunAborted {
    int32_t exitCode;
};

void ReportError(const std::string& message);
void ReportWarning(const std::string& message);

// printf-style formatting into a std::string for messages that carry numbers.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Applies the register-index rule to an operand index of the current statement.
void ApplyIndexRule(bool isSource, int32_t index);

}  // namespace zernasm
