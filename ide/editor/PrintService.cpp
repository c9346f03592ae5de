#include "PrintService.h"

#include <QApplication>
#include <QCheckBox>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QVBoxLayout>

#include "DialogBorder.h"

QtPrintService::QtPrintService() : printer_(QPrinter::HighResolution) {}

bool QtPrintService::HasPrinter()
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool QtPrintService::UsePdfFile(const QString& suggestedPath)
{
    // The print dialog then offers the file and lets the user rename it.
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(suggestedPath);
    return printer_.isValid() && printer_.outputFormat() == QPrinter::PdfFormat;
}

bool QtPrintService::AskOptions(PrintChoice& choice)
{
    QPrintDialog dialog(&printer_, QApplication::activeWindow());
    dialog.setMinMax(1, choice.maxPage);
    dialog.setFromTo(1, choice.maxPage);
    QPrintDialog::PrintDialogOptions options = dialog.options() | QAbstractPrintDialog::PrintPageRange;
    if (choice.selectionOffered)
        options |= QAbstractPrintDialog::PrintSelection;
    else
        options &= ~QAbstractPrintDialog::PrintSelection;
    dialog.setOptions(options);
    dialog.setPrintRange(choice.selectionOffered ? QAbstractPrintDialog::Selection : QAbstractPrintDialog::AllPages);

    auto* extra = new QWidget;
    extra->setWindowTitle(QStringLiteral("Source"));
    auto* lineNumbers = new QCheckBox(QStringLiteral("Print Line Numbers"), extra);
    lineNumbers->setChecked(choice.printLineNumbers);
    auto* layout = new QVBoxLayout(extra);
    layout->addWidget(lineNumbers);
    layout->addStretch();
    dialog.setOptionTabs({extra});
    platform::giveDialogBorder(dialog, platform::DialogSizing::Sizable);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    switch (dialog.printRange()) {
    case QAbstractPrintDialog::Selection:
        choice.range = PrintChoice::Range::Selection;
        break;
    case QAbstractPrintDialog::PageRange:
        choice.range = PrintChoice::Range::Pages;
        choice.fromPage = dialog.fromPage();
        choice.toPage = dialog.toPage();
        break;
    default:
        choice.range = PrintChoice::Range::All;
        break;
    }
    choice.printLineNumbers = lineNumbers->isChecked();
    return true;
}

PdfPrintService::PdfPrintService(const QString& pdfPath) : printer_(QPrinter::HighResolution)
{
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(pdfPath);
}

bool PdfPrintService::UsePdfFile(const QString& suggestedPath)
{
    suggestedPdf = suggestedPath;
    return pdfFileOffered;
}

bool PdfPrintService::AskOptions(PrintChoice& choice)
{
    offered.push_back(choice);
    if (cancel)
        return false;
    if (range)
        choice.range = *range;
    choice.fromPage = fromPage;
    choice.toPage = toPage;
    if (printLineNumbers)
        choice.printLineNumbers = *printLineNumbers;
    if (paper)
        printer_.setPageSize(QPageSize(*paper));
    if (orientation)
        printer_.setPageOrientation(*orientation);
    return true;
}
