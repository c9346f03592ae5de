#include "SearchCommands.h"

#include <QLineEdit>

#include "Beep.h"
#include "EditorHost.h"
#include "EditorText.h"
#include "EditorWindows.h"
#include "FindReplaceDialog.h"
#include "TDialogGotoLine.h"
#include "TFormEditor.h"

namespace {

// Also when it is open already: to the front, with the keyboard in its find text.
void Present(FindReplaceDialog& dialog)
{
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.FindEdit().setFocus();
    dialog.FindEdit().selectAll();
}

}  // namespace

SearchCommands::SearchCommands(EditorWindows& windows, EditorHost& host, QWidget* dialogParent)
    : windows_(windows),
      host_(host),
      findDialog_(std::make_unique<FindReplaceDialog>(FindReplaceDialog::Mode::Find, dialogParent)),
      replaceDialog_(std::make_unique<FindReplaceDialog>(FindReplaceDialog::Mode::Replace, dialogParent)),
      gotoLineDialog_(std::make_unique<TDialogGotoLine>(dialogParent))
{
    connect(findDialog_.get(), &FindReplaceDialog::FindRequested, this, &SearchCommands::FindDialogFind);
    connect(replaceDialog_.get(), &FindReplaceDialog::FindRequested, this, &SearchCommands::ReplaceDialogFind);
    connect(replaceDialog_.get(), &FindReplaceDialog::ReplaceRequested, this, &SearchCommands::ReplaceDialogReplace);
}

SearchCommands::~SearchCommands() = default;

void SearchCommands::ActionFindExecute()
{
    Present(*findDialog_);
}

void SearchCommands::ActionReplaceExecute()
{
    Present(*replaceDialog_);
}

void SearchCommands::FindDialogFind()
{
    searchText_ = findDialog_->FindText();
    replaceDialog_->SetFindText(searchText_);
    ActionFindNextExecute();
}

void SearchCommands::ActionFindNextExecute()
{
    if (searchText_.isEmpty()) {
        ActionFindExecute();
        return;
    }
    if (TFormEditor* editor = windows_.FrontEditor())
        editor->FindText(EditorBytes(searchText_), findDialog_->Options(), true);
}

void SearchCommands::ReplaceDialogFind()
{
    searchText_ = replaceDialog_->FindText();
    findDialog_->SetFindText(searchText_);
    if (TFormEditor* editor = windows_.FrontEditor())
        editor->FindText(EditorBytes(searchText_), replaceDialog_->Options(), true);
}

void SearchCommands::ReplaceDialogReplace(bool all)
{
    TFormEditor* editor = windows_.FrontEditor();
    if (!editor)
        return;
    // An empty text would match everywhere, and a read-only text would never
    // change: either way a replace-all would not end.
    if (replaceDialog_->FindText().isEmpty() || editor->IsReadOnly()) {
        Beep();
        return;
    }
    if (!all) {
        ReplaceOnce(*editor);
        return;
    }
    int count = 0;
    while (ReplaceOnce(*editor))
        ++count;
    if (count > 0)
        host_.AddMessage(QString::number(count)
                         + (count == 1 ? QStringLiteral(" occurrence") : QStringLiteral(" occurrences"))
                         + QStringLiteral(" of ") + replaceDialog_->FindText() + QStringLiteral(" were replaced."));
}

bool SearchCommands::ReplaceOnce(TFormEditor& editor)
{
    const std::string find = EditorBytes(replaceDialog_->FindText());
    const SearchOptions options = replaceDialog_->Options();
    // Not "next": a match that is already selected is the one replaced.
    if (editor.FindText(find, options, false) == -1) {
        Beep();
        return false;
    }
    editor.ReplaceSelection(EditorBytes(replaceDialog_->ReplaceText()));
    editor.FindText(find, options, false);
    return true;
}

void SearchCommands::ActionGotoLineExecute()
{
    TFormEditor* editor = windows_.FrontEditor();
    if (!editor)
        return;
    if (gotoLineDialog_->exec() == QDialog::Accepted)
        editor->GotoLine(gotoLineDialog_->LineNumber());
}
