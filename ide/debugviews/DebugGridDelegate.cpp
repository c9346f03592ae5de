#include "DebugGridDelegate.h"

#include <QGuiApplication>
#include <QLineEdit>

#include "EditableGridModel.h"
#include "HourglassCursor.h"
#include "MessageBoxes.h"

namespace {

// The text the editor showed before the user typed.
constexpr char kShownText[] = "shownText";

}  // namespace

void DebugGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    QStyledItemDelegate::setEditorData(editor, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setProperty(kShownText, line->text());
}

void DebugGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* grid = qobject_cast<EditableGridModel*>(model);
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!grid || !line) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // Writing back what is shown could still change the target (a register
    // mapped to hardware) or refuse a text the grid itself made ("N/A").
    if (line->text() == line->property(kShownText).toString())
        return;
    {
        platform::HourglassCursor busy;
        grid->setData(index, line->text(), Qt::EditRole);
    }
    const std::optional<QString> message = grid->takeEditMessage();
    if (!message)
        return;
    // A box opened while the editor still has the focus would commit it again.
    QMetaObject::invokeMethod(
        grid,
        [text = message->toStdString()] {
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
            platform::showError(text);
            QGuiApplication::restoreOverrideCursor();
        },
        Qt::QueuedConnection);
}
