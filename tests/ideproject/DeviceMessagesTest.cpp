#include <QElapsedTimer>
#include <atomic>
#include <thread>

#include "DeviceFixture.h"

namespace {

class DeviceMessagesTest : public DeviceFixture {
protected:
    // Processes events until the host holds `count` lines or time runs out.
    void waitForMessages(int count)
    {
        QElapsedTimer timer;
        timer.start();
        while (host_.messages.size() < count && timer.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

TEST_F(DeviceMessagesTest, LinesFromAWorkerThreadArriveInOrder)
{
    installAndLoad({{"Fake", FAKE_DEVICE}});
    binding_->SelectDeviceByName("Fake");
    constexpr int kLines = 2000;
    std::thread worker([this] {
        for (int i = 0; i < kLines; ++i)
            script_.sendMessage(("line " + std::to_string(i)).c_str());
    });
    waitForMessages(kLines);
    worker.join();
    settle();
    ASSERT_EQ(host_.messages.size(), kLines);
    for (int i = 0; i < kLines; ++i)
        ASSERT_EQ(host_.messages[i], QString("line %1").arg(i));
}

TEST_F(DeviceMessagesTest, WindowThreadLinesKeepTheirPlaceAfterQueuedOnes)
{
    installAndLoad({{"Fake", FAKE_DEVICE}});
    binding_->SelectDeviceByName("Fake");
    std::thread worker([this] { script_.sendMessage("from the run"); });
    worker.join();
    script_.sendMessage("from the window thread");
    EXPECT_EQ(host_.messages, QStringList({"from the run", "from the window thread"}));
}

TEST_F(DeviceMessagesTest, SwitchingTheDeviceWhileARunSendsLinesDoesNotBlock)
{
    installAndLoad({{"Fake", FAKE_DEVICE}, {"Second", FAKE_DEVICE}});
    binding_->SelectDeviceByName("Fake");
    std::atomic<bool> sending{true};
    std::atomic<int> sent{0};
    AbstractDevice* running = binding_->device();
    // The worker sends lines, runs the device (blocking until stopped),
    // then keeps sending while the device is being switched.
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i, ++sent)
            script_.sendMessage("before run");
        running->Run();
        while (sending) {
            script_.sendMessage("after run");
            ++sent;
        }
    });
    std::thread* workerThread = &worker;
    host_.onHalt = [&] {
        binding_->device()->Stop();
        sending = false;
        workerThread->join();
    };
    // Wait until the worker is inside the run.
    while (sent < 200)
        std::this_thread::yield();
    binding_->SelectDeviceByName("Second");
    host_.onHalt = nullptr;
    EXPECT_EQ(binding_->deviceName(), "Second");
    EXPECT_EQ(script_.liveDevices, 1);
    waitForMessages(sent);
    settle();
    EXPECT_EQ(host_.messages.size(), sent.load());
    EXPECT_EQ(host_.messages.first(), "before run");
}

}  // namespace
