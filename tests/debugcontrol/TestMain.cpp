#include <QCoreApplication>
#include <gtest/gtest.h>

// The worker's results arrive through the event loop of this thread.
int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
