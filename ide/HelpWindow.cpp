#include "HelpWindow.h"

#include <QFile>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "UserFile.h"

namespace {
// The manual is a few hundred lines of text; anything far larger is no manual.
constexpr std::uint64_t kMaxPageBytes = 16 * platform::kMegabyte;
}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window), browser_(new QTextBrowser(this))
{
    setWindowTitle(QStringLiteral("Tolvane Help"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    // A page wide, within the screen, over the main window's screen.
    const QRect area = owner->screen()->availableGeometry();
    resize(QSize(800, 640).boundedTo(area.size() * 3 / 4));
    move(area.center() - rect().center());
}

bool HelpWindow::showPage(const QString& path)
{
    if (!platform::checkUserFile(QFile::encodeName(path).toStdString(), kMaxPageBytes).readable())
        return false;
    browser_->setSource(QUrl::fromLocalFile(path));
    if (browser_->document()->isEmpty())
        return false;
    if (!browser_->documentTitle().isEmpty())
        setWindowTitle(browser_->documentTitle());
    show();
    raise();
    activateWindow();
    return true;
}
