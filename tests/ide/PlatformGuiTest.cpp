#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

#include "ApplicationEnd.h"
#include "HourglassCursor.h"
#include "QtMessageBoxes.h"

namespace {

using namespace platform;

// Presses the given button of the first modal box that shows up. It runs on
// a timer, so it also works inside the box's own event loop.
class BoxPresser {
public:
    explicit BoxPresser(QMessageBox::StandardButton button) : button_(button)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { press(); });
        timer_.start(10);
    }

    QString caption;
    QString text;
    bool onWindowThread = false;

private:
    void press()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || !caption.isEmpty())
            return;
        caption = box->windowTitle();
        text = box->text();
        onWindowThread = box->thread() == QApplication::instance()->thread();
        box->button(button_)->click();
    }

    QMessageBox::StandardButton button_;
    QTimer timer_;
};

bool waitFor(const std::atomic<bool>& done, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done;
}

TEST(QtMessageBoxes, ABoxAskedFromAWorkerRunsOnTheWindowThread)
{
    DefaultQtMessageBoxes installed;
    BoxPresser presser(QMessageBox::No);
    std::atomic<bool> done{false};
    BoxAnswer answer = BoxAnswer::Ok;
    std::thread worker([&] {
        answer = messageBoxes().show("Confirm", "Save changes?", BoxButtons::YesNoCancel, BoxIcon::Question);
        done = true;
    });
    const bool finished = waitFor(done, 5000);
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(answer, BoxAnswer::No);
    EXPECT_EQ(presser.caption, "Confirm");
    EXPECT_EQ(presser.text, "Save changes?");
    EXPECT_TRUE(presser.onWindowThread);
}

TEST(QtMessageBoxes, ABoxOnTheWindowThreadAnswersWithThePressedButton)
{
    QtMessageBoxes boxes;
    BoxPresser presser(QMessageBox::Cancel);
    EXPECT_EQ(boxes.show(kErrorCaption, "Bad", BoxButtons::OkCancel, BoxIcon::Error), BoxAnswer::Cancel);
    EXPECT_EQ(presser.caption, "Error! - Tolvane");
}

TEST(HourglassCursor, ThePreviousCursorComesBackOnEveryPath)
{
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    {
        HourglassCursor outer;
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        try {
            HourglassCursor inner;
            throw std::runtime_error("failed");
        } catch (const std::runtime_error&) {
        }
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    std::thread worker([] { HourglassCursor offTheWindowThread; });
    worker.join();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ApplicationEnd, ARequestMadeBeforeTheEventLoopRunsStillEndsIt)
{
    endApplication();
    EXPECT_TRUE(applicationEndRequested());
    bool timedOut = false;
    QTimer failSafe;
    failSafe.setSingleShot(true);
    QObject::connect(&failSafe, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    failSafe.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
}

}  // namespace
