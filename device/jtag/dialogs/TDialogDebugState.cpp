#include "TDialogDebugState.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DeviceDialogFrame.h"
#include "MessageBoxes.h"
#include "TrafficLog.h"

namespace zern {

TDialogDebugState::TDialogDebugState(TrafficLog& log, const QString& fileName, QWidget* owner)
    : QDialog(owner),
      LabelName(new QLabel(QStringLiteral("Log File:"), this)),
      EditName(new QLineEdit(fileName, this)),
      ButtonClear(new QPushButton(QStringLiteral("Clear Log"), this)),
      CheckBoxRead(new QCheckBox(QStringLiteral("Log Reads"), this)),
      CheckBoxWrite(new QCheckBox(QStringLiteral("Log Writes"), this)),
      ButtonOK(new QPushButton(QStringLiteral("OK"), this)),
      ButtonCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      log_(log)
{
    setWindowTitle(QStringLiteral("Debug Log"));
    LabelName->setObjectName(QStringLiteral("LabelName"));
    EditName->setObjectName(QStringLiteral("EditName"));
    ButtonClear->setObjectName(QStringLiteral("ButtonClear"));
    CheckBoxRead->setObjectName(QStringLiteral("CheckBoxRead"));
    CheckBoxWrite->setObjectName(QStringLiteral("CheckBoxWrite"));
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    EditName->setMinimumWidth(280);

    auto* name = new QHBoxLayout;
    name->addWidget(LabelName);
    name->addWidget(EditName, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(CheckBoxRead);
    checks->addWidget(CheckBoxWrite);
    checks->addStretch(1);
    QHBoxLayout* buttons = okCancelRow(*this, ButtonOK, ButtonCancel);
    buttons->insertWidget(0, ButtonClear);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(name);
    layout->addLayout(checks);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(ButtonClear, &QPushButton::clicked, this, &TDialogDebugState::ButtonClearClick);
    FormShow();
}

void TDialogDebugState::FormShow()
{
    CheckBoxRead->setChecked(log_.logReads);
    CheckBoxWrite->setChecked(log_.logWrites);
    showLogState();
}

void TDialogDebugState::showLogState()
{
    const bool logging = log_.isOpen();
    EditName->setVisible(!logging);
    LabelName->setVisible(!logging);
    ButtonOK->setText(logging ? QStringLiteral("Stop") : QStringLiteral("Start"));
    ButtonClear->setVisible(logging);
    // Enter starts or stops; Clear Log is a click of its own.
    ButtonClear->setAutoDefault(false);
    (logging ? static_cast<QWidget*>(ButtonOK) : EditName)->setFocus();
}

void TDialogDebugState::accept()
{
    log_.logReads = CheckBoxRead->isChecked();
    log_.logWrites = CheckBoxWrite->isChecked();
    if (log_.isOpen())
        log_.close();
    else
        openLog();
    QDialog::accept();
}

void TDialogDebugState::ButtonClearClick()
{
    openLog();
    showLogState();
}

void TDialogDebugState::openLog()
{
    // A bare name goes to the home folder, whatever the host's current folder is.
    const QString path = QDir::home().absoluteFilePath(EditName->text().trimmed());
    if (EditName->text().trimmed().isEmpty() || !log_.open(QFile::encodeName(path).toStdString()))
        platform::showError("Unable to open log file.");
}

}  // namespace zern
