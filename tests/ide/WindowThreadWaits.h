#pragma once
// Waits on the window thread for the IDE tests, and the sample project
// copied where a test may write.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

// Copies samples/blink into the folder "blink" of the test's folders; gives its project file.
inline QString copySampleProject(const ScopedTestFolders& folders, const char* sourceDir)
{
    const QDir from(QString::fromLocal8Bit(sourceDir) + QStringLiteral("/samples/blink"));
    QDir(folders.file("blink")).mkpath(QStringLiteral("."));
    for (const QString& name : from.entryList(QDir::Files))
        QFile::copy(from.filePath(name), folders.file("blink") + QLatin1Char('/') + name);
    return folders.file("blink/blink.prj");
}
