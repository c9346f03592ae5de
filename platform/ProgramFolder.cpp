#include "ProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platform {

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string programFolder()
{
    if (const char* overridden = std::getenv("TOLVANE_PROGRAM_DIR"); overridden && *overridden) {
        std::string folder = overridden;
        if (folder.back() != '/')
            folder += '/';
        return folder;
    }
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("./") : folderOf(exe.string());
}

}  // namespace platform
