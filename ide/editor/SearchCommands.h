#pragma once
// Find, Find Next, Replace and Go To Line on the front editor window.

#include <QObject>
#include <QString>
#include <memory>

class EditorHost;
class EditorWindows;
class FindReplaceDialog;
class TDialogGotoLine;
class TFormEditor;
class QWidget;

class SearchCommands : public QObject {
    Q_OBJECT
public:
    SearchCommands(EditorWindows& windows, EditorHost& host, QWidget* dialogParent);
    ~SearchCommands() override;

    void ActionFindExecute();
    void ActionFindNextExecute();
    void ActionReplaceExecute();
    void ActionGotoLineExecute();

    void FindDialogFind();
    void ReplaceDialogFind();
    void ReplaceDialogReplace(bool all);

    const QString& SearchText() const { return searchText_; }
    FindReplaceDialog& FindDialog() { return *findDialog_; }
    FindReplaceDialog& ReplaceDialog() { return *replaceDialog_; }
    TDialogGotoLine& GotoLineDialog() { return *gotoLineDialog_; }

private:
    bool ReplaceOnce(TFormEditor& editor);

    EditorWindows& windows_;
    EditorHost& host_;
    QString searchText_;
    std::unique_ptr<FindReplaceDialog> findDialog_;
    std::unique_ptr<FindReplaceDialog> replaceDialog_;
    std::unique_ptr<TDialogGotoLine> gotoLineDialog_;
};
