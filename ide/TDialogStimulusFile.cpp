#include "TDialogStimulusFile.h"

TDialogStimulusFile::TDialogStimulusFile(QWidget* parent, std::unique_ptr<DebugFileDialog> browser)
    : DebugFileChoiceDialog(
        parent,
        {QStringLiteral("Stimulus File Settings"), QStringLiteral("Use stimulus file:"),
         QStringLiteral("Do not use a stimulus file."), QStringLiteral("Stimulus Files"), QStringLiteral("stm")},
        std::move(browser))
{}
