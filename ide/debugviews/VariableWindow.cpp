#include "VariableWindow.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableView>

#include "HourglassCursor.h"

VariableWindow::VariableWindow(QMainWindow* owner, DebugViewHost& host, int viewId, const QString& caption,
                               const char* settingsPrefix)
    : DebugWindow(owner, host, viewId, caption),
      model_(host, this),
      grid_(new QTableView(this)),
      popup_(new QMenu(this))
{
    setContentStack({grid_});
    setUpEditableGrid(*grid_, model_);
    grid_->verticalHeader()->hide();
    columns_ = new ValueColumns(*grid_, *popup_, settingsPrefix);
    popup_->addSeparator();
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(grid_->viewport()->mapToGlobal(at)); });
}

void VariableWindow::ResetView()
{
    columns_->reset();
    RefreshView();
    columns_->restore();
    columns_->fit();
}

void VariableWindow::RefreshView()
{
    if (!beginViewRefresh())
        return;
    platform::HourglassCursor busy;
    fillRows(*currentDevice());
    model_.showChanges();
    columns_->fit();
}

void VariableWindow::saveAtClose()
{
    columns_->save();
}

std::optional<int> VariableWindow::selectedRow() const
{
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return current.row();
}
