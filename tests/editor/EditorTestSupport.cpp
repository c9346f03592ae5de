#include "EditorTestSupport.h"

#include <QFile>
#include <QMdiSubWindow>
#include <QTest>
#include <algorithm>
#include <cstdlib>

void FakeHost::RemoveBreakpointAt(const QString& path, int line)
{
    const auto entry = std::find(breakpoints.begin(), breakpoints.end(), std::make_pair(path, line));
    if (entry != breakpoints.end())
        breakpoints.erase(entry);
}

void FakeHost::MoveBreakpointLines(const QString& path, const std::function<int(int)>& lineAfter)
{
    std::vector<std::pair<QString, int>> moved;
    for (const auto& [file, line] : breakpoints) {
        const std::pair<QString, int> entry{file, file == path ? lineAfter(line) : line};
        if (entry.second > 0 && std::find(moved.begin(), moved.end(), entry) == moved.end())
            moved.push_back(entry);
    }
    breakpoints = std::move(moved);
}

void FakeHost::MoveBreakpointsToFile(const QString& from, const QString& to)
{
    std::erase_if(breakpoints, [&to](const auto& entry) { return entry.first == to; });
    for (auto& entry : breakpoints)
        if (!from.isEmpty() && entry.first == from)
            entry.first = to;
}

void FakeHost::SyncEditorBreakpoints(TFormEditor& editor)
{
    for (const auto& [path, line] : breakpoints)
        if (path == editor.FilePath())
            editor.ToggleBreakpoint(line, false);
}

std::vector<int> FakeHost::BreakpointLines(const QString& path) const
{
    std::vector<int> lines;
    for (const auto& [file, line] : breakpoints)
        if (file == path)
            lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string NumberedLines(int count, const std::string& prefix)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += prefix + std::to_string(i) + "\r\n";
    return text;
}

void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

EditorTest::EditorTest()
{
    const std::string config = folder_.filePath(QStringLiteral("config")).toStdString();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    host_.printService = std::make_unique<PdfPrintService>(PathOf(QStringLiteral("out.pdf")));
    SetBeepHandler([this] { ++beeps_; });
    area_.resize(800, 600);
    area_.show();
}

EditorTest::~EditorTest()
{
    SetBeepHandler({});
    // Close without questions: the windows belong to this test only.
    for (QMdiSubWindow* window : area_.subWindowList())
        delete window;
}

QString EditorTest::WriteFile(const QString& name, const std::string& bytes) const
{
    const QString path = PathOf(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

std::string EditorTest::ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll().toStdString();
}

std::vector<std::string> EditorTest::BoxTexts() const
{
    std::vector<std::string> texts;
    for (const auto& box : boxes_.boxes)
        texts.push_back(box.text);
    return texts;
}
