#include <QAction>
#include <QTableView>
#include <QTest>

#include "DebugViewsFixture.h"
#include "TFormBreakPoint.h"

namespace {

using BreakpointsWindowTest = DebugViewsTest;

TEST_F(BreakpointsWindowTest, TheWindowShowsTheListAndTakesRowsAwayByKey)
{
    auto* form = new TFormBreakPoint(&window, host, QRect(0, 0, 400, 300), TDockableForm::kDockRight);
    settle();
    for (int line : {3, 8, 5})
        host.list.AddBreakpoint(QStringLiteral("/src/main.asm"), line);
    QTableView* grid = form->grid();
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "8");
    EXPECT_EQ(grid->model()->index(1, 1).data().toString(), "/src/main.asm");

    // A double click opens the row's file at its line.
    const QPoint row3 = grid->visualRect(grid->model()->index(2, 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row3);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, row3);
    EXPECT_EQ(host.opened, QStringList{"/src/main.asm:5"});

    // Del takes the selected rows; Ctrl+A then Del takes every one.
    grid->setFocus();
    grid->selectRow(1);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(host.list.linesIn(QStringLiteral("/src/main.asm")), QList<int>({3, 5}));
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 2);
    form->removeAction()->trigger();
    EXPECT_EQ(host.list.rowCount(), 0);
}

}  // namespace
