#pragma once
#include <string>

namespace platform {

// The folder of the running program, with a trailing '/'. Taken from
// /proc/self/exe; the environment variable TOLVANE_PROGRAM_DIR overrides it so
// that tests can run plug-ins as if they were beside an installed IDE.
std::string programFolder();

// The folder of the file, with a trailing '/'; "./" for a bare name.
std::string folderOf(const std::string& path);

}  // namespace platform
