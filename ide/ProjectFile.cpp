#include "ProjectFile.h"

#include <QDir>
#include <QFile>

#include "TextLines.h"

namespace project {
namespace {

enum class Section {
    None,
    Files,
    Device,
    Stimulus,
    DataFile,
    Opened,
    Compiler,
    DeviceInformation,
    Windows,
    Breakpoints
};

struct Header {
    const char* text;
    Section section;
};
constexpr Header kHeaders[] = {
    {"[FILES]", Section::Files},
    {"[DEVICE]", Section::Device},
    {"[STIMULUS]", Section::Stimulus},
    {"[DATA_FILE]", Section::DataFile},
    {"[OPENED]", Section::Opened},
    {"[COMPILER]", Section::Compiler},
    {"[DEVICE INFORMATION]", Section::DeviceInformation},
    {"[WINDOWS]", Section::Windows},
    {"[BREAKPOINTS]", Section::Breakpoints},
};

const char* headerOf(Section section)
{
    for (const Header& header : kHeaders)
        if (header.section == section)
            return header.text;
    return "";
}

class Writer {
public:
    void header(Section section) { line(QByteArray(headerOf(section))); }
    void line(const QString& text) { line(text.toLocal8Bit()); }
    void line(const QByteArray& text) { out_ += text + "\r\n"; }
    QByteArray take() { return std::move(out_); }

private:
    QByteArray out_;
};

QString joinNumbers(std::initializer_list<int> numbers)
{
    QStringList parts;
    for (int number : numbers)
        parts << QString::number(number);
    return parts.join(QLatin1Char(';'));
}

class NumberError {
public:
    QString message;
};

int toInteger(const QString& field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok, 10);
    if (!ok)
        throw NumberError{QLatin1Char('\'') + field + QStringLiteral("' is not a valid integer value")};
    return value;
}

// The last `count` fields are numbers; everything before them (";" included)
// is the leading text, so file names holding ";" survive.
QStringList splitFromRight(const QString& line, int count)
{
    QStringList fields;
    int end = line.size();
    for (int i = 0; i < count; ++i) {
        const int separator = line.lastIndexOf(QLatin1Char(';'), end - 1);
        if (separator < 0) {
            fields.prepend(QString());
            continue;
        }
        fields.prepend(line.mid(separator + 1, end - separator - 1));
        end = separator;
    }
    fields.prepend(line.left(end));
    return fields;
}

ProjectEntry entryFor(Section section, const QString& line, const QString& folder)
{
    switch (section) {
    case Section::Files:
        return FileEntry{resolvedPath(line, folder)};
    case Section::Device:
        return DeviceEntry{line};
    case Section::Stimulus:
        return StimulusEntry{resolvedPath(line, folder)};
    case Section::DataFile:
        return DataFileEntry{resolvedPath(line, folder)};
    case Section::Compiler:
        return CompilerEntry{line};
    case Section::DeviceInformation:
        return DeviceInformationEntry{line};
    case Section::Opened: {
        const QStringList f = splitFromRight(line, 5);
        return OpenedEditor{resolvedPath(f[0], folder),
                            toInteger(f[1]),
                            toInteger(f[2]),
                            toInteger(f[3]),
                            toInteger(f[4]),
                            toInteger(f[5])};
    }
    case Section::Windows: {
        const QStringList f = splitFromRight(line, 5);
        return ToolWindowLine{toInteger(f[0]), toInteger(f[1]), toInteger(f[2]),
                              toInteger(f[3]), toInteger(f[4]), toInteger(f[5])};
    }
    case Section::Breakpoints: {
        const QStringList f = splitFromRight(line, 1);
        return BreakpointLine{resolvedPath(f[0], folder), toInteger(f[1])};
    }
    case Section::None:
        break;
    }
    return DeviceInformationEntry{};
}

}  // namespace

QString storedPath(const QString& absolutePath, const QString& projectFolder)
{
    const QString relative = QDir(projectFolder).relativeFilePath(absolutePath);
    if (relative.startsWith(QLatin1Char('#')) || (!relative.isEmpty() && relative.front().isSpace()))
        return QStringLiteral("./") + relative;
    return relative;
}

QString resolvedPath(const QString& storedPath, const QString& projectFolder)
{
    return QDir::cleanPath(QDir(projectFolder).absoluteFilePath(storedPath));
}

QByteArray writeProjectText(const ProjectContents& contents, const QString& projectFolder)
{
    Writer out;
    out.header(Section::Files);
    for (const QString& file : contents.files)
        out.line(storedPath(file, projectFolder));
    out.header(Section::Device);
    out.line(contents.device);
    out.header(Section::Stimulus);
    if (!contents.stimulusFile.isEmpty())
        out.line(storedPath(contents.stimulusFile, projectFolder));
    out.header(Section::DataFile);
    out.line(contents.dataFile.isEmpty() ? QString() : storedPath(contents.dataFile, projectFolder));
    out.header(Section::Opened);
    for (const OpenedEditor& editor : contents.opened)
        out.line(storedPath(editor.path, projectFolder) + QLatin1Char(';')
                 + joinNumbers({editor.left, editor.top, editor.width, editor.height, editor.state}));
    if (contents.compiler) {
        out.header(Section::Compiler);
        out.line(*contents.compiler);
    }
    if (!contents.deviceInformation.isEmpty()) {
        out.header(Section::DeviceInformation);
        for (const QString& line : contents.deviceInformation)
            out.line(line);
    }
    out.header(Section::Windows);
    for (const ToolWindowLine& window : contents.windows)
        out.line(joinNumbers({window.id, window.left, window.top, window.width, window.height, window.placement}));
    out.header(Section::Breakpoints);
    for (const BreakpointLine& breakpoint : contents.breakpoints)
        out.line(storedPath(breakpoint.path, projectFolder) + QLatin1Char(';') + QString::number(breakpoint.line));
    return out.take();
}

ProjectReadResult readProjectText(const QByteArray& text, const QString& projectFolder)
{
    ProjectReadResult result;
    Section section = Section::None;
    bool sawText = false;
    int lineNumber = 0;
    // A file from any system reads the same.
    for (const std::string& raw :
         platform::splitLines(std::string_view(text.constData(), static_cast<size_t>(text.size())))) {
        ++lineNumber;
        if (static_cast<qsizetype>(raw.size()) > kMaxProjectLineLength) {
            result.error = QStringLiteral("Line %1 of the project file is longer than %2 characters.")
                               .arg(lineNumber)
                               .arg(kMaxProjectLineLength);
            break;
        }
        const QString line = QString::fromLocal8Bit(raw.data(), static_cast<qsizetype>(raw.size())).trimmed();
        if (line.isEmpty())
            continue;
        bool isHeader = false;
        for (const Header& header : kHeaders) {
            if (line.compare(QLatin1String(header.text), Qt::CaseInsensitive) == 0) {
                section = header.section;
                isHeader = true;
                break;
            }
        }
        if (isHeader || line.startsWith(QLatin1Char('#')))
            continue;
        sawText = true;
        if (section == Section::None)
            continue;
        try {
            result.entries.append(entryFor(section, line, projectFolder));
        } catch (const NumberError& error) {
            result.error = error.message;
            break;
        }
    }
    result.noSection = section == Section::None && sawText;
    return result;
}

}  // namespace project
