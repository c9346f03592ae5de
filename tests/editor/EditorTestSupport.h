#pragma once
// A fake main window for the editor windows, and a fixture with its own
// temporary folder and registry.

#include <QApplication>
#include <QMdiArea>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Beep.h"
#include "EditorHost.h"
#include "EditorWindows.h"
#include "MessageBoxes.h"
#include "PrintService.h"
#include "SaveFileDialog.h"
#include "TFormEditor.h"

using S = QsciScintillaBase;

class FakeHost : public EditorHost {
public:
    int debugState() const override { return currentDebugState; }
    int tabSize() const override { return currentTabSize; }
    bool useTabs() const override { return currentUseTabs; }
    void setTabOptions(int size, bool tabs) override
    {
        currentTabSize = size;
        currentUseTabs = tabs;
    }
    bool printLineNumbers() const override { return currentPrintLineNumbers; }
    void setPrintLineNumbers(bool value) override { currentPrintLineNumbers = value; }
    QString sourceExtension() const override { return QStringLiteral("asm"); }
    void UpdateFileActions(int state) override { fileActions.push_back(state); }
    void UpdateEditActions(TFormEditor* editor) override { lastEditActions = editor; }
    void AddBreakpointAt(const QString& path, int line) override { breakpoints.emplace_back(path, line); }
    void RemoveBreakpointAt(const QString& path, int line) override;
    void MoveBreakpointLines(const QString& path, const std::function<int(int)>& lineAfter) override;
    void MoveBreakpointsToFile(const QString& from, const QString& to) override;
    void SyncEditorBreakpoints(TFormEditor& editor) override;
    void AddMessage(const QString& text) override { messages << text; }
    SaveFileDialog& saveDialog() override { return recordingSaveDialog; }
    PrintService& printing() override { return *printService; }

    // The lines of the list entries of one file, sorted.
    std::vector<int> BreakpointLines(const QString& path) const;

    int currentDebugState = 1;
    int currentTabSize = 4;
    bool currentUseTabs = true;
    bool currentPrintLineNumbers = false;
    std::vector<int> fileActions;
    TFormEditor* lastEditActions = nullptr;
    std::vector<std::pair<QString, int>> breakpoints;
    QStringList messages;
    RecordingSaveFileDialog recordingSaveDialog;
    std::unique_ptr<PdfPrintService> printService;
};

// count lines "<prefix><number>" with CR LF line ends.
std::string NumberedLines(int count, const std::string& prefix = "line ");

// Types the text into the widget key by key, as a keyboard layout that has
// every character of it would.
void TypeText(QWidget* widget, const QString& text);

class EditorTest : public ::testing::Test {
protected:
    EditorTest();
    ~EditorTest() override;

    QString PathOf(const QString& name) const { return folder_.filePath(name); }
    // Writes the bytes to a file of the folder and gives its path.
    QString WriteFile(const QString& name, const std::string& bytes) const;
    static std::string ReadFile(const QString& path);
    std::vector<std::string> BoxTexts() const;

    QTemporaryDir folder_;
    FakeHost host_;
    QMdiArea area_;
    EditorWindows windows_{host_, area_};
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes scopedBoxes_{boxes_};
    int beeps_ = 0;
};
