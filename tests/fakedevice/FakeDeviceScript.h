#pragma once
// What a test tells the fake device plug-in to answer, and what the plug-in
// records. The test owns one script and hands its address to the plug-in
// through the environment variable TOLVANE_FAKE_DEVICE_SCRIPT (hex), since the
// plug-in is loaded by path and shares no symbols with the test.

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "AbstractDevice.h"

inline constexpr char kFakeDeviceScriptVariable[] = "TOLVANE_FAKE_DEVICE_SCRIPT";

struct FakeDeviceScript {
    // Features and views the device offers; every other id is declined.
    std::set<int> features;
    std::set<int> enabledViews;
    std::vector<std::string> helpItems;
    std::vector<std::string> deviceMenuItems;
    std::vector<std::string> compilers;
    std::vector<std::string> projectOptions;
    std::string sourceExtension = "asm";
    std::string versionText = "Fake device";
    int addressBits = 16;
    int stimulusResult = tolvane::kStatusDone;
    // Message line -> (file, line) for LocateMessage.
    std::map<std::string, std::pair<std::string, int>> locations;

    // Recorded by the plug-in.
    std::vector<std::string> calls;
    std::vector<std::string> projectOptionsReceived;
    std::string registryName;
    std::string libraryPath;
    std::string selectedCompiler;
    DeviceMessageCallback messageCallback = nullptr;
    DeviceMenuCallback menuCallback = nullptr;
    int liveDevices = 0;

    // Run blocks until released or stopped.
    bool runReleased = false;
    bool stopRequested = false;
    std::condition_variable runChanged;

    mutable std::mutex mutex;

    void log(std::string call)
    {
        std::lock_guard lock(mutex);
        calls.push_back(std::move(call));
    }
    std::vector<std::string> takeCalls()
    {
        std::lock_guard lock(mutex);
        return std::exchange(calls, {});
    }
    void releaseRun()
    {
        std::lock_guard lock(mutex);
        runReleased = true;
        runChanged.notify_all();
    }
    // Sends a line through the callback the IDE installed, as a device's worker does.
    void sendMessage(const char* line) const
    {
        DeviceMessageCallback callback;
        {
            std::lock_guard lock(mutex);
            callback = messageCallback;
        }
        if (callback)
            callback(line);
    }

    // Points the plug-in at this script for the rest of the process.
    void install()
    {
        char text[32];
        std::snprintf(text, sizeof text, "%p", static_cast<void*>(this));
        setenv(kFakeDeviceScriptVariable, text, 1);
    }
};
