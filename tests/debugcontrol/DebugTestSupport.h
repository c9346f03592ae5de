#pragma once
// Shared set-up of the debug control tests: a private registry, recorded
// boxes, the fake device and main window, and a wait that runs the event loop.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

#include "DebugController.h"
#include "FakeDebugDevice.h"
#include "FakeDebugHost.h"
#include "MessageBoxes.h"
#include "Registry.h"

// Runs the event loop until the condition holds or five seconds passed.
inline bool waitFor(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Gives queued results time to arrive, for checks that nothing arrives.
inline void settle()
{
    for (int round = 0; round < 50; ++round) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

class DebugControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        setenv("XDG_CONFIG_HOME", folder_.path().toUtf8().constData(), 1);
        device = std::make_unique<FakeDebugDevice>(log);
        host.device = device.get();
        controller.SetDevice(device.get());
    }

    void writeSetting(const std::string& name, bool value)
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser,
                                               "\\Software\\Quorin Semiconductor\\Tolvane", true);
        ASSERT_TRUE(key);
        ASSERT_TRUE(key->writeBool(name, value));
    }

    // Starts a run that blocks in the device until released.
    void startBlockingRun()
    {
        controller.StartDebug(DebugStart::Run);
        ASSERT_TRUE(waitFor([this] { return device->running(); }));
        ASSERT_EQ(controller.DebugState(), DebugController::kRunning);
    }
    // Starts a debug run and leaves it halted at the program's start.
    void haltAtStart()
    {
        controller.StartDebug(DebugStart::StepInto);
        ASSERT_EQ(controller.DebugState(), DebugController::kHalted);
        log.clear();
    }
    std::vector<std::string> boxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes.boxes)
            texts.push_back(box.text);
        return texts;
    }

    QTemporaryDir folder_;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes boxScope{boxes};
    EventLog log;
    std::unique_ptr<FakeDebugDevice> device;
    FakeDebugHost host{log};
    DebugController controller{host};
};
