#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QProcess>
#include <QRegularExpression>

#include "EditorSettings.h"
#include "EditorTestSupport.h"
#include "Registry.h"

namespace {

const std::string kInstruction = "        move acc, ";

class PrintTest : public EditorTest {
protected:
    int PdfPages() const
    {
        QFile file(PathOf("out.pdf"));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        const QString text = QString::fromLatin1(file.readAll());
        return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
    }
    // The text of the PDF file as a reader extracts it, page by page.
    QStringList PdfPageTexts() const
    {
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), PathOf("out.pdf"), QStringLiteral("-")});
        if (!reader.waitForFinished(30000) || reader.exitCode() != 0) {
            ADD_FAILURE() << "pdftotext (poppler-utils) did not read the PDF file";
            return {};
        }
        QStringList pages = QString::fromLatin1(reader.readAllStandardOutput()).split(QLatin1Char('\f'));
        pages.removeLast();
        return pages;
    }
    // Lines that fit between one-inch margins of the PDF printer's page, in the editor font.
    int ExpectedLinesPerPage(const QPageLayout& layout)
    {
        QPrinter& printer = host_.printService->Printer();
        const double pageInches = layout.fullRect(QPageLayout::Inch).height();
        const int lineHeight = QFontMetrics(ScintillaEditor::SharedFont().ToQFont(), &printer).height();
        return static_cast<int>((pageInches - 2) * printer.resolution()) / lineHeight;
    }
};

TEST_F(PrintTest, A130LineFileFillsTheExpectedPages)
{
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(130, kInstruction)));
    const int perPage = ExpectedLinesPerPage(host_.printService->Printer().pageLayout());
    ASSERT_GT(perPage, 10);
    host_.printService->printLineNumbers = true;
    editor->PrintFile();
    const int expected = (130 + perPage - 1) / perPage;
    EXPECT_EQ(PdfPages(), expected);
    ASSERT_EQ(host_.printService->offered.size(), 1u);
    EXPECT_EQ(host_.printService->offered[0].maxPage, expected);
    EXPECT_FALSE(host_.printService->offered[0].selectionOffered);
    EXPECT_EQ(host_.printService->offered[0].range, PrintChoice::Range::All);
    EXPECT_TRUE(host_.currentPrintLineNumbers);
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, tolvane::kSettingsKey, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readBool("PrintLineNums"), true);
}

// The paper and orientation the user picks in the print dialog decide how
// many lines go on a page: every line is printed once, in order, with its
// number, on as many pages as that paper needs.
TEST_F(PrintTest, ThePaperChosenInTheDialogHoldsEveryLine)
{
    const struct {
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
    } cases[] = {
        {QPageSize::A4, QPageLayout::Landscape},
        {QPageSize::A5, QPageLayout::Portrait},
        {QPageSize::A3, QPageLayout::Portrait},
    };
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(130, kInstruction)));
    for (const auto& c : cases) {
        SCOPED_TRACE(QPageSize::name(c.paper).toStdString()
                     + (c.orientation == QPageLayout::Landscape ? " landscape" : ""));
        host_.printService = std::make_unique<PdfPrintService>(PathOf("out.pdf"));
        host_.printService->paper = c.paper;
        host_.printService->orientation = c.orientation;
        host_.printService->printLineNumbers = true;
        editor->PrintFile();
        const int perPage =
            ExpectedLinesPerPage(QPageLayout(QPageSize(c.paper), c.orientation, QMarginsF(), QPageLayout::Inch));
        const QStringList pages = PdfPageTexts();
        ASSERT_EQ(pages.size(), (130 + perPage - 1) / perPage);
        int next = 1;
        for (int page = 0; page < pages.size(); ++page) {
            for (const QString& line : pages[page].split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                const QString expected = QStringLiteral("%1:").arg(next);
                EXPECT_TRUE(line.simplified().startsWith(expected))
                    << "page " << page + 1 << ": " << line.toStdString();
                EXPECT_TRUE(line.endsWith(QStringLiteral("move acc, %1").arg(next))) << line.toStdString();
                ++next;
            }
            EXPECT_EQ(next - 1, std::min(130, (page + 1) * perPage)) << "page " << page + 1;
        }
        EXPECT_EQ(next, 131);
    }
}

TEST_F(PrintTest, APageRangePrintsOnlyThosePages)
{
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(130, kInstruction)));
    host_.printService->range = PrintChoice::Range::Pages;
    host_.printService->fromPage = 2;
    host_.printService->toPage = 2;
    editor->PrintFile();
    EXPECT_EQ(PdfPages(), 1);
}

TEST_F(PrintTest, ASelectionIsOfferedAndPrinted)
{
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(130, kInstruction)));
    editor->Editor().SendEditor(S::SCI_SETSEL, editor->Editor().SendEditor(S::SCI_POSITIONFROMLINE, 100),
                                editor->Editor().SendEditor(S::SCI_POSITIONFROMLINE, 103));
    editor->PrintFile();
    ASSERT_EQ(host_.printService->offered.size(), 1u);
    EXPECT_TRUE(host_.printService->offered[0].selectionOffered);
    EXPECT_EQ(host_.printService->offered[0].range, PrintChoice::Range::Selection);
    EXPECT_EQ(PdfPages(), 1);
}

TEST_F(PrintTest, AnEmptyTextPrintsOnePage)
{
    windows_.NewFile()->PrintFile();
    EXPECT_EQ(PdfPages(), 1);
}

TEST_F(PrintTest, CancelKeepsTheLineNumberChoiceAndPrintsNothing)
{
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(3, kInstruction)));
    host_.currentPrintLineNumbers = true;
    host_.printService->cancel = true;
    host_.printService->printLineNumbers = false;
    editor->PrintFile();
    EXPECT_TRUE(host_.currentPrintLineNumbers);
    EXPECT_TRUE(host_.printService->offered[0].printLineNumbers);
    EXPECT_FALSE(QFileInfo::exists(PathOf("out.pdf")));
}

TEST_F(PrintTest, WithoutPrinterAMessageAndNothingElse)
{
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(3, kInstruction)));
    host_.printService->hasPrinter = false;
    editor->PrintFile();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Unable to print.\r\n\r\nNo printers installed."});
    EXPECT_TRUE(host_.printService->offered.empty());
}

// A desktop without a print queue still prints: into a PDF file named
// after the document, beside it (or in the home folder for an untitled text).
TEST_F(PrintTest, WithoutPrinterThePrintGoesIntoAPdfFileNamedAfterTheDocument)
{
    host_.printService->hasPrinter = false;
    host_.printService->pdfFileOffered = true;
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(3, kInstruction)));
    editor->PrintFile();
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(host_.printService->suggestedPdf, PathOf("prog.pdf"));
    ASSERT_EQ(host_.printService->offered.size(), 1u);
    EXPECT_EQ(PdfPages(), 1);

    windows_.NewFile()->PrintFile();
    EXPECT_EQ(QFileInfo(host_.printService->suggestedPdf).absolutePath(), QDir::homePath());
    EXPECT_TRUE(host_.printService->suggestedPdf.startsWith(QDir::homePath() + QStringLiteral("/Untitled ")));
    EXPECT_TRUE(host_.printService->suggestedPdf.endsWith(QStringLiteral(".pdf")));
}

TEST_F(PrintTest, AFontTallerThanThePagePrintsOneLinePerPage)
{
    const EditorFont saved = ScintillaEditor::SharedFont();
    EditorFont huge = saved;
    huge.size = 1000;
    ScintillaEditor::ApplyEditorFont(huge, nullptr);
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(3, kInstruction)));
    editor->PrintFile();
    ScintillaEditor::ApplyEditorFont(saved, nullptr);
    EXPECT_EQ(PdfPages(), 3);
}

}  // namespace
