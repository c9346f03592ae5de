#pragma once
// The project file (".prj"): plain 8-bit text, CR LF line ends (LF and CR
// alone are read too), a header line per section. The writer produces the sections in their fixed order; the
// reader hands back the entries in file order so that the caller applies
// them one by one, and stops at the first entry whose numbers are not
// integers (what came before stays applied).

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <variant>

namespace project {

inline constexpr char kProjectExtension[] = "prj";

// A project names a few files and windows: larger files, and lines longer
// than any path, are no project's.
inline constexpr std::uint64_t kMaxProjectFileBytes = 16 * 1024 * 1024;
inline constexpr qsizetype kMaxProjectLineLength = 4096;

// [OPENED] state of an editor window.
inline constexpr int kEditorNormal = 12;
inline constexpr int kEditorZoomed = 13;
inline constexpr int kEditorMinimised = 14;

struct FileEntry {
    QString path;
};
struct DeviceEntry {
    QString name;
};
struct StimulusEntry {
    QString path;
};
struct DataFileEntry {
    QString path;
};
struct OpenedEditor {
    QString path;
    int left = 0, top = 0, width = 0, height = 0;
    int state = kEditorNormal;
};
struct CompilerEntry {
    QString name;
};
struct DeviceInformationEntry {
    QString line;
};
struct ToolWindowLine {
    int id = 0;
    int left = 0, top = 0, width = 0, height = 0;
    int placement = 0;
};
struct BreakpointLine {
    QString path;
    int line = 0;
};

using ProjectEntry = std::variant<FileEntry, DeviceEntry, StimulusEntry, DataFileEntry, OpenedEditor, CompilerEntry,
                                  DeviceInformationEntry, ToolWindowLine, BreakpointLine>;

// Everything a saved project holds. Paths are absolute.
struct ProjectContents {
    QStringList files;
    QString device;
    QString stimulusFile;             // empty: no stimulus file
    QString dataFile;                 // empty: no data file
    QList<OpenedEditor> opened;       // front window first
    std::optional<QString> compiler;  // only with a device
    QStringList deviceInformation;
    QList<ToolWindowLine> windows;  // in the written order of ids
    QList<BreakpointLine> breakpoints;
};

struct ProjectReadResult {
    QList<ProjectEntry> entries;
    QString error;  // empty when every line was read
    // Text without a single section header: no project file at all.
    bool noSection = false;
};

// The file's text, paths relative to the project's folder.
QByteArray writeProjectText(const ProjectContents& contents, const QString& projectFolder);
ProjectReadResult readProjectText(const QByteArray& text, const QString& projectFolder);

// A path as the project file stores it: relative to the folder, with "./" in
// front when it would otherwise read back as a comment or lose a blank.
QString storedPath(const QString& absolutePath, const QString& projectFolder);
QString resolvedPath(const QString& storedPath, const QString& projectFolder);

// The order in which the tool-window lines are written.
inline constexpr int kWindowWriteOrder[] = {21, 22, 23, 24, 25, 26, 27, 31, 29, 28, 30};

}  // namespace project
