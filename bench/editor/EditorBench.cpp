// Opening a 100,000-line assembler source in the editor, against the same
// file in a bare Scintilla widget without a lexer, in the same run: the open
// alone, and the open with the first paint of the window (where the editor
// colours what comes on screen). The bare widget loads as the editor does,
// without an undo history (a second copy of the text) and without
// modification notices, so the ratio shows what the editor adds. The rounds
// alternate between the two; medians and bests are printed with their ratios.

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ScintillaEditor.h"

namespace {

constexpr int kLines = 100000;
constexpr int kRounds = 15;

std::string SourceText()
{
    const char* const bodies[] = {
        "        move acc, #%dh        ; load the counter\r\n",
        "loop%d:  call delay\r\n",
        "        xor acc, sp\r\n",
        "        djnz lc, loop%d\r\n",
        "        db 'text %d', 0\r\n",
        "; block %d of the generated program\r\n",
        "        org %d0h\r\n",
        "        add a, #%d\r\n",
    };
    std::string text;
    text.reserve(kLines * 32);
    char line[96];
    for (int i = 0; i < kLines; ++i) {
        std::snprintf(line, sizeof line, bodies[i % 8], i);
        text += line;
    }
    return text;
}

struct Timings {
    std::vector<double> open;
    std::vector<double> openAndPaint;
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

double Milliseconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// What the editor coloured when it opened the file, and whether the first
// paint coloured the first line.
struct Colouring {
    long atOpen = 0;
    long length = 0;
    bool firstLineAfterPaint = false;
};

Colouring lastColouring;

void OpenInEditor(const QString& path, Timings& timings)
{
    QElapsedTimer timer;
    timer.start();
    ScintillaEditor editor(nullptr, nullptr);
    editor.resize(800, 600);
    editor.LoadFile(path);
    timings.open.push_back(Milliseconds(timer));
    lastColouring.atOpen = editor.SendEditor(QsciScintillaBase::SCI_GETENDSTYLED);
    timer.restart();
    editor.grab();
    timings.openAndPaint.push_back(timings.open.back() + Milliseconds(timer));
    lastColouring.length = editor.SendEditor(QsciScintillaBase::SCI_GETLENGTH);
    lastColouring.firstLineAfterPaint = editor.SendEditor(QsciScintillaBase::SCI_GETSTYLEAT, 8) != 0;
    if (editor.LineCount() != kLines + 1)
        std::fprintf(stderr, "editor holds the wrong text\n");
}

void OpenInPlainWidget(const QString& path, Timings& timings)
{
    QElapsedTimer timer;
    timer.start();
    QsciScintillaBase widget;
    widget.resize(800, 600);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    widget.SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0UL);
    widget.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
    widget.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()),
                         bytes.constData());
    timings.open.push_back(Milliseconds(timer));
    timer.restart();
    widget.grab();
    timings.openAndPaint.push_back(timings.open.back() + Milliseconds(timer));
    if (widget.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) != kLines + 1)
        std::fprintf(stderr, "plain widget holds the wrong text\n");
}

void PrintRow(const char* what, const std::vector<double>& values)
{
    std::printf("  %-52s %8.1f ms %8.1f ms\n", what, Median(values), Best(values));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("big.asm"));
    {
        QFile file(path);
        const std::string text = SourceText();
        if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    Timings editor, plain;
    for (int round = 0; round < kRounds; ++round) {
        if (round % 2 == 0) {
            OpenInEditor(path, editor);
            OpenInPlainWidget(path, plain);
        } else {
            OpenInPlainWidget(path, plain);
            OpenInEditor(path, editor);
        }
    }
    std::printf("open %d-line assembler file, %d alternating rounds          median       best\n", kLines, kRounds);
    PrintRow("ScintillaEditor open (load, assembler lexer)", editor.open);
    PrintRow("plain QsciScintillaBase open (no lexer, no undo)", plain.open);
    PrintRow("ScintillaEditor open and first paint", editor.openAndPaint);
    PrintRow("plain QsciScintillaBase open and first paint", plain.openAndPaint);
    std::printf("  ratio editor / plain, open:                 %.2f (medians), %.2f (bests)\n",
                Median(editor.open) / Median(plain.open), Best(editor.open) / Best(plain.open));
    std::printf("  ratio editor / plain, open and first paint: %.2f (medians), %.2f (bests)\n",
                Median(editor.openAndPaint) / Median(plain.openAndPaint),
                Best(editor.openAndPaint) / Best(plain.openAndPaint));
    std::printf("  coloured when opened: %ld of %ld bytes; first line coloured after the paint: %s\n",
                lastColouring.atOpen, lastColouring.length, lastColouring.firstLineAfterPaint ? "yes" : "NO");
    return 0;
}
