#pragma once
// "Data File Settings": the data file that the device reads, or none.

#include "DebugFileChoiceDialog.h"

class TDialogDataFile final : public DebugFileChoiceDialog {
public:
    explicit TDialogDataFile(QWidget* parent, std::unique_ptr<DebugFileDialog> browser = nullptr);

    // None when no data file is used.
    std::optional<QString> DataFile() const { return chosenFile(); }
    void SetDataFile(const QString& file) { setChosenFile(file); }
};
