#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
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
    // Lines that fit between one-inch margins of the PDF printer's page, in the editor font.
    int ExpectedLinesPerPage()
    {
        QPrinter& printer = host_.printService->Printer();
        printer.setFullPage(true);
        const double pageInches = printer.pageLayout().fullRect(QPageLayout::Inch).height();
        const int lineHeight = QFontMetrics(ScintillaEditor::SharedFont().ToQFont(), &printer).height();
        return static_cast<int>((pageInches - 2) * printer.resolution()) / lineHeight;
    }
};

TEST_F(PrintTest, A130LineFileFillsTheExpectedPages)
{
    TFormEditor* editor = windows_.OpenEditor(WriteFile("prog.asm", NumberedLines(130, kInstruction)));
    const int perPage = ExpectedLinesPerPage();
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
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kTolvaneKey, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readBool("PrintLineNums"), true);
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
