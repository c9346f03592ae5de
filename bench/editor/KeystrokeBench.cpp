// Typing in the IDE's editor window: Enter and its undo at the top of a
// 100,000-line file, against the same keys in an empty file and in a file of
// 100 lines, in the same run. Both files are open in one main window with its breakpoint list, as
// the user has them; each key is a real key event followed by the event
// handling it causes (status bar, edit actions, paint). The rounds
// take the files in turn; medians and bests are printed with their ratios,
// without breakpoints and with ten breakpoints spread over each file.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BreakpointList.h"
#include "EditorWindows.h"
#include "TFormEditor.h"
#include "TMainForm.h"

namespace {

constexpr int kLines = 100000;
constexpr int kRounds = 7;
constexpr int kKeysPerRound = 20;
constexpr int kBreakpoints = 10;

struct Timings {
    std::vector<double> enter;
    std::vector<double> undo;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Best(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

bool WriteFile(const QString& path, const std::string& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.data(), static_cast<qint64>(text.size())) >= 0;
}

std::string Lines(int count)
{
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "        move acc, #" + std::to_string(i % 256) + "\r\n";
    return text;
}

// One key with everything it sets off; milliseconds.
double Press(QWidget& target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(&target, key, modifiers);
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Enter at the start of the first line, then its undo, each key timed. The
// caret goes back up after each Enter, so that every Enter is an undo step
// of its own.
void TypeInto(TMainForm& form, const QString& path, Timings& timings)
{
    TFormEditor* editor = form.editorWindows().OpenEditor(path);
    QApplication::processEvents();
    ScintillaEditor& text = editor->Editor();
    text.SendEditor(QsciScintillaBase::SCI_GOTOPOS, 0);
    for (int i = 0; i < kKeysPerRound; ++i) {
        timings.enter.push_back(Press(text, Qt::Key_Return));
        Press(text, Qt::Key_Up);
    }
    for (int i = 0; i < kKeysPerRound; ++i)
        timings.undo.push_back(Press(text, Qt::Key_Z, Qt::ControlModifier));
}

void PrintRow(const char* what, const char* file, const std::vector<double>& values)
{
    std::printf("  %-6s %-28s %9.3f ms %9.3f ms\n", what, file, Median(values), Best(values));
}

void PrintRatio(const char* what, const std::vector<double>& values, const std::vector<double>& baseline)
{
    std::printf("  ratio %-34s %9.2f    %9.2f\n", what, Median(values) / Median(baseline),
                Best(values) / Best(baseline));
}

struct File {
    const char* name;
    QString path;
    Timings timings;
};

// The files in turn, the order reversed every other round.
void Measure(TMainForm& form, std::vector<File>& files, const char* title)
{
    for (File& file : files)
        file.timings = {};
    for (int round = 0; round < kRounds; ++round)
        for (size_t i = 0; i < files.size(); ++i)
            TypeInto(form, files[round % 2 == 0 ? i : files.size() - 1 - i].path,
                     files[round % 2 == 0 ? i : files.size() - 1 - i].timings);
    std::printf("%s, %d rounds of %d keys        median          best\n", title, kRounds, kKeysPerRound);
    for (const File& file : files)
        PrintRow("Enter", file.name, file.timings.enter);
    for (const File& file : files)
        PrintRow("undo", file.name, file.timings.undo);
    const Timings& empty = files[0].timings;
    const Timings& screen = files[1].timings;
    const Timings& full = files[2].timings;
    PrintRatio("Enter, 100,000 lines / empty", full.enter, empty.enter);
    PrintRatio("Enter, 100,000 lines / 100 lines", full.enter, screen.enter);
    PrintRatio("undo, 100,000 lines / empty", full.undo, empty.undo);
    PrintRatio("undo, 100,000 lines / 100 lines", full.undo, screen.undo);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir folder;
    // The IDE's settings stay in the run's own folder.
    qputenv("XDG_CONFIG_HOME", folder.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", folder.filePath(QStringLiteral("machine")).toLocal8Bit());
    QApplication application(argc, argv);

    // The empty file is the baseline; the file of 100 lines fills the window
    // as the long one does, so that its ratio leaves out the painting of text.
    std::vector<File> files{{"empty file", folder.filePath(QStringLiteral("empty.asm")), {}},
                            {"100-line file", folder.filePath(QStringLiteral("screen.asm")), {}},
                            {"100,000-line file", folder.filePath(QStringLiteral("long.asm")), {}}};
    if (!WriteFile(files[0].path, {}) || !WriteFile(files[1].path, Lines(100))
        || !WriteFile(files[2].path, Lines(kLines))) {
        std::fprintf(stderr, "cannot write the files in %s\n", qPrintable(folder.path()));
        return 1;
    }
    TMainForm form;
    form.resize(1000, 700);
    form.show();
    QApplication::processEvents();

    Measure(form, files, "typing at the top, no breakpoints");
    // Breakpoints below the caret: each one follows its line on every key.
    for (const File& file : files) {
        const int lines = file.path == files[2].path ? kLines : file.path == files[1].path ? 100 : 1;
        for (int i = 1; i <= kBreakpoints; ++i)
            form.breakpointList().addMarkedBreakpoint(file.path, std::max(1, i * lines / kBreakpoints));
    }
    const int rows = form.breakpointList().rowCount();
    Measure(form, files, "typing at the top, breakpoints below");
    if (form.breakpointList().rowCount() != rows)
        std::fprintf(stderr, "the breakpoint list lost rows: %d of %d\n", form.breakpointList().rowCount(), rows);

    // Nothing is saved: the edits are undone, and the window closes without questions.
    form.hide();
    return 0;
}
