#pragma once
// The editor font shared by every editor of the program, as the settings
// store it.

#include <string>

class QFont;

struct EditorFont {
    std::string name = "Courier New";
    bool bold = false;
    bool italic = false;
    int size = 10;
    int charset = 1;  // the system's default character set

    QFont ToQFont() const;
    static EditorFont FromQFont(const QFont& font, int charset = 1);
    bool operator==(const EditorFont&) const = default;
};
