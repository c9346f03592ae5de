// Produces a picture of an editor window for a person to look at: an
// assembler source with a breakpoint and the execution line.

#include <QImage>
#include <QMdiSubWindow>
#include <QPixmap>
#include <set>

#include "EditorTestSupport.h"

namespace {

const char kSource[] =
    "; blink the port 1 lamp\n"
    "        org 0000h\n"
    "start:  move acc, #12h\n"
    "        move sp, #40h      ; stack\n"
    "loop:   call delay\n"
    "        xor acc, #01h\n"
    "        sjump loop\n"
    "\n"
    "delay:  move lc, #200\n"
    "wait:   djnz lc, wait\n"
    "        ret\n"
    "msg:    db 'done', 0\n"
    "        end\n";

TEST_F(EditorTest, ScreenshotOfAnEditorWindow)
{
    TFormEditor* editor = windows_.OpenEditor(WriteFile("blink.asm", kSource));
    editor->ToggleBreakpoint(5, true);
    windows_.ShowSourceLine(editor->FilePath(), 3);
    qobject_cast<QMdiSubWindow*>(editor->parentWidget())->resize(640, 360);
    QApplication::processEvents();

    const QImage image = qobject_cast<QMdiSubWindow*>(editor->parentWidget())->grab().toImage();
    const QString path = QCoreApplication::applicationDirPath() + "/editor-window.png";
    ASSERT_TRUE(image.save(path));
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8u);
}

}  // namespace
