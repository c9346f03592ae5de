#pragma once
// Types into a grid cell as a user does: the cell's in-place editor opens,
// takes the keys and is committed with Enter, so the edit reaches the model
// through the view's delegate.

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

inline bool typeIntoCell(QAbstractItemView& view, const QModelIndex& cell, const QString& text)
{
    view.setCurrentIndex(cell);
    view.edit(cell);
    QApplication::processEvents();
    QLineEdit* editor = nullptr;
    for (QLineEdit* open : view.viewport()->findChildren<QLineEdit*>())
        if (open->isVisible())
            editor = open;
    if (!editor)
        return false;
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // A refusal's box is shown after the editor has closed.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    return true;
}
