#include "TFormRegisters.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "AbstractDevice.h"
#include "HourglassCursor.h"

namespace {

using Kind = RegisterTableModel::Kind;

constexpr int kGroupPanelHeight = 30;
const char kSettingsPrefix[] = "Registers";

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
    grid_->horizontalHeader()->setSectionsMovable(true);
    grid_->horizontalHeader()->setStretchLastSection(true);
    connect(grid_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->popup(grid_->viewport()->mapToGlobal(at)); });
    connect(grid_->horizontalHeader(), &QHeaderView::sectionMoved, this, &TFormRegisters::StringGridColumnMoved);
    connect(groups_, &QComboBox::currentIndexChanged, this, &TFormRegisters::applyGroupFilter);

    const std::pair<Kind, const char*> entries[] = {{RegisterTableModel::Decimal, "Decimal"},
                                                    {RegisterTableModel::Hexadecimal, "Hexadecimal"},
                                                    {RegisterTableModel::Binary, "Binary"},
                                                    {RegisterTableModel::Address, "Address"}};
    for (const auto& [kind, caption] : entries) {
        QAction* action = popup_->addAction(QString::fromLatin1(caption));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, kind = kind] {
            // The entry checked itself; the switch flips it back and moves the column.
            switches_[kind]->setChecked(!switches_[kind]->isChecked());
            MenuItemClicked(kind);
        });
        switches_[kind] = action;
    }

    ResetView();
    Place(placement, rect);
}

ViewSwitches TFormRegisters::switches() const
{
    return {switches_[RegisterTableModel::Hexadecimal]->isChecked(),
            switches_[RegisterTableModel::Decimal]->isChecked(), switches_[RegisterTableModel::Binary]->isChecked(),
            switches_[RegisterTableModel::Address]->isChecked()};
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

        positions_ = {0, 1, 2, 3, 4};
        columnCount_ = RegisterTableModel::Address;
        for (Kind kind : {RegisterTableModel::Decimal, RegisterTableModel::Hexadecimal, RegisterTableModel::Binary})
            switches_[kind]->setChecked(true);
        switches_[RegisterTableModel::Address]->setChecked(false);
        applyPositions();
    }
    if (!rebuild_) {
        RefreshView();
        applyGroupFilter();
    }
    restoreSwitches();
    fitColumns();
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
    fitColumns();
}

void TFormRegisters::saveAtClose()
{
    writeViewSwitches(kSettingsPrefix, switches());
}

void TFormRegisters::restoreSwitches()
{
    const StoredViewSwitches stored = readViewSwitches(kSettingsPrefix);
    const std::pair<Kind, std::optional<bool>> order[] = {{RegisterTableModel::Hexadecimal, stored.hex},
                                                          {RegisterTableModel::Decimal, stored.decimal},
                                                          {RegisterTableModel::Binary, stored.binary},
                                                          {RegisterTableModel::Address, stored.address}};
    for (const auto& [kind, value] : order)
        if (value && *value != switches_[kind]->isChecked())
            MenuItemClicked(kind);
}

void TFormRegisters::MenuItemClicked(Kind kind)
{
    const bool shown = !switches_[kind]->isChecked();
    switches_[kind]->setChecked(shown);
    std::array<int, RegisterTableModel::KindCount> order{};
    for (int k = 0; k < RegisterTableModel::KindCount; ++k)
        order[static_cast<size_t>(positions_[k])] = k;
    // The column moves to the first hidden place, or to the very end.
    const int from = positions_[kind];
    const int to = shown ? columnCount_ : RegisterTableModel::KindCount - 1;
    if (from < to)
        std::rotate(order.begin() + from, order.begin() + from + 1, order.begin() + to + 1);
    else if (from > to)
        std::rotate(order.begin() + to, order.begin() + from, order.begin() + from + 1);
    for (int position = 0; position < RegisterTableModel::KindCount; ++position)
        positions_[order[static_cast<size_t>(position)]] = position;
    columnCount_ += shown ? 1 : -1;
    applyPositions();
    fitColumns();
}

void TFormRegisters::applyPositions()
{
    placingColumns_ = true;
    QHeaderView* header = grid_->horizontalHeader();
    for (int position = 0; position < RegisterTableModel::KindCount; ++position) {
        const int kind =
            static_cast<int>(std::find(positions_.begin(), positions_.end(), position) - positions_.begin());
        header->moveSection(header->visualIndex(kind), position);
        header->setSectionHidden(kind, position >= columnCount_);
    }
    placingColumns_ = false;
}

void TFormRegisters::StringGridColumnMoved()
{
    if (placingColumns_)
        return;
    QHeaderView* header = grid_->horizontalHeader();
    // The register names stay the first column.
    if (header->visualIndex(RegisterTableModel::Name) == 0) {
        std::array<int, RegisterTableModel::KindCount> order{0, 1, 2, 3, 4};
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const bool aShown = positions_[a] < columnCount_;
            const bool bShown = positions_[b] < columnCount_;
            if (aShown != bShown)
                return aShown;
            return header->visualIndex(a) < header->visualIndex(b);
        });
        for (int position = 0; position < RegisterTableModel::KindCount; ++position)
            positions_[order[static_cast<size_t>(position)]] = position;
    }
    applyPositions();
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

void TFormRegisters::fitColumns()
{
    const QFontMetrics metrics(grid_->font());
    int widest = metrics.horizontalAdvance(QStringLiteral("Register"));
    for (int row = 0; row < model_.rowCount(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(model_.registerName(row)));
    QHeaderView* header = grid_->horizontalHeader();
    header->resizeSection(RegisterTableModel::Name, widest + 8);
    // Value columns widen to what they show, never narrow: no jumping while stepping.
    for (int kind = RegisterTableModel::Decimal; kind < RegisterTableModel::KindCount; ++kind) {
        const int before = header->sectionSize(kind);
        grid_->resizeColumnToContents(kind);
        header->resizeSection(kind, std::max(before, header->sectionSize(kind)));
    }
}
