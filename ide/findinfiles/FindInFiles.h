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

// What the command asks of the main window.
struct FindInFilesHost {
    // The open project's files (full paths, in project order); none without a project.
    std::function<std::optional<QStringList>()> projectFiles;
    // Where the folder browser starts while the field names no folder.
    std::function<QString()> browseFolder;
};

class FindInFilesCommand : public QObject {
    Q_OBJECT
public:
    FindInFilesCommand(ToolWindows& windows, EditorWindows& editors, EditorHost& editorHost, FindInFilesHost host,
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
    EditorHost& editorHost_;
    FindInFilesHost host_;
    // A child of the main window, which may be gone first.
    QPointer<TDialogFindInFiles> dialog_;
};

void registerFindInFiles(ToolWindows& windows, QAction* findInFiles, EditorWindows& editors, EditorHost& editorHost,
                         FindInFilesHost host, QWidget* dialogParent);
