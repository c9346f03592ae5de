#pragma once
// Where the build's tools live and how they are named and checked.

#include <string>
#include <vector>

namespace asmplugin {

inline constexpr const char kAssemblerProgram[] = "ZernAsm";
inline constexpr const char kPreprocessorProgram[] = "macro";
inline constexpr const char kAssemblerVersionFile[] = "zernasmversion.bin";
inline constexpr const char kPreprocessorVersionFile[] = "macroversion.bin";
inline constexpr int kAssemblerVersion = 2;
inline constexpr int kPreprocessorVersion = 1;

// "Compilers/QuorinAssembler/" below the IDE's program folder, absolute, with
// a trailing '/': the device plug-in changes the current folder, so tools are
// never started by a relative path.
std::string toolFolder();

// The first two bytes of the version file, most significant first, must give
// the expected number; a missing or shorter file is a mismatch.
bool toolVersionMatches(const std::string& versionFile, int expected);

// Splits a command text into program and arguments: blanks separate,
// double quotes group (and are removed).
std::vector<std::string> splitCommandLine(const std::string& text);

}  // namespace asmplugin
