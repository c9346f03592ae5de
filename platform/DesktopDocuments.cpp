#include "DesktopDocuments.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<DocumentOpener> installedOpener{nullptr};

}  // namespace

DesktopOpen openWithDesktop(const std::string& path)
{
    const DocumentOpener opener = installedOpener.load();
    return opener ? opener(path) : DesktopOpen::NoDesktop;
}

DocumentOpener setDocumentOpener(DocumentOpener opener)
{
    return installedOpener.exchange(opener);
}

}  // namespace platform
