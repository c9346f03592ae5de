#include "DeviceDialogFrame.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace zern {

int execCentred(QDialog& dialog)
{
    if (QLayout* layout = dialog.layout())
        layout->setSizeConstraint(QLayout::SetFixedSize);
    dialog.setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    dialog.adjustSize();
    const QWidget* owner = dialog.parentWidget();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    return dialog.exec();
}

}  // namespace zern
