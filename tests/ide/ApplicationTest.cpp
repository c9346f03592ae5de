// The IDE's application object: an exception thrown by a slot or an event
// handler is shown in the exception box and the program goes on.

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

#include "Application.h"
#include "MessageBoxes.h"

namespace {

TEST(Application, AnExceptionThatReachesTheEventLoopIsShownAndTheProgramGoesOn)
{
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
    QPushButton button(QStringLiteral("Throw"));
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&clicks] {
        if (++clicks == 1)
            throw std::runtime_error("Access violation at address 0000.");
        throw 42;
    });
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));

    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::keyClick(&button, Qt::Key_Space);

    EXPECT_EQ(clicks, 3);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[0].caption, "Tolvane");
    EXPECT_EQ(boxes.boxes[0].text, "Access violation at address 0000.");
    EXPECT_EQ(boxes.boxes[0].icon, platform::BoxIcon::Error);
    EXPECT_EQ(boxes.boxes[1].text, "An unknown exception occurred.");
    EXPECT_FALSE(button.isDown());
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::Application application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
