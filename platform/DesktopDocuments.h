#pragma once
// Opening a file with the program the desktop associates with its type. The
// GUI layer installs the desktop's opener; a process without one (a console
// host, a test) has no desktop to ask, and a test installs a recording one.

#include <string>

namespace platform {

enum class DesktopOpen {
    Opened,
    // The desktop found no program that takes the file.
    NoHandler,
    // No desktop session in this process.
    NoDesktop,
};

using DocumentOpener = DesktopOpen (*)(const std::string& path);

// Hands the file to the installed opener.
DesktopOpen openWithDesktop(const std::string& path);
// Installs the opener for this process (null: none); returns the previous one.
DocumentOpener setDocumentOpener(DocumentOpener opener);

}  // namespace platform
