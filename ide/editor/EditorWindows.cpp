#include "EditorWindows.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "EditorFileError.h"
#include "EditorHost.h"
#include "EditorSettings.h"
#include "MessageBoxes.h"
#include "TDialogTabOptions.h"
#include "TFormEditor.h"

namespace {

// Files are the same when their canonical paths are (names are case-sensitive).
QString CanonicalPath(const QString& path)
{
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(file.absoluteFilePath()) : canonical;
}

}  // namespace

TFormEditor* EditorWindows::EditorIn(QMdiSubWindow* window)
{
    return window ? qobject_cast<TFormEditor*>(window->widget()) : nullptr;
}

EditorWindows::EditorWindows(EditorHost& host, QMdiArea& area) : host_(host), area_(area)
{
    connect(&area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        // An editor that was focused while it was in front, without ever
        // getting the keyboard, would go on drawing its caret behind.
        for (TFormEditor* editor : Editors())
            if (editor->parentWidget() != window)
                editor->Editor().SendEditor(QsciScintillaBase::SCI_SETFOCUS, 0);
        if (TFormEditor* editor = EditorIn(window))
            editor->EditorActivated();
    });
    // Files changed outside the IDE are noticed when the user comes back.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            ActivateEditors();
    });
}

QList<TFormEditor*> EditorWindows::Editors() const
{
    QList<TFormEditor*> editors;
    for (QMdiSubWindow* window : area_.subWindowList(QMdiArea::CreationOrder))
        if (TFormEditor* editor = EditorIn(window))
            editors << editor;
    return editors;
}

TFormEditor* EditorWindows::FrontEditor() const
{
    return EditorIn(area_.currentSubWindow());
}

TFormEditor* EditorWindows::FindEditor(const QString& path) const
{
    if (path.isEmpty())
        return nullptr;
    const QString wanted = CanonicalPath(path);
    for (TFormEditor* editor : Editors())
        if (!editor->FilePath().isEmpty() && CanonicalPath(editor->FilePath()) == wanted)
            return editor;
    return nullptr;
}

QMdiSubWindow* EditorWindows::WindowOf(TFormEditor* editor) const
{
    return qobject_cast<QMdiSubWindow*>(editor->parentWidget());
}

TFormEditor* EditorWindows::AddWindow(TFormEditor* editor)
{
    auto* window = new QMdiSubWindow;
    window->setWidget(editor);
    window->setAttribute(Qt::WA_DeleteOnClose);
    area_.addSubWindow(window);
    window->show();
    area_.setActiveSubWindow(window);
    return editor;
}

TFormEditor* EditorWindows::OpenEditor(const QString& path)
{
    if (TFormEditor* existing = FindEditor(path)) {
        QMdiSubWindow* window = WindowOf(existing);
        window->show();
        area_.setActiveSubWindow(window);
        return existing;
    }
    return AddWindow(new TFormEditor(host_, host_.debugState() != 1, path));
}

TFormEditor* EditorWindows::OpenEditorWithLayout(const QString& path, int state, int left, int top, int right,
                                                 int bottom)
{
    TFormEditor* editor = OpenEditor(path);
    QMdiSubWindow* window = WindowOf(editor);
    window->setGeometry(left, top, right - left, bottom - top);
    if (state == Zoomed)
        window->showMaximized();
    else if (state == Minimised)
        window->showMinimized();
    else if (state == Normal)
        window->showNormal();
    return editor;
}

TFormEditor* EditorWindows::NewFile()
{
    return AddWindow(new TFormEditor(host_, host_.debugState() != 1, QString()));
}

TFormEditor* EditorWindows::OpenCatching(const QString& path, Opening& result)
{
    try {
        TFormEditor* editor = OpenEditor(path);
        result = Opening::Opened;
        return editor;
    } catch (const EditorFileError& error) {
        if (error.kind() == EditorFileError::Kind::NotFound) {
            result = Opening::FileNotFound;
        } else {
            result = Opening::OtherFailure;
            platform::showError(path.toStdString() + " could not be read: " + error.what());
        }
        return nullptr;
    }
}

EditorWindows::Opening EditorWindows::TryOpenEditor(const QString& path)
{
    Opening result;
    OpenCatching(path, result);
    return result;
}

TFormEditor* EditorWindows::OpenOrReport(const QString& path)
{
    Opening result;
    TFormEditor* editor = OpenCatching(path, result);
    if (result == Opening::FileNotFound)
        platform::showError(path.toStdString() + " does not exist.");
    return editor;
}

bool EditorWindows::OpenFileAtLine(const QString& path, int line)
{
    TFormEditor* editor = OpenOrReport(path);
    if (editor)
        editor->GotoLine(line);
    return editor != nullptr;
}

bool EditorWindows::OpenFileAtMatch(const QString& path, int line, int column, int length)
{
    TFormEditor* editor = OpenOrReport(path);
    if (editor)
        editor->SelectAt(line, column, length);
    return editor != nullptr;
}

void EditorWindows::ShowSourceLine(const QString& path, int line)
{
    ClearExecutionLines();
    if (path.isEmpty())
        return;
    if (TFormEditor* editor = OpenOrReport(path))
        editor->SetExecutionLine(line);
}

void EditorWindows::ClearExecutionLines()
{
    for (TFormEditor* editor : Editors())
        editor->SetExecutionLine(-1);
}

void EditorWindows::SetFrontExecutionLine(int line)
{
    if (TFormEditor* editor = FrontEditor())
        editor->SetExecutionLine(line);
}

void EditorWindows::ActivateEditors()
{
    // Only the front window is activated: the actions follow it and only it
    // takes the focus. The others look at their files all the same.
    TFormEditor* front = FrontEditor();
    for (TFormEditor* editor : Editors())
        if (editor != front)
            editor->ReloadIfChanged();
    if (front)
        front->EditorActivated();
}

int EditorWindows::SaveAllFiles(bool ask)
{
    for (TFormEditor* editor : Editors())
        if (SaveEditor(*editor, ask) == TFormEditor::Cancelled)
            return TFormEditor::Cancelled;
    return TFormEditor::Saved;
}

int EditorWindows::SaveEditor(TFormEditor& editor, bool ask)
{
    if (ask)
        return editor.QuerySaveFile();
    host_.AddMessage(QStringLiteral("Saving file: ") + editor.windowTitle());
    return editor.Save();
}

void EditorWindows::ToggleEditorBreakpoint(const QString& path, int line)
{
    if (TFormEditor* editor = FindEditor(path))
        editor->ToggleBreakpoint(line, false);
}

void EditorWindows::SetEditorsReadOnly(bool readOnly)
{
    for (TFormEditor* editor : Editors())
        editor->SetReadOnly(readOnly);
}

bool EditorWindows::ActionTabOptionsExecute(QWidget* parent)
{
    TDialogTabOptions dialog(parent);
    dialog.SetValues(host_.tabSize(), host_.useTabs());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    ApplyTabOptions(dialog.TabSize(), !dialog.ReplaceTabs());
    return true;
}

void EditorWindows::ApplyTabOptions(int tabSize, bool useTabs)
{
    for (TFormEditor* editor : Editors()) {
        editor->SetTabWidth(tabSize);
        editor->SetUseTabs(useTabs);
    }
    WriteSettingInteger("TabSize", tabSize);
    WriteSettingBool("UseTabs", useTabs);
    host_.setTabOptions(tabSize, useTabs);
}

void EditorWindows::ApplyEditorFont(const EditorFont& font)
{
    ScintillaEditor::ApplyEditorFont(font, nullptr);
    for (TFormEditor* editor : Editors())
        editor->ApplyEditorFont(font);
}
