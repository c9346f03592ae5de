#pragma once
// Edit > Find In Files: the dialog, then the search in the results window
// (tool window 30). registerFindInFiles puts the window into the tool-window
// table and connects the action; nothing else of the main window is needed.

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <optional>

#include "FileSearch.h"

class EditorHost;
class EditorWindows;
class QAction;
class QWidget;
class TDialogFindInFiles;
class TFormFindInFiles;
class ToolWindows;

// The open project's files (full paths, in project order); none without a project.
using ProjectFilesSource = std::function<std::optional<QStringList>()>;

class FindInFilesCommand : public QObject {
    Q_OBJECT
public:
    FindInFilesCommand(ToolWindows& windows, EditorWindows& editors, EditorHost& host, ProjectFilesSource project,
                       QWidget* dialogParent, QObject* parent = nullptr);
    ~FindInFilesCommand() override;

    // The dialog; on OK the results window is shown and the search started.
    void ActionFindInFilesExecute();
    // The search the dialog's entries ask for, with every open editor's text.
    findinfiles::SearchRequest RequestFromDialog() const;
    TDialogFindInFiles& Dialog() const;

private:
    ToolWindows& windows_;
    EditorWindows& editors_;
    EditorHost& host_;
    ProjectFilesSource project_;
    // A child of the main window, which may be gone first.
    QPointer<TDialogFindInFiles> dialog_;
};

void registerFindInFiles(ToolWindows& windows, QAction* findInFiles, EditorWindows& editors, EditorHost& host,
                         ProjectFilesSource project, QWidget* dialogParent);
