#pragma once
// The main window's save dialog behind a small interface, with a recording
// fake for tests. Filters are written "Text (*.ext)|*.ext|All Files (*.*)|*.*".

#include <deque>
#include <optional>
#include <string>
#include <vector>

struct SaveDialogRequest {
    std::string filter;
    int filterIndex = 1;
    std::string defaultExtension;
    std::string fileName;
    std::string initialDirectory;
};

class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> Execute(const SaveDialogRequest& request) = 0;

    // Kept between uses; the main window stores it as SaveDir.
    std::string initialDirectory;
};

class QtSaveFileDialog final : public SaveFileDialog {
public:
    std::optional<std::string> Execute(const SaveDialogRequest& request) override;
};

// Records every request and answers from a script (cancel when it is empty).
class RecordingSaveFileDialog final : public SaveFileDialog {
public:
    std::optional<std::string> Execute(const SaveDialogRequest& request) override;

    std::vector<SaveDialogRequest> requests;
    std::deque<std::optional<std::string>> answers;
};

// "Name (*.a)|*.a|All Files (*.*)|*.*" as Qt's "Name (*.a);;All Files (*)".
std::string QtFilterFrom(const std::string& filter);
