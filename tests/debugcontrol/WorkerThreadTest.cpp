// The worker thread: device changes and closing while a run is in progress.
#include "DebugTestSupport.h"

namespace {

using tolvane::kRunHalted;

class WorkerThreadTest : public DebugControlTest {
protected:
    // The main window's device change: halt, free the old device, select none.
    void changeDevice()
    {
        controller.HaltForDeviceChange();
        controller.SetDevice(nullptr);
        host.device = nullptr;
        device.reset();
    }
    int idleReports() const { return log.count("editors writable"); }
};

TEST_F(WorkerThreadTest, ADeviceChangeDuringARunEndsItOnceAndFreesTheDeviceAfterItsRun)
{
    startBlockingRun();
    log.clear();
    changeDevice();
    settle();
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_EQ(idleReports(), 1);
    EXPECT_EQ(log.indexOf("Stop"), 0);
    EXPECT_LT(log.indexOf("Run returned 1"), log.indexOf("device freed"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(WorkerThreadTest, AResultPostedJustBeforeADeviceChangeIsDropped)
{
    device->scriptRunResults({kRunHalted});
    controller.StartDebug(DebugStart::Run);
    // The run is over and its result may already wait in the queue.
    ASSERT_TRUE(waitFor([this] { return log.has("Run returned 0"); }));
    changeDevice();
    settle();
    EXPECT_EQ(controller.DebugState(), DebugController::kIdle);
    EXPECT_EQ(idleReports(), 1);
}

TEST_F(WorkerThreadTest, TheNextDeviceRunsNormallyAfterAChange)
{
    startBlockingRun();
    changeDevice();
    device = std::make_unique<FakeDebugDevice>(log);
    host.device = device.get();
    controller.SetDevice(device.get());
    log.clear();
    startBlockingRun();
    device->release(kRunHalted);
    ASSERT_TRUE(waitFor([this] { return controller.DebugState() == DebugController::kHalted; }));
    EXPECT_EQ(log.count("Run returned 0"), 1);
}

TEST_F(WorkerThreadTest, ClosingBeforeAnyCommandSendsNoStop)
{
    haltAtStart();
    controller.Shutdown();
    EXPECT_FALSE(log.has("Stop"));
}

TEST_F(WorkerThreadTest, ClosingDuringARunStopsTheDeviceAndReportsNothing)
{
    startBlockingRun();
    log.clear();
    controller.Shutdown();
    EXPECT_EQ(log.indexOf("Stop"), 0);
    EXPECT_TRUE(log.has("Run returned 1"));
    settle();
    EXPECT_EQ(controller.DebugState(), DebugController::kRunning);
    EXPECT_FALSE(log.has("editors writable"));
    device.reset();
    EXPECT_EQ(log.events().back(), "device freed");
}

}  // namespace
