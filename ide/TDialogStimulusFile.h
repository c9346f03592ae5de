#pragma once
// "Stimulus File Settings": the stimulus file that drives the target's inputs, or none.

#include "DebugFileChoiceDialog.h"

class TDialogStimulusFile final : public DebugFileChoiceDialog {
public:
    explicit TDialogStimulusFile(QWidget* parent, std::unique_ptr<DebugFileDialog> browser = nullptr);

    // Empty when no stimulus file is used.
    QString StimulusFile() const { return chosenFile().value_or(QString()); }
    void SetStimulusFile(const QString& file) { setChosenFile(file); }
};
