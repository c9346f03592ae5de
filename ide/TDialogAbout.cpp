#include "TDialogAbout.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DeviceBinding.h"
#include "DialogBorder.h"

TDialogAbout::TDialogAbout(const DeviceBinding& binding, QWidget* parent)
    : QDialog(parent), binding_(binding), memo_(new QPlainTextEdit(this)), devicePanel_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("About Tolvane"));
    memo_->setReadOnly(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tolvane"), this));
    layout->addWidget(new QLabel(QStringLiteral("Quorin Semiconductor Ostravel"), this));
    layout->addWidget(new QLabel(QStringLiteral("Version 1.0 (Build Date: Jan  8 2010)"), this));
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->addWidget(memo_);
    layout->addWidget(devicePanel_);
    platform::giveDialogBorder(*this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QStringList TDialogAbout::VersionLines(const QString& versionText)
{
    QString text = versionText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() == 3) {
        lines[1] = QStringLiteral("ICE Server Version:  ") + lines[1];
        lines[2] = QStringLiteral("ICE Hardware Version:  ") + lines[2];
    }
    return lines;
}

QString TDialogAbout::MemoText() const
{
    return memo_->toPlainText();
}

QString TDialogAbout::DevicePanelText() const
{
    return devicePanel_->text();
}

void TDialogAbout::showEvent(QShowEvent* event)
{
    FillFromDevice();
    QDialog::showEvent(event);
}

void TDialogAbout::FillFromDevice()
{
    memo_->clear();
    memo_->setPlainText(VersionLines(binding_.VersionText()).join(QLatin1Char('\n')));
    devicePanel_->setText(QStringLiteral("Currently Selected Device: ") + binding_.deviceName());
}
