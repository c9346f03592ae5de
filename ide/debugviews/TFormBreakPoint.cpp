#include "TFormBreakPoint.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

#include "AbstractDevice.h"
#include "BreakpointList.h"
#include "DebugViewHost.h"

TFormBreakPoint::TFormBreakPoint(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement)
    : DebugWindow(owner, host, tolvane::kViewBreakpoints, QStringLiteral("Breakpoints")),
      grid_(new QTableView(this)),
      popup_(new QMenu(this))
{
    SetContent(grid_);
    grid_->setModel(&host.breakpoints());
    grid_->verticalHeader()->hide();
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(grid_->viewport()->mapToGlobal(at)); });
    connect(grid_, &QAbstractItemView::doubleClicked, this, &TFormBreakPoint::openRowAtLine);

    remove_ = popup_->addAction(QStringLiteral("Remove"), this, &TFormBreakPoint::removeSelectedRows);
    remove_->setShortcut(QKeySequence::Delete);
    QAction* selectAll = popup_->addAction(QStringLiteral("Select All"), this, &TFormBreakPoint::selectAllRows);
    selectAll->setShortcut(QKeySequence::SelectAll);
    // The keys act while the grid has the focus, not in the editors.
    for (QAction* action : {remove_, selectAll}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        grid_->addAction(action);
    }

    Place(placement, rect);
}

void TFormBreakPoint::removeSelectedRows()
{
    QList<int> rows;
    for (const QModelIndex& row : grid_->selectionModel()->selectedRows())
        rows << row.row();
    host().breakpoints().deleteRows(rows);
}

void TFormBreakPoint::selectAllRows()
{
    grid_->selectAll();
}

void TFormBreakPoint::openRowAtLine()
{
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid())
        return;
    const SourceBreakpoint breakpoint = host().breakpoints().rows().value(current.row());
    host().openFileAtLine(breakpoint.file, breakpoint.line);
}
