#pragma once
// The desktop's file associations through Qt: a file opens in the program the
// desktop chooses for its type while a QApplication runs.

#include "DesktopDocuments.h"

namespace platform {

DesktopOpen openWithQtDesktop(const std::string& path);

// Makes the desktop's associations this process's opener for as long as the guard lives.
class DefaultQtDesktopDocuments {
public:
    DefaultQtDesktopDocuments() : previous_(setDocumentOpener(&openWithQtDesktop)) {}
    ~DefaultQtDesktopDocuments() { setDocumentOpener(previous_); }
    DefaultQtDesktopDocuments(const DefaultQtDesktopDocuments&) = delete;
    DefaultQtDesktopDocuments& operator=(const DefaultQtDesktopDocuments&) = delete;

private:
    DocumentOpener previous_;
};

}  // namespace platform
