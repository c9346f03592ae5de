#pragma once
// The printer and its dialog behind a small interface. Tests inject a PDF
// printer and script the dialog's answer.

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <optional>
#include <vector>

struct PrintChoice {
    enum class Range { All, Pages, Selection };
    int maxPage = 1;
    bool selectionOffered = false;
    Range range = Range::All;
    int fromPage = 1;
    int toPage = 1;
    bool printLineNumbers = false;
};

class PrintService {
public:
    virtual ~PrintService() = default;
    virtual bool HasPrinter() = 0;
    // Without a printer: prints into a PDF file instead, the given one
    // suggested; false when that is not possible either.
    virtual bool UsePdfFile(const QString& suggestedPath) = 0;
    virtual QPrinter& Printer() = 0;
    // Shows the print dialog over the choice; false when cancelled.
    virtual bool AskOptions(PrintChoice& choice) = 0;
};

class QtPrintService final : public PrintService {
public:
    QtPrintService();
    bool HasPrinter() override;
    bool UsePdfFile(const QString& suggestedPath) override;
    QPrinter& Printer() override { return printer_; }
    bool AskOptions(PrintChoice& choice) override;

private:
    QPrinter printer_;
};

// Prints into a PDF file (the one given, whatever is suggested); the dialog answers as scripted and records what it was
// offered.
class PdfPrintService final : public PrintService {
public:
    explicit PdfPrintService(const QString& pdfPath);
    bool HasPrinter() override { return hasPrinter; }
    bool UsePdfFile(const QString& suggestedPath) override;
    QPrinter& Printer() override { return printer_; }
    bool AskOptions(PrintChoice& choice) override;

    bool hasPrinter = true;
    // Without a printer: whether a PDF file is offered instead, and the file suggested.
    bool pdfFileOffered = false;
    QString suggestedPdf;
    bool cancel = false;
    std::optional<PrintChoice::Range> range;
    int fromPage = 1;
    int toPage = 1;
    std::optional<bool> printLineNumbers;
    // The paper the user turns to in the dialog.
    std::optional<QPageLayout::Orientation> orientation;
    std::optional<QPageSize::PageSizeId> paper;
    std::vector<PrintChoice> offered;

private:
    QPrinter printer_;
};
