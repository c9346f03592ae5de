#pragma once
// Waits on the window thread for the IDE tests, and the sample project
// copied where a test may write and change it.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QThread>
#include <functional>

#include "TestFolders.h"

// Lets queued events (device messages, the worker's results) reach their windows.
inline void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Handles events until the condition holds or the time is up.
inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < milliseconds) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    return condition();
}

// Copies samples/blink into the folder "blink" of the test's folders; gives its
// project file. Files already there are kept, so a test may change the copy
// before it opens the project.
inline QString copySampleProject(const ScopedTestFolders& folders, const char* sourceDir)
{
    const QDir from(QString::fromLocal8Bit(sourceDir) + QStringLiteral("/samples/blink"));
    QDir(folders.file("blink")).mkpath(QStringLiteral("."));
    for (const QString& name : from.entryList(QDir::Files))
        QFile::copy(from.filePath(name), folders.file("blink") + QLatin1Char('/') + name);
    return folders.file("blink/blink.prj");
}

// Adds lines to the project file's [WINDOWS] section, as a project saved with
// those windows open; false when the file has no such section or cannot be written.
inline bool addWindowLines(const QString& project, const QStringList& lines)
{
    QFile file(project);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray text = file.readAll();
    file.close();
    const QByteArray section("[WINDOWS]\r\n");
    if (!text.contains(section))
        return false;
    text.replace(section, section + lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}
