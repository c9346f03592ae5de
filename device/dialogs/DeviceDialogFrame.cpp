#include "DeviceDialogFrame.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>

#include "DialogBorder.h"

namespace zern {

QHBoxLayout* okCancelRow(QDialog& dialog, QPushButton* ok, QPushButton* cancel)
{
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

int execCentred(QDialog& dialog)
{
    platform::giveDialogBorder(dialog);
    dialog.adjustSize();
    const QWidget* owner = dialog.parentWidget();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    return dialog.exec();
}

}  // namespace zern
