#include "CommandLine.h"

#include <QDir>

QStringList absoluteFileArguments(const QStringList& arguments, const QString& startFolder)
{
    const QDir folder(startFolder);
    QStringList paths;
    for (const QString& argument : arguments)
        if (!argument.isEmpty())
            paths << QDir::cleanPath(folder.absoluteFilePath(argument));
    return paths;
}
