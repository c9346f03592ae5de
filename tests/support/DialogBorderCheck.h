#pragma once
// The frame every dialog gets: a caption with only a close box (the flags say
// which boxes, so that the window manager draws no others), at least as wide
// as a title bar needs for its caption, and a fixed size unless the user may
// resize the dialog.

#include <QDialog>
#include <QFontMetrics>
#include <gtest/gtest.h>

inline void expectDialogBorder(const QDialog& dialog, bool sizable)
{
    const std::string caption = dialog.windowTitle().toStdString();
    // Title bars set the caption in bold, beside an icon and their buttons.
    QFont bold = dialog.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    EXPECT_GE(dialog.width(), metrics.horizontalAdvance(dialog.windowTitle()) + 7 * metrics.height()) << caption;
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << caption;
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)) << caption;
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << caption;
    EXPECT_EQ(dialog.minimumSize() == dialog.maximumSize(), !sizable) << caption;
}
