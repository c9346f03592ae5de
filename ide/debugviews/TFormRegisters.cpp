#include "TFormRegisters.h"

#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "AbstractDevice.h"
#include "HourglassCursor.h"

namespace {

constexpr int kGroupPanelHeight = 30;

}  // namespace

TFormRegisters::TFormRegisters(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement)
    : DebugWindow(owner, host, tolvane::kViewRegisters, QStringLiteral("Registers")),
      model_(host, this),
      top_(new QWidget(this)),
      groups_(new QComboBox(top_)),
      grid_(new QTableView(this)),
      popup_(new QMenu(this))
{
    auto* topLayout = new QVBoxLayout(top_);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(groups_);
    top_->setFixedHeight(kGroupPanelHeight);
    setContentStack({top_, grid_});

    setUpEditableGrid(*grid_, model_);
    grid_->verticalHeader()->hide();
    columns_ = new ValueColumns(*grid_, *popup_, "Registers");
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(grid_->viewport()->mapToGlobal(at)); });
    connect(groups_, &QComboBox::currentIndexChanged, this, &TFormRegisters::applyGroupFilter);

    ResetView();
    Place(placement, rect);
}

void TFormRegisters::ResetView()
{
    rebuild_ = false;
    {
        platform::HourglassCursor busy;
        const int kept = groups_->count() > 0 ? groups_->currentIndex() : 0;
        rebuild_ = !model_.rebuild();
        const QStringList& names = model_.groupNames();
        {
            const QSignalBlocker quiet(groups_);
            groups_->clear();
            groups_->addItems(names);
            if (!names.isEmpty())
                groups_->setCurrentIndex(std::clamp(kept, 0, static_cast<int>(names.size()) - 1));
        }
        top_->setVisible(!names.isEmpty());
        columns_->reset();
    }
    if (!rebuild_) {
        RefreshView();
        applyGroupFilter();
    } else if (!currentDevice()) {
        ShowDataNotAccessible(true);
    }
    columns_->restore();
    columns_->fit();
}

void TFormRegisters::RefreshView()
{
    if (rebuild_) {
        ResetView();
        if (!rebuild_)
            return;
    }
    if (!beginViewRefresh())
        return;
    platform::HourglassCursor busy;
    model_.refresh();
    columns_->fit();
}

void TFormRegisters::saveAtClose()
{
    columns_->save();
}

void TFormRegisters::applyGroupFilter()
{
    const bool grouped = !model_.groupNames().isEmpty();
    const int group = groups_->currentIndex();
    for (int row = 0; row < model_.rowCount(); ++row) {
        const bool member = !grouped || (group >= 0 && group < 32 && (model_.groupMask(row) >> group) & 1u);
        grid_->setRowHidden(row, !member);
    }
}
