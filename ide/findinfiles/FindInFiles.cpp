#include "FindInFiles.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMainWindow>

#include "AbstractDevice.h"
#include "EditorHost.h"
#include "EditorText.h"
#include "EditorWindows.h"
#include "FileWalk.h"
#include "TDialogFindInFiles.h"
#include "TFormEditor.h"
#include "TFormFindInFiles.h"
#include "ToolWindows.h"

namespace {

std::string bytesOf(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

}  // namespace

FindInFilesCommand::FindInFilesCommand(ToolWindows& windows, EditorWindows& editors, EditorHost& editorHost,
                                       FindInFilesHost host, QWidget* dialogParent, QObject* parent)
    : QObject(parent),
      windows_(windows),
      editors_(editors),
      editorHost_(editorHost),
      host_(std::move(host)),
      dialog_(new TDialogFindInFiles(dialogParent))
{}

FindInFilesCommand::~FindInFilesCommand()
{
    delete dialog_;
}

TDialogFindInFiles& FindInFilesCommand::Dialog() const
{
    return *dialog_;
}

findinfiles::SearchRequest FindInFilesCommand::RequestFromDialog() const
{
    findinfiles::SearchRequest request;
    request.text = EditorBytes(dialog_->TextToFind());
    request.rules = {dialog_->CaseSensitive(), dialog_->WholeWords()};
    request.currentFolder = bytesOf(QDir::currentPath());
    request.projectScope = dialog_->SearchProject();
    if (request.projectScope)
        for (const QString& file : host_.projectFiles().value_or(QStringList()))
            request.projectFiles.push_back(bytesOf(file));
    request.field = bytesOf(dialog_->FileMask());
    request.subfolders = dialog_->IncludeSubdirectories();
    request.tabWidth = editorHost_.tabSize();
    for (TFormEditor* editor : editors_.Editors())
        if (!editor->FilePath().isEmpty())
            request.openTexts.emplace(findinfiles::canonicalPath(bytesOf(editor->FilePath()), request.currentFolder),
                                      editor->Editor().Text());
    return request;
}

void FindInFilesCommand::ActionFindInFilesExecute()
{
    dialog_->EnableProjectScope(host_.projectFiles().has_value());
    dialog_->SetBrowseFolder(host_.browseFolder());
    if (dialog_->exec() != QDialog::Accepted)
        return;
    if (auto* results = qobject_cast<TFormFindInFiles*>(windows_.show(tolvane::kViewFindInFiles)))
        results->StartSearch(RequestFromDialog());
}

void registerFindInFiles(ToolWindows& windows, QAction* findInFiles, EditorWindows& editors, EditorHost& editorHost,
                         FindInFilesHost host, QWidget* dialogParent)
{
    ToolWindows::Kind kind;
    kind.id = tolvane::kViewFindInFiles;
    kind.defaultPlacement = TDockableForm::kDockBottom;
    kind.create = [&editors](QMainWindow& owner, std::optional<QRect> rect, int placement) {
        return new TFormFindInFiles(&owner, rect, placement, [&editors](const TFindObject& hit) {
            editors.OpenFileAtMatch(hit.file, hit.line, hit.column, hit.length);
        });
    };
    windows.registerKind(std::move(kind));
    auto* command = new FindInFilesCommand(windows, editors, editorHost, std::move(host), dialogParent, &windows);
    QObject::connect(findInFiles, &QAction::triggered, command, &FindInFilesCommand::ActionFindInFilesExecute);
}
