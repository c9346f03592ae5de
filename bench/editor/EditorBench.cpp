// Opening and colouring a 100,000-line assembler source in the editor,
// against the same file in a bare Scintilla widget without a lexer, in the
// same run. Prints the median of several rounds and the ratio.

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
constexpr int kRounds = 9;

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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double OpenInEditor(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    ScintillaEditor editor(nullptr, nullptr);
    editor.resize(800, 600);
    editor.LoadFile(path);
    const long styled = editor.SendEditor(QsciScintillaBase::SCI_GETENDSTYLED);
    const double elapsed = timer.nsecsElapsed() / 1e6;
    if (styled != editor.SendEditor(QsciScintillaBase::SCI_GETLENGTH) || editor.LineCount() != kLines + 1)
        std::fprintf(stderr, "editor did not colour the whole file\n");
    return elapsed;
}

double OpenInPlainWidget(const QString& path)
{
    QElapsedTimer timer;
    timer.start();
    QsciScintillaBase widget;
    widget.resize(800, 600);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    widget.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()),
                         bytes.constData());
    const double elapsed = timer.nsecsElapsed() / 1e6;
    if (widget.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) != kLines + 1)
        std::fprintf(stderr, "plain widget holds the wrong text\n");
    return elapsed;
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
    std::vector<double> editor, plain;
    for (int round = 0; round < kRounds; ++round) {
        editor.push_back(OpenInEditor(path));
        plain.push_back(OpenInPlainWidget(path));
    }
    const double editorMs = Median(editor);
    const double plainMs = Median(plain);
    std::printf("open %d-line assembler file, median of %d rounds\n", kLines, kRounds);
    std::printf("  ScintillaEditor (load, assembler lexer, colour all): %8.1f ms\n", editorMs);
    std::printf("  plain QsciScintillaBase (load, no lexer):            %8.1f ms\n", plainMs);
    std::printf("  ratio editor / plain:                                %8.2f\n", editorMs / plainMs);
    return 0;
}
