// The main window as the editor windows see it.

#include <Qsci/qsciscintillabase.h>

#include "BreakpointList.h"
#include "DebugController.h"
#include "MainFormHosts.h"
#include "PrintService.h"
#include "SaveFileDialog.h"
#include "TFormEditor.h"
#include "TMainForm.h"

MainEditorHost::MainEditorHost(TMainForm& form) : form_(form), saveDialog_(std::make_unique<QtSaveFileDialog>()) {}

MainEditorHost::~MainEditorHost() = default;

int MainEditorHost::debugState() const
{
    return form_.debugControl().DebugState();
}

int MainEditorHost::tabSize() const
{
    return form_.editing.tabSize;
}

bool MainEditorHost::useTabs() const
{
    return form_.editing.useTabs;
}

void MainEditorHost::setTabOptions(int tabSize, bool useTabs)
{
    form_.editing.tabSize = tabSize;
    form_.editing.useTabs = useTabs;
}

bool MainEditorHost::printLineNumbers() const
{
    return form_.editing.printLineNumbers;
}

void MainEditorHost::setPrintLineNumbers(bool printLineNumbers)
{
    form_.editing.printLineNumbers = printLineNumbers;
}

QString MainEditorHost::sourceExtension() const
{
    return form_.sourceExtension();
}

void MainEditorHost::UpdateFileActions(int state)
{
    form_.UpdateFileActions(state);
}

void MainEditorHost::UpdateEditActions(TFormEditor* editor)
{
    if (!editor) {
        form_.UpdateEditActions(nullptr);
        return;
    }
    using S = QsciScintillaBase;
    EditCapabilities can;
    can.undo = editor->CanDo(S::SCI_UNDO);
    can.cut = editor->CanDo(S::SCI_CUT);
    can.copy = editor->CanDo(S::SCI_COPY);
    can.paste = editor->CanDo(S::SCI_PASTE);
    can.deleteSelection = editor->CanDo(S::SCI_CLEAR);
    can.selectAll = editor->CanDo(S::SCI_SELECTALL);
    form_.UpdateEditActions(&can);
}

void MainEditorHost::AddBreakpointAt(const QString& path, int line)
{
    form_.breakpointList().AddBreakpoint(path, line);
}

void MainEditorHost::RemoveBreakpointAt(const QString& path, int line)
{
    form_.breakpointList().RemoveBreakpoint(path, line);
}

void MainEditorHost::MoveBreakpointLines(const QString& path, const std::function<int(int)>& lineAfter)
{
    form_.breakpointList().moveLines(path, lineAfter);
}

void MainEditorHost::MoveBreakpointsToFile(const QString& from, const QString& to)
{
    form_.breakpointList().renameFile(from, to);
}

void MainEditorHost::SyncEditorBreakpoints(TFormEditor& editor)
{
    // Sets, never toggles: a reloaded file may still carry its markers.
    for (int line : form_.breakpointList().linesIn(editor.FilePath()))
        if (!editor.Editor().HasBreakpointMarker(line))
            editor.ToggleBreakpoint(line, false);
}

void MainEditorHost::AddMessage(const QString& text)
{
    form_.AddMessage(text);
}

SaveFileDialog& MainEditorHost::saveDialog()
{
    // The main window's SaveDir is the folder every save dialog starts in; a
    // save since the last call moved it. Without one the dialog starts where
    // the main window's other dialogs do.
    if (saveDialog_->initialDirectory != handedOutFolder_)
        form_.saveDir = QString::fromStdString(saveDialog_->initialDirectory);
    saveDialog_->initialDirectory = handedOutFolder_ = form_.dialogFolder(form_.saveDir).toStdString();
    return *saveDialog_;
}

void MainEditorHost::ReplaceSaveDialog(std::unique_ptr<SaveFileDialog> dialog)
{
    dialog->initialDirectory = saveDialog_->initialDirectory;
    saveDialog_ = std::move(dialog);
}

PrintService& MainEditorHost::printing()
{
    if (!printing_)
        printing_ = std::make_unique<QtPrintService>();
    return *printing_;
}
