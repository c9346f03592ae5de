#pragma once
// The open dialog for one existing file, behind a small interface so that
// the stimulus and data file dialogs can be tested with a fake.

#include <optional>
#include <string>

#include "FileFilters.h"

class QWidget;

class DebugFileDialog {
public:
    virtual ~DebugFileDialog() = default;
    // filter is "Description|pattern|Description|pattern..." with the first
    // pair preselected; the result is the chosen file's path, empty when cancelled.
    virtual std::optional<std::string> openFile(const std::string& filter, const std::string& defaultExtension) = 0;
};

// The platform's file dialog; after a choice it starts in the chosen file's folder.
class QtDebugFileDialog final : public DebugFileDialog {
public:
    explicit QtDebugFileDialog(QWidget* parent) : parent_(parent) {}
    std::optional<std::string> openFile(const std::string& filter, const std::string& defaultExtension) override;

private:
    QWidget* parent_;
    QString initialFolder_;
};
