#include "TFormEditor.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "EditorFileError.h"
#include "EditorHost.h"
#include "EditorPrinting.h"
#include "EditorSettings.h"
#include "MessageBoxes.h"
#include "SaveFileDialog.h"

using platform::BoxAnswer;
using platform::BoxButtons;
using platform::BoxIcon;

namespace {

int untitledCounter = 1;

BoxAnswer Confirm(const QString& text, BoxButtons buttons)
{
    return platform::messageBoxes().show(platform::kConfirmCaption, text.toStdString(), buttons, BoxIcon::Question);
}

void ShowFileError(const QString& path, const char* what, const EditorFileError& error)
{
    platform::showError(path.toStdString() + what + error.what());
}

struct PanelLayout {
    int minimumWidth;
    Qt::Alignment alignment;
    const char* text;
    bool bevel;
    // The widest texts the panel shows: its width comes from the font.
    std::initializer_list<const char*> widest;
};

const std::array<PanelLayout, 7> kPanels{{
    {48, Qt::AlignCenter, "", true, {"Modified"}},
    {54, Qt::AlignCenter, "Insert", true, {"Insert", "Overwrite", "Read Only"}},
    {36, Qt::AlignRight | Qt::AlignVCenter, "Line:", false, {"Line:"}},
    {35, Qt::AlignLeft | Qt::AlignVCenter, "1", true, {"0000000"}},
    {44, Qt::AlignRight | Qt::AlignVCenter, "Column:", false, {"Column:"}},
    {35, Qt::AlignLeft | Qt::AlignVCenter, "0", true, {"0000000"}},
    {50, Qt::AlignLeft | Qt::AlignVCenter, "", true, {}},
}};

// The status panels side by side at their widths, in a frame that asks for
// no width of its own: a window narrower than the panels cuts them off at
// its right edge rather than growing wider than the user (or the project)
// made it.
class PanelRow final : public QWidget {
public:
    explicit PanelRow(QWidget* parent) : QWidget(parent), panels_(new QWidget(this)), layout_(new QHBoxLayout(panels_))
    {
        layout_->setContentsMargins(0, 0, 0, 0);
        layout_->setSizeConstraint(QLayout::SetFixedSize);
        // The panels take their size when they are first laid out, which may
        // come after the row's own size.
        panels_->installEventFilter(this);
    }
    void addPanel(QLabel* panel) { layout_->addWidget(panel); }
    QWidget* panelParent() const { return panels_; }
    QSize sizeHint() const override { return panels_->sizeHint(); }
    QSize minimumSizeHint() const override { return {0, panels_->sizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent*) override { centrePanels(); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == panels_ && event->type() == QEvent::Resize)
            centrePanels();
        return false;
    }

private:
    void centrePanels() { panels_->move(0, (height() - panels_->height()) / 2); }

    QWidget* panels_;
    QHBoxLayout* layout_;
};

int PanelWidth(const QLabel& label, const PanelLayout& layout)
{
    const QFontMetrics metrics = label.fontMetrics();
    int text = 0;
    for (const char* widest : layout.widest)
        text = std::max(text, metrics.horizontalAdvance(QString::fromLatin1(widest)));
    // The frame and the label's margin on both sides, and an 'x' of room each side.
    const int extra = 2 * (label.frameWidth() + label.margin()) + metrics.horizontalAdvance(QStringLiteral("xx"));
    return std::max(layout.minimumWidth, text + extra);
}

}  // namespace

TFormEditor::TFormEditor(EditorHost& host, bool readOnly, const QString& path, QWidget* parent)
    : QWidget(parent), host_(host)
{
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    editor_ = new ScintillaEditor(panel, this);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->addWidget(editor_);

    auto* statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    auto* panelRow = new PanelRow(statusBar);
    for (size_t i = 0; i < kPanels.size(); ++i) {
        auto* label = new QLabel(QString::fromLatin1(kPanels[i].text), panelRow->panelParent());
        label->setAlignment(kPanels[i].alignment);
        if (kPanels[i].bevel)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setFixedWidth(PanelWidth(*label, kPanels[i]));
        panelRow->addPanel(label);
        panels_[i] = label;
    }
    statusBar->addWidget(panelRow, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel, 1);
    layout->addWidget(statusBar);

    editor_->SetTabWidth(host_.tabSize());
    editor_->SetUseTabs(host_.useTabs());
    path_ = path;
    if (!path.isEmpty()) {
        try {
            if (!QFileInfo::exists(path))
                throw EditorFileError(EditorFileError::Kind::NotFound, "File Not Found.");
            fileAge_ = editor_->LoadFile(path);
        } catch (...) {
            editor_->DetachOwner();
            throw;
        }
        setWindowTitle(path);
        host_.SyncEditorBreakpoints(*this);
    } else {
        setWindowTitle(QStringLiteral("Untitled ") + QString::number(untitledCounter++));
    }
    overtype_ = false;
    SetReadOnly(readOnly);
}

TFormEditor::~TFormEditor()
{
    // The editor outlives this part of the window while the widget base
    // deletes its children.
    editor_->DetachOwner();
}

QString TFormEditor::StatusText(int panel) const
{
    return panels_.at(static_cast<size_t>(panel))->text();
}

void TFormEditor::SetReadOnly(bool readOnly)
{
    externalEditor_ = ReadUseExternalEditor();
    editor_->SetReadOnly(readOnly || externalEditor_);
    ShowInsertMode();
}

bool TFormEditor::IsReadOnly() const
{
    return editor_->IsReadOnly();
}

void TFormEditor::ShowInsertMode()
{
    if (editor_->IsReadOnly())
        panels_[PanelInsert]->setText(QStringLiteral("Read Only"));
    else
        panels_[PanelInsert]->setText(overtype_ ? QStringLiteral("Overwrite") : QStringLiteral("Insert"));
}

QString TFormEditor::DisplayName() const
{
    return path_.isEmpty() ? windowTitle() : QFileInfo(path_).fileName();
}

void TFormEditor::ToggleBreakpoint(int line, bool notify)
{
    if (path_.isEmpty()) {
        const BoxAnswer answer =
            Confirm(QStringLiteral("File must be saved before adding breakpoints.\r\n\r\nWould you like to save now?"),
                    BoxButtons::YesNo);
        if (answer != BoxAnswer::Yes || Save() != Saved)
            return;
    }
    const bool added = editor_->ToggleBreakpointMarker(line);
    if (!notify)
        return;
    if (added)
        host_.AddBreakpointAt(path_, line);
    else
        host_.RemoveBreakpointAt(path_, line);
}

int TFormEditor::QuerySaveFile()
{
    if (!editor_->IsModified())
        return Saved;
    switch (
        Confirm(QStringLiteral("Save changes to ") + DisplayName() + QStringLiteral("?"), BoxButtons::YesNoCancel)) {
    case BoxAnswer::Yes:
        return Save();
    case BoxAnswer::No:
        return NotSaved;
    default:
        return Cancelled;
    }
}

bool TFormEditor::SaveTo(const QString& path)
{
    try {
        fileAge_ = editor_->SaveFile(path);
        return true;
    } catch (const EditorFileError& error) {
        // The edits stay in the window and the file on disk is untouched.
        ShowFileError(path, " could not be saved: ", error);
        return false;
    }
}

int TFormEditor::Save()
{
    if (path_.isEmpty())
        return SaveAs();
    return SaveTo(path_) ? Saved : Cancelled;
}

int TFormEditor::SaveAs()
{
    SaveFileDialog& dialog = host_.saveDialog();
    const std::string extension = host_.sourceExtension().toStdString();
    for (;;) {
        SaveDialogRequest request;
        request.filter = "Source Files (*." + extension + ")|*." + extension + "|All Files (*.*)|*.*";
        request.filterIndex = 1;
        request.defaultExtension = extension;
        request.initialDirectory = dialog.initialDirectory;
        if (path_.isEmpty()) {
            request.fileName = windowTitle().toStdString();
        } else {
            const QFileInfo file(path_);
            request.fileName = file.fileName().toStdString();
            request.initialDirectory = file.absolutePath().toStdString();
        }
        const std::optional<std::string> chosen = dialog.Execute(request);
        if (!chosen)
            return Cancelled;
        const QString path = QString::fromStdString(*chosen);
        dialog.initialDirectory = QFileInfo(path).absolutePath().toStdString();
        if (QFileInfo::exists(path)) {
            const BoxAnswer answer = Confirm(QStringLiteral("File exists.  Overwrite?"), BoxButtons::YesNoCancel);
            if (answer == BoxAnswer::No)
                continue;
            if (answer != BoxAnswer::Yes)
                return Cancelled;
        }
        // The window takes the new name only once the file is written.
        if (!SaveTo(path))
            return Cancelled;
        // Before the window takes the name: the markers the replaced file's
        // breakpoints take away are those of another window of that file.
        host_.MoveBreakpointsToFile(path_, path);
        path_ = path;
        setWindowTitle(path);
        return Saved;
    }
}

void TFormEditor::EditorActivated()
{
    host_.UpdateFileActions(7);
    editor_->Focus();
    ReloadIfChanged();
    host_.UpdateEditActions(this);
    editor_->GrabFocus();
}

void TFormEditor::ReloadIfChanged()
{
    if (!path_.isEmpty() && !reloading_ && FileAgeOf(path_) > fileAge_) {
        reloading_ = true;
        const bool readOnly = editor_->IsReadOnly();
        editor_->SetReadOnly(false);
        const bool reload =
            externalEditor_
            || Confirm(DisplayName() + QStringLiteral(" has changed.  Reload?"), BoxButtons::YesNo) == BoxAnswer::Yes;
        if (reload) {
            try {
                fileAge_ = editor_->LoadFile(path_);
                host_.SyncEditorBreakpoints(*this);
            } catch (const EditorFileError& error) {
                ShowFileError(path_, " could not be read: ", error);
            }
        }
        editor_->SetReadOnly(readOnly);
        reloading_ = false;
    }
}

void TFormEditor::PrintFile()
{
    PrintEditor(host_, *editor_, path_.isEmpty() ? windowTitle() : path_);
}

void TFormEditor::closeEvent(QCloseEvent* event)
{
    if (QuerySaveFile() == Cancelled) {
        event->ignore();
        return;
    }
    event->accept();
    host_.UpdateFileActions(6);
    host_.UpdateEditActions(nullptr);
}

void TFormEditor::EditorModifiedChanged(bool modified)
{
    panels_[PanelModified]->setText(modified ? QStringLiteral("Modified") : QString());
}

void TFormEditor::EditorOvertypeChanged(bool overtype)
{
    overtype_ = overtype;
    if (!editor_->IsReadOnly())
        ShowInsertMode();
}

void TFormEditor::EditorCaretMoved(int line, int column)
{
    panels_[PanelLine]->setText(QString::number(line));
    panels_[PanelColumn]->setText(QString::number(column));
    host_.UpdateEditActions(this);
}

void TFormEditor::EditorLinesChanged(int firstLine, int count)
{
    // The list follows the markers, which moved with their lines: the lines
    // below the change by the count, the lines a deletion joined onto the
    // first one when one of them kept its marker. Only the list's entries
    // are looked at, so a key costs the same at any length of the text.
    const int lastJoined = count < 0 ? firstLine - count : firstLine;
    const bool marked = editor_->HasBreakpointMarker(firstLine);
    host_.MoveBreakpointLines(path_, [=](int line) {
        if (line < firstLine)
            return line;
        if (line > lastJoined)
            return line + count;
        if (marked)
            return firstLine;
        // Text inserted at the start of the line pushed its marker down; a
        // deleted line took its marker with it.
        return count > 0 ? line + count : 0;
    });
}

void TFormEditor::EditorMarginClicked(int line)
{
    ToggleBreakpoint(line, true);
}
