#include "TDialogAddWatch.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "DialogBorder.h"

TDialogAddWatch::TDialogAddWatch(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), ComboBox(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Add Watch"));
    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* bevelLayout = new QVBoxLayout(bevel);
    bevelLayout->addWidget(new QLabel(QStringLiteral("Enter a variable name or select from the list."), bevel));
    ComboBox->setEditable(true);
    ComboBox->setInsertPolicy(QComboBox::NoInsert);
    bevelLayout->addWidget(ComboBox);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bevel);
    layout->addWidget(buttons);
    platform::giveDialogBorder(*this);
}

void TDialogAddWatch::setNames(const QStringList& names)
{
    ComboBox->clear();
    ComboBox->clearEditText();
    ComboBox->addItems(names);
    // Adding to an empty list would show the first name as the text.
    ComboBox->setCurrentIndex(-1);
    ComboBox->clearEditText();
}

QString TDialogAddWatch::text() const
{
    return ComboBox->currentText();
}
