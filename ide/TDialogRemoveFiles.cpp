#include "TDialogRemoveFiles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "DialogBorder.h"

TDialogRemoveFiles::TDialogRemoveFiles(const QString& kind, const QStringList& items, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), list_(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Remove ") + kind);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->addItems(items);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    // The two buttons stay centred, 10 pixels apart.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addSpacing(10);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select the ") + kind + QStringLiteral(" you want to remove."), this));
    layout->addWidget(list_);
    layout->addLayout(buttons);
    platform::giveDialogBorder(*this, platform::DialogSizing::Sizable);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QList<int> TDialogRemoveFiles::SelectedIndices() const
{
    QList<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}
