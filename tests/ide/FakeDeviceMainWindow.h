#pragma once
// The main window with the fake device plug-in listed and saved as the
// user's device, so that it is selected at start; settings and boxes stay
// private to each test.

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <string>

#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "MainSettings.h"
#include "MessageBoxes.h"
#include "Registry.h"
#include "TMainForm.h"
#include "TestFolders.h"
#include "WindowThreadWaits.h"

class FakeDeviceMainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        script.install();
        auto devices = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, devices::kDevicesKey, true);
        ASSERT_TRUE(devices && devices->writeString("Fake Device", FAKE_DEVICE));
        ASSERT_TRUE(settings()->writeString("Device", "Fake Device"));
    }

    static std::unique_ptr<platform::RegistryKey> settings()
    {
        return platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kSettingsKey, true);
    }
    std::unique_ptr<TMainForm> start()
    {
        auto form = std::make_unique<TMainForm>();
        form->show();
        settle();
        return form;
    }
    // Whether the device was called so, arguments included.
    bool called(const std::string& call)
    {
        std::lock_guard lock(script.mutex);
        return std::find(script.calls.begin(), script.calls.end(), call) != script.calls.end();
    }

    ScopedTestFolders folders;
    FakeDeviceScript script;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
};
