#pragma once
// Texts a device hands out stay its own only until its next call of the
// same operation: callers copy them at once with these.
#include <QString>
#include <QStringList>

inline QString copiedDeviceText(const char* text)
{
    return QString::fromLocal8Bit(text ? text : "");
}

inline QStringList copiedDeviceTexts(char** texts, int count)
{
    QStringList copied;
    for (int i = 0; texts && i < count; ++i)
        copied << copiedDeviceText(texts[i]);
    return copied;
}
