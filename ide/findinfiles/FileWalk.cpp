#include "FileWalk.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace findinfiles {
namespace {

char foldLetter(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool exists(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

bool isRegularFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string joined(const std::string& folder, const std::string& name)
{
    return folder.size() > 0 && folder.back() == '/' ? folder + name : folder + '/' + name;
}

struct FolderListing {
    std::vector<std::string> files;
    std::vector<std::string> folders;
    // Links among the files: their canonical path is their target's.
    std::vector<bool> linked;
};

enum class EntryKind { File, LinkedFile, Folder, Other };

EntryKind kindOf(const std::string& folder, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
        break;
    case DT_UNKNOWN: {
        struct stat status {};
        if (::lstat(joined(folder, entry.d_name).c_str(), &status) != 0)
            return EntryKind::Other;
        if (S_ISDIR(status.st_mode))
            return EntryKind::Folder;
        if (S_ISREG(status.st_mode))
            return EntryKind::File;
        if (!S_ISLNK(status.st_mode))
            return EntryKind::Other;
        break;
    }
    default:
        return EntryKind::Other;
    }
    // A link is searched when it leads to a file; a link to a folder is not walked.
    return isRegularFile(joined(folder, entry.d_name)) ? EntryKind::LinkedFile : EntryKind::Other;
}

// False with errno set when the folder cannot be listed.
bool listFolder(const std::string& folder, const std::string& mask, FolderListing& listing)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), ::closedir);
    if (!directory)
        return false;
    std::vector<std::pair<std::string, bool>> files;
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        // Only a link that fits the mask is worth looking through.
        if (entry->d_type == DT_LNK && !maskMatches(mask, name))
            continue;
        const EntryKind kind = kindOf(folder, *entry);
        switch (kind) {
        case EntryKind::File:
        case EntryKind::LinkedFile:
            if (maskMatches(mask, name))
                files.emplace_back(std::string(name), kind == EntryKind::LinkedFile);
            break;
        case EntryKind::Folder:
            listing.folders.emplace_back(name);
            break;
        case EntryKind::Other:
            break;
        }
    }
    std::sort(files.begin(), files.end());
    std::sort(listing.folders.begin(), listing.folders.end());
    for (auto& [name, linked] : files) {
        listing.files.push_back(std::move(name));
        listing.linked.push_back(linked);
    }
    return true;
}

class Walk {
public:
    Walk(const std::string& mask, bool subfolders, FileWalkVisitor& visitor)
        : mask_(mask), subfolders_(subfolders), visitor_(visitor)
    {}

    void folder(const std::string& shown, const std::string& canonical)
    {
        FolderListing listing;
        if (!listFolder(shown, mask_, listing)) {
            visitor_.unreadableFolder(shown, std::strerror(errno));
            return;
        }
        for (std::size_t i = 0; i < listing.files.size() && !visitor_.stopped(); ++i) {
            const std::string path = joined(shown, listing.files[i]);
            visitor_.file(path, listing.linked[i] ? canonicalPath(path, {}) : joined(canonical, listing.files[i]));
        }
        if (!subfolders_)
            return;
        for (const std::string& name : listing.folders) {
            if (visitor_.stopped())
                return;
            folder(joined(shown, name), joined(canonical, name));
        }
    }

private:
    const std::string& mask_;
    bool subfolders_;
    FileWalkVisitor& visitor_;
};

}  // namespace

std::string cleanAbsolutePath(std::string_view path, std::string_view currentFolder)
{
    std::string whole =
        path.starts_with('/') ? std::string(path) : std::string(currentFolder) + '/' + std::string(path);
    std::vector<std::string_view> parts;
    const std::string_view view = whole;
    for (std::size_t at = 0; at < view.size();) {
        const std::size_t end = std::min(view.find('/', at), view.size());
        const std::string_view part = view.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string clean;
    for (const std::string_view part : parts) {
        clean += '/';
        clean += part;
    }
    return clean.empty() ? "/" : clean;
}

std::string canonicalPath(std::string_view path, std::string_view currentFolder)
{
    const std::string absolute = cleanAbsolutePath(path, currentFolder);
    const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(absolute.c_str(), nullptr), std::free);
    return resolved ? std::string(resolved.get()) : absolute;
}

WalkStart walkStartFrom(std::string_view field, std::string_view currentFolder)
{
    const bool wild = field.find_first_of("*?") != std::string_view::npos;
    const std::string absolute = cleanAbsolutePath(field, currentFolder);
    if (!wild && !isRegularFile(absolute))
        return {absolute, "*.*"};
    // The mask is the last part as typed: cleaning would not change it.
    const std::size_t slash = field.rfind('/');
    const std::string mask(slash == std::string_view::npos ? field : field.substr(slash + 1));
    if (mask.empty())
        return {absolute, "*.*"};
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : field.substr(0, slash + 1);
    return {cleanAbsolutePath(folder, currentFolder), mask};
}

bool maskMatches(std::string_view mask, std::string_view name)
{
    if (mask == "*.*" || mask == "*")
        return true;
    // Backtracking to the last '*' is enough for a mask of '*' and '?'.
    std::size_t m = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || foldLetter(mask[m]) == foldLetter(name[n]))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            star = m++;
            resume = n;
        } else if (star != std::string_view::npos) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

void walkFiles(const WalkStart& start, bool subfolders, FileWalkVisitor& visitor)
{
    Walk walk(start.mask, subfolders, visitor);
    walk.folder(start.folder, exists(start.folder) ? canonicalPath(start.folder, {}) : start.folder);
}

}  // namespace findinfiles
