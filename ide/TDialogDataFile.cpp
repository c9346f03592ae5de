#include "TDialogDataFile.h"

TDialogDataFile::TDialogDataFile(QWidget* parent, std::unique_ptr<DebugFileDialog> browser)
    : DebugFileChoiceDialog(
        parent,
        {QStringLiteral("Data File Settings"), QStringLiteral("Use data file:"),
         QStringLiteral("Do not use a data file."), QStringLiteral("Data Files"), QStringLiteral("hex")},
        std::move(browser))
{}
