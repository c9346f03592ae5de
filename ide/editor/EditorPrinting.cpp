#include "EditorPrinting.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <climits>

#include "EditorHost.h"
#include "EditorSettings.h"
#include "EditorText.h"
#include "MessageBoxes.h"
#include "PrintLayout.h"
#include "PrintService.h"
#include "ScintillaEditor.h"
#include "TextLines.h"

namespace {

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// From the printer as it is now: the print dialog may change its paper,
// orientation and resolution.
int LinesPerPageOf(QPrinter& printer, const QFont& font)
{
    const int pageHeight = printer.pageLayout().fullRectPixels(printer.resolution()).height();
    return LinesPerPage(pageHeight, printer.resolution(), QFontMetrics(font, &printer).height());
}

void DrawPages(QPrinter& printer, const QFont& font, const std::vector<PrintedPage>& pages)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        platform::showError("Unable to print.");
        return;
    }
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const int inch = printer.resolution();
    bool firstPage = true;
    for (const PrintedPage& page : pages) {
        if (!firstPage)
            printer.newPage();
        firstPage = false;
        int y = inch + metrics.ascent();
        for (const PrintedLine& line : page) {
            // The number sits in the left margin so the text stays at one inch.
            const QString number = EditorString(line.number);
            painter.drawText(inch - metrics.horizontalAdvance(number), y, number);
            painter.drawText(inch, y, EditorString(line.text));
            y += metrics.height();
        }
    }
    painter.end();
}

QString PdfFileFor(const QString& document)
{
    const QFileInfo file(document);
    const QString folder = file.isAbsolute() ? file.absolutePath() : QDir::homePath();
    return QDir(folder).filePath(file.completeBaseName() + QStringLiteral(".pdf"));
}

}  // namespace

void PrintEditor(EditorHost& host, ScintillaEditor& editor, const QString& document)
{
    PrintService& service = host.printing();
    if (!service.HasPrinter() && !service.UsePdfFile(PdfFileFor(document))) {
        platform::showError("Unable to print.\r\n\r\nNo printers installed.");
        return;
    }
    QPrinter& printer = service.Printer();
    printer.setFullPage(true);
    const QFont font = ScintillaEditor::SharedFont().ToQFont();

    PrintChoice choice;
    choice.maxPage = PageCount(editor.LineCount(), LinesPerPageOf(printer, font));
    choice.toPage = choice.maxPage;
    choice.selectionOffered = editor.HasSelection();
    choice.range = choice.selectionOffered ? PrintChoice::Range::Selection : PrintChoice::Range::All;
    choice.printLineNumbers = host.printLineNumbers();
    if (!service.AskOptions(choice))
        return;
    host.setPrintLineNumbers(choice.printLineNumbers);
    WriteSettingBool("PrintLineNums", choice.printLineNumbers);

    WaitCursor wait;
    const bool selection = choice.range == PrintChoice::Range::Selection;
    const std::vector<std::string> lines = platform::splitLines(selection ? editor.SelectedText() : editor.Text());
    const int firstNumber = selection ? editor.LineFromPosition(editor.SelectionStart()) : 1;
    const bool pageRange = choice.range == PrintChoice::Range::Pages;
    DrawPages(printer, font,
              LayoutPages(lines, firstNumber, LinesPerPageOf(printer, font), pageRange ? choice.fromPage : 1,
                          pageRange ? choice.toPage : INT_MAX, choice.printLineNumbers));
}
