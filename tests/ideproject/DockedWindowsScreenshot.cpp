// Renders the project and Messages windows docked in a main window, for a
// person to look at; checked only for being produced and not blank.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

#include "RecordingProjectHost.h"
#include "TFormMessages.h"
#include "TFormProject.h"

namespace {

bool isBlank(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

TEST(DockedWindowsScreenshot, ShowsTheProjectAndMessagesWindows)
{
    RecordingProjectHost host;
    host.window.setCentralWidget(new QLabel(QStringLiteral("editor area")));
    host.window.resize(900, 600);
    host.window.show();
    QString error;
    TFormProject* project =
        TFormProject::Create(host, false, std::nullopt, TDockableForm::kDockLeft, QString(), &error);
    ASSERT_NE(project, nullptr);
    project->AddFiles({"/work/blink/blink.asm", "/work/blink/timer.inc"});
    auto* messages = new TFormMessages(&host.window, false, std::nullopt, TDockableForm::kDockBottom);
    messages->AddMessage("Compiling...");
    messages->AddMessage("Build Successful.");
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();

    const QImage image = host.window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_FALSE(isBlank(image));
    ASSERT_TRUE(QDir().mkpath(SCREENSHOT_DIR));
    const QString file = QStringLiteral(SCREENSHOT_DIR "/ideproject-docked-windows.png");
    ASSERT_TRUE(image.save(file));
    EXPECT_GT(QFileInfo(file).size(), 0);
}

}  // namespace
