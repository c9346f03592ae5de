#include "DialogBorder.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSpacerItem>

namespace platform {
namespace {

// The width a title bar needs for the caption: the caption in bold beside the
// window icon and the title bar's buttons.
int captionWidth(const QDialog& dialog)
{
    QFont font = dialog.font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    // Room for the icon, up to four buttons and their spacing, whatever the window
    // manager draws; its caption font may be a little larger than ours.
    return metrics.horizontalAdvance(dialog.windowTitle()) + 8 * metrics.height();
}

}  // namespace

void giveDialogBorder(QDialog& dialog, DialogSizing sizing)
{
    const bool fixed = sizing == DialogSizing::Fixed;
    Qt::WindowFlags flags = (dialog.windowFlags() & (Qt::WindowType_Mask | Qt::WindowStaysOnTopHint))
                            | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                            | Qt::WindowCloseButtonHint;
    if (fixed)
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    dialog.setWindowFlags(flags);

    // A dialog shown again keeps the room made the first time.
    constexpr char kBordered[] = "tolvaneDialogBorder";
    if (dialog.property(kBordered).toBool())
        return;
    dialog.setProperty(kBordered, true);
    const int width = captionWidth(dialog);
    QLayout* layout = dialog.layout();
    auto* box = qobject_cast<QBoxLayout*>(layout);
    auto* grid = qobject_cast<QGridLayout*>(layout);
    if (box || grid) {
        // The caption's room is part of the layout, so it holds whenever the
        // layout sizes the dialog again.
        const QMargins margins = layout->contentsMargins();
        auto* room =
            new QSpacerItem(width - margins.left() - margins.right(), 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
        if (box)
            box->addSpacerItem(room);
        else
            grid->addItem(room, grid->rowCount(), 0, 1, grid->columnCount());
    } else {
        dialog.setMinimumWidth(width);
    }
    if (layout)
        layout->setSizeConstraint(fixed ? QLayout::SetFixedSize : QLayout::SetDefaultConstraint);
}

}  // namespace platform
