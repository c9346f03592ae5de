#include "QtDesktopDocuments.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace platform {

DesktopOpen openWithQtDesktop(const std::string& path)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return DesktopOpen::NoDesktop;
    const QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
    return QDesktopServices::openUrl(url) ? DesktopOpen::Opened : DesktopOpen::NoHandler;
}

}  // namespace platform
