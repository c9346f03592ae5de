#pragma once
// Failures of reading and writing an editor's file. The message of a missing
// file is the fixed text callers recognise; the others carry the system's reason.

#include <stdexcept>
#include <string>

class EditorFileError : public std::runtime_error {
public:
    enum class Kind { NotFound, Unreadable, Unwritable };
    EditorFileError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};
