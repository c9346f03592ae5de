#pragma once
// The folder walk of a directory search: the files of a folder that fit the
// mask, then (when asked) each subfolder the same way, depth first. Names
// are taken in byte order so that results come out the same every time;
// links to folders are not followed, so a link back up cannot loop.

#include <functional>
#include <string>
#include <string_view>

namespace findinfiles {

// The search field split into the folder to start in and the file mask.
struct WalkStart {
    std::string folder;
    std::string mask;
};

// A field with neither '*' nor '?' that names no existing file is a folder:
// every file in it is searched. Anything else is a folder part and a mask
// (or one file's name). A relative field is taken from currentFolder.
WalkStart walkStartFrom(std::string_view field, std::string_view currentFolder);

// '*' any run of characters, '?' any one; letters compare without regard to
// case, as extensions do. "*.*" is every file, with or without a dot.
bool maskMatches(std::string_view mask, std::string_view name);

// The path with "." and ".." parts and doubled separators removed, made
// absolute against currentFolder.
std::string cleanAbsolutePath(std::string_view path, std::string_view currentFolder);
// The canonical path of an existing file; the clean absolute path otherwise.
std::string canonicalPath(std::string_view path, std::string_view currentFolder);

class FileWalkVisitor {
public:
    virtual ~FileWalkVisitor() = default;
    // A file to search: its path under the start folder as given, and its
    // canonical path (to compare with the files open in editors).
    virtual void file(const std::string& path, const std::string& canonical) = 0;
    // A folder that could not be listed; reason as the system gives it.
    virtual void unreadableFolder(const std::string& path, const std::string& reason) = 0;
    // Asked before each file and folder: true ends the walk.
    virtual bool stopped() const = 0;
};

void walkFiles(const WalkStart& start, bool subfolders, FileWalkVisitor& visitor);

}  // namespace findinfiles
