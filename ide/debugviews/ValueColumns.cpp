#include "ValueColumns.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <algorithm>

ValueColumns::ValueColumns(QTableView& grid, QMenu& popup, std::string settingsPrefix)
    : QObject(&grid), grid_(grid), settingsPrefix_(std::move(settingsPrefix))
{
    grid_.horizontalHeader()->setSectionsMovable(true);
    grid_.horizontalHeader()->setStretchLastSection(true);
    connect(grid_.horizontalHeader(), &QHeaderView::sectionMoved, this, &ValueColumns::StringGridColumnMoved);

    const std::pair<Kind, const char*> entries[] = {{ValueGridModel::Decimal, "Decimal"},
                                                    {ValueGridModel::Hexadecimal, "Hexadecimal"},
                                                    {ValueGridModel::Binary, "Binary"},
                                                    {ValueGridModel::Address, "Address"}};
    for (const auto& [kind, caption] : entries) {
        QAction* action = popup.addAction(QString::fromLatin1(caption));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, kind = kind] {
            // The entry checked itself; the switch flips it back and moves the column.
            switches_[kind]->setChecked(!switches_[kind]->isChecked());
            MenuItemClicked(kind);
        });
        switches_[kind] = action;
    }
}

void ValueColumns::reset()
{
    positions_ = {0, 1, 2, 3, 4};
    columnCount_ = ValueGridModel::Address;
    for (Kind kind : {ValueGridModel::Decimal, ValueGridModel::Hexadecimal, ValueGridModel::Binary})
        switches_[kind]->setChecked(true);
    switches_[ValueGridModel::Address]->setChecked(false);
    applyPositions();
}

ViewSwitches ValueColumns::switches() const
{
    return {switches_[ValueGridModel::Hexadecimal]->isChecked(), switches_[ValueGridModel::Decimal]->isChecked(),
            switches_[ValueGridModel::Binary]->isChecked(), switches_[ValueGridModel::Address]->isChecked()};
}

void ValueColumns::restore()
{
    const StoredViewSwitches stored = readViewSwitches(settingsPrefix_);
    const std::pair<Kind, std::optional<bool>> order[] = {{ValueGridModel::Hexadecimal, stored.hex},
                                                          {ValueGridModel::Decimal, stored.decimal},
                                                          {ValueGridModel::Binary, stored.binary},
                                                          {ValueGridModel::Address, stored.address}};
    for (const auto& [kind, value] : order)
        if (value && *value != switches_[kind]->isChecked())
            MenuItemClicked(kind);
}

void ValueColumns::save() const
{
    writeViewSwitches(settingsPrefix_, switches());
}

void ValueColumns::MenuItemClicked(Kind kind)
{
    const bool shown = !switches_[kind]->isChecked();
    switches_[kind]->setChecked(shown);
    std::array<int, ValueGridModel::KindCount> order{};
    for (int k = 0; k < ValueGridModel::KindCount; ++k)
        order[static_cast<size_t>(positions_[k])] = k;
    // The column moves to the first hidden place, or to the very end.
    const int from = positions_[kind];
    const int to = shown ? columnCount_ : ValueGridModel::KindCount - 1;
    if (from < to)
        std::rotate(order.begin() + from, order.begin() + from + 1, order.begin() + to + 1);
    else if (from > to)
        std::rotate(order.begin() + to, order.begin() + from, order.begin() + from + 1);
    for (int position = 0; position < ValueGridModel::KindCount; ++position)
        positions_[order[static_cast<size_t>(position)]] = position;
    columnCount_ += shown ? 1 : -1;
    applyPositions();
    fit();
}

void ValueColumns::applyPositions()
{
    placingColumns_ = true;
    QHeaderView* header = grid_.horizontalHeader();
    for (int position = 0; position < ValueGridModel::KindCount; ++position) {
        const int kind =
            static_cast<int>(std::find(positions_.begin(), positions_.end(), position) - positions_.begin());
        header->moveSection(header->visualIndex(kind), position);
        header->setSectionHidden(kind, position >= columnCount_);
    }
    placingColumns_ = false;
}

void ValueColumns::StringGridColumnMoved()
{
    if (placingColumns_)
        return;
    QHeaderView* header = grid_.horizontalHeader();
    // The names stay the first column.
    if (header->visualIndex(ValueGridModel::Name) == 0) {
        std::array<int, ValueGridModel::KindCount> order{0, 1, 2, 3, 4};
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const bool aShown = positions_[a] < columnCount_;
            const bool bShown = positions_[b] < columnCount_;
            if (aShown != bShown)
                return aShown;
            return header->visualIndex(a) < header->visualIndex(b);
        });
        for (int position = 0; position < ValueGridModel::KindCount; ++position)
            positions_[order[static_cast<size_t>(position)]] = position;
    }
    applyPositions();
}

void ValueColumns::fit()
{
    const QAbstractItemModel* model = grid_.model();
    if (!model)
        return;
    const QFontMetrics metrics(grid_.font());
    int widest = metrics.horizontalAdvance(model->headerData(ValueGridModel::Name, Qt::Horizontal).toString());
    for (int row = 0; row < model->rowCount(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(model->index(row, ValueGridModel::Name).data().toString()));
    QHeaderView* header = grid_.horizontalHeader();
    header->resizeSection(ValueGridModel::Name, widest + 8);
    for (int kind = ValueGridModel::Decimal; kind < ValueGridModel::KindCount; ++kind) {
        const int before = header->sectionSize(kind);
        grid_.resizeColumnToContents(kind);
        header->resizeSection(kind, std::max(before, header->sectionSize(kind)));
    }
}
