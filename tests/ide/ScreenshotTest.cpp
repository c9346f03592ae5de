#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

TEST(Screenshot, TheScriptRendersANonBlankMainWindow)
{
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("main-window.png"));
    QProcess script;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TOLVANE_BUILD_DIR"), QStringLiteral(TOLVANE_BUILD_DIR));
    script.setProcessEnvironment(environment);
    script.start(QStringLiteral("bash"), {QStringLiteral(TOLVANE_SOURCE_DIR "/scripts/screenshot.sh"), picture});
    ASSERT_TRUE(script.waitForFinished(60000));
    ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();

    const QImage image(picture);
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 200);
    EXPECT_GT(image.height(), 200);
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8u);
}

}  // namespace
