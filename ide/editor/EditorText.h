#pragma once
// The editor holds its text as UTF-8: what goes into it or is searched in it
// is encoded so, and what comes out of it is decoded so.

#include <QString>
#include <string>
#include <string_view>

inline std::string EditorBytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

inline QString EditorString(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
