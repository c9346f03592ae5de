#include "HelpDocuments.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "DesktopDocuments.h"

namespace zern {
namespace {

constexpr char kNotFound[] = "Unable to find help file.";
constexpr char kNoAccess[] = "Unable to access help file.";
constexpr char kNoAssociation[] = "No file association for file.";
constexpr char kCannotOpen[] = "Unable to open help file.";

struct Document {
    std::string title;
    // Relative to the documents folder.
    std::string file;
};

std::array<Document, 6> documentTable(int32_t deviceId)
{
    const std::string chip = "ZERN" + chipIdText(deviceId);
    return {{
        {"Getting Started with Tolvane", "GettingStartedWithTolvane.pdf"},
        {"ZERN Family User's Guide", "zernug.pdf"},
        {"ZERN Assembly Guide", "ZernCoreAsm.pdf"},
        {"ZERN Family User's Guide: " + chip + " Supplement", chip + "_UG.pdf"},
        {chip + " Quick Reference", chip + "_QuickRef/home.html"},
        {chip + " EVKit Guide", chip + "-Kit.pdf"},
    }};
}

// The order in which a title is looked up in the table.
constexpr std::array<size_t, 6> kLookupOrder = {0, 2, 1, 3, 4, 5};

// "Docs" beside the plug-in library; none while the library's place is unknown.
std::filesystem::path documentsFolder(const std::string& libraryPath)
{
    if (libraryPath.empty())
        return {};
    return std::filesystem::path(libraryPath).parent_path() / "Docs";
}

// Why the file cannot be handed to the desktop, or null when it can.
const char* unreadableReason(const std::filesystem::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return kNotFound;
        return errno == EACCES ? kNoAccess : kCannotOpen;
    }
    if (!S_ISREG(info.st_mode))
        return kCannotOpen;
    if (::access(file.c_str(), R_OK) != 0)
        return errno == EACCES || errno == EPERM ? kNoAccess : kCannotOpen;
    return nullptr;
}

}  // namespace

std::string chipIdText(int32_t deviceId)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04X", static_cast<uint32_t>(deviceId));
    return digits;
}

TextArray& HelpDocuments::titles(const std::string& libraryPath, int32_t deviceId)
{
    if (built_)
        return titles_;
    std::vector<std::string> present;
    const std::filesystem::path folder = documentsFolder(libraryPath);
    if (!folder.empty()) {
        for (const Document& document : documentTable(deviceId)) {
            std::error_code error;
            if (std::filesystem::is_regular_file(folder / document.file, error))
                present.push_back(document.title);
        }
    }
    titles_.assign(std::move(present));
    built_ = true;
    return titles_;
}

void HelpDocuments::open(const std::string& title, const std::string& libraryPath, int32_t deviceId,
                         const std::function<void(const std::string&)>& report) const
{
    const auto table = documentTable(deviceId);
    for (const size_t index : kLookupOrder) {
        if (table[index].title != title)
            continue;
        const std::filesystem::path folder = documentsFolder(libraryPath);
        const char* failure = folder.empty() ? kNotFound : unreadableReason(folder / table[index].file);
        if (!failure) {
            switch (platform::openWithDesktop(folder / table[index].file)) {
            case platform::DesktopOpen::Opened:
                return;
            case platform::DesktopOpen::NoHandler:
                failure = kNoAssociation;
                break;
            case platform::DesktopOpen::NoDesktop:
                failure = kCannotOpen;
                break;
            }
        }
        report(failure);
        return;
    }
}

}  // namespace zern
