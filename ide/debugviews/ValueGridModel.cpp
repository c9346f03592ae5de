#include "ValueGridModel.h"

#include <QApplication>
#include <QPalette>

#include "DebugWindow.h"

namespace {

const char* const kValueTitles[] = {"Dec", "Hex", "Bin", "Addr"};

}  // namespace

ValueGridModel::ValueGridModel(QString nameTitle, QObject* parent)
    : EditableGridModel(parent), nameTitle_(std::move(nameTitle))
{}

bool ValueGridModel::isValueKind(int kind)
{
    return kind == Decimal || kind == Hexadecimal || kind == Binary;
}

gridvalues::Radix ValueGridModel::radixOf(int kind)
{
    switch (kind) {
    case Decimal:
        return gridvalues::Radix::Decimal;
    case Binary:
        return gridvalues::Radix::Binary;
    default:
        break;
    }
    return gridvalues::Radix::Hexadecimal;
}

int ValueGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : KindCount;
}

QVariant ValueGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= KindCount)
        return {};
    const auto kind = static_cast<Kind>(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cellText(index.row(), kind);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (kind == Name ? Qt::AlignLeft : Qt::AlignHCenter));
    case Qt::FontRole:
        if (kind != Name)
            return DebugWindow::gridFont();
        return {};
    case Qt::BackgroundRole:
        if (kind == Name)
            return QApplication::palette().button();
        return {};
    default:
        return {};
    }
}

QVariant ValueGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= KindCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == Name ? nameTitle_ : QString::fromLatin1(kValueTitles[section - 1]);
}

Qt::ItemFlags ValueGridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.row() < rowCount() && isValueKind(index.column()) && rowEditable(index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

void ValueGridModel::allChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, KindCount - 1));
}
