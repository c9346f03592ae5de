// The main window's tool windows: the table of kinds with the Messages window
// in it, the debug windows registered from their own library, the
// breakpoint list they share, and the opening of a file at a line.

#include <QAction>
#include <QFile>

#include "AbstractDevice.h"
#include "BreakpointList.h"
#include "DebugController.h"
#include "DeviceBinding.h"
#include "EditorWindows.h"
#include "MessageBoxes.h"
#include "TFormEditor.h"
#include "TFormMessages.h"
#include "TMainForm.h"
#include "ToolWindows.h"

void TMainForm::createToolWindows()
{
    const MainActions& a = actions;
    toolWindows_ = std::make_unique<ToolWindows>(*this, std::map<int, QAction*>{
                                                            {tolvane::kViewMessages, a.showMessages},
                                                            {tolvane::kViewCallStack, a.showCallStack},
                                                            {tolvane::kViewRegisters, a.showRegisters},
                                                            {tolvane::kViewMemory, a.showMemory},
                                                            {tolvane::kViewStatistics, a.showStatistics},
                                                            {tolvane::kViewVariables, a.showVariables},
                                                            {tolvane::kViewBreakpoints, a.showBreakpoints},
                                                            {tolvane::kViewTrace, a.showTrace},
                                                            {tolvane::kViewFindInFiles, a.showFindInFiles},
                                                            {tolvane::kViewWatches, a.showWatches},
                                                        });
    ToolWindows::Kind messages;
    messages.id = tolvane::kViewMessages;
    messages.defaultPlacement = TDockableForm::kDockBottom;
    messages.create = [this](QMainWindow& owner, std::optional<QRect> rect, int placement) {
        auto* window = new TFormMessages(&owner, false, rect, placement);
        window->SetLocator([this](const QString& line, QString* file, int* number) {
            return binding_->LocateMessage(line, file, number);
        });
        window->SetFileOpener([this](const QString& file, int line) { OpenFileAtLine(file, line); });
        return window;
    };
    toolWindows_->registerKind(std::move(messages));
}

void TMainForm::connectBreakpointList()
{
    // The device follows the list during a debug run; debug start sends every row.
    connect(breakpoints_, &BreakpointList::breakpointChanged, this, [this](const QString& file, int line, bool set) {
        debug_->BreakpointToggled(QFile::encodeName(file).toStdString(), line, set);
    });
    // Markers are set or cleared, never toggled: a listed breakpoint always shows.
    connect(breakpoints_, &BreakpointList::markerNeeded, this, [this](const QString& file, int line, bool set) {
        TFormEditor* editor = editors_->FindEditor(file);
        if (editor && editor->Editor().HasBreakpointMarker(line) != set)
            editors_->ToggleEditorBreakpoint(file, line);
    });
}

TFormMessages* TMainForm::messagesWindow() const
{
    return toolWindows_->openWindowAs<TFormMessages>(tolvane::kViewMessages);
}

void TMainForm::AddMessage(const QString& text)
{
    if (auto* messages = qobject_cast<TFormMessages*>(toolWindows_->show(tolvane::kViewMessages)))
        messages->AddMessage(text);
}

void TMainForm::ClearMessages()
{
    if (TFormMessages* messages = messagesWindow())
        messages->ClearMessages();
}

void TMainForm::ClearDebugWindows()
{
    toolWindows_->ClearDebugWindows();
    repaintEditors();
}

void TMainForm::RefreshDebugWindows()
{
    toolWindows_->RefreshDebugWindows();
    repaintEditors();
}

void TMainForm::repaintEditors()
{
    for (TFormEditor* editor : editors_->Editors())
        editor->update();
}

void TMainForm::OpenFileAtLine(const QString& path, int line)
{
    if (line > 0)
        editors_->OpenFileAtLine(path, line);
    else if (editors_->TryOpenEditor(path) == EditorWindows::Opening::FileNotFound)
        platform::showError(path.toStdString() + " does not exist.");
}
