#pragma once
// Shared pieces of the device tests: temporary settings folders, a message
// callback that records its lines, and configuration files on disk.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "LinkTiming.h"
#include "Registry.h"

namespace device_tests {

inline const std::string kOptionsKey = "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNJTAGOptions\\";

class MessageRecorder {
public:
    static void callback(const char* line)
    {
        std::lock_guard lock(mutex());
        lines().push_back(line);
    }
    static std::vector<std::string> take()
    {
        std::lock_guard lock(mutex());
        std::vector<std::string> taken;
        taken.swap(lines());
        return taken;
    }

private:
    static std::mutex& mutex()
    {
        static std::mutex instance;
        return instance;
    }
    static std::vector<std::string>& lines()
    {
        static std::vector<std::string> instance;
        return instance;
    }
};

// Delays and time-outs short enough for the emulator: a transfer deadline of
// the configured expected erase time times 100 ms.
inline zern::LinkTiming quickLinkTiming()
{
    zern::LinkTiming timing;
    timing.firstByteMs = 150;
    timing.dtrResetWaitMs = 5;
    timing.runPollMs = 5;
    timing.startupPollMs = 5;
    timing.readDeadlineUnitMs = 100;
    timing.eraseTimeoutUnitMs = 20;
    timing.afterEraseFirstByteMs = 150;
    timing.drainQuietMs = 50;
    timing.writeTimeoutMs = 500;
    return timing;
}

// A fresh folder with its own user and machine settings for each test.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zerndevice-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        setenv("XDG_CONFIG_HOME", (folder_ / "user").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (folder_ / "machine").c_str(), 1);
        MessageRecorder::take();
    }
    void TearDown() override
    {
        std::error_code error;
        std::filesystem::current_path("/tmp", error);
        std::filesystem::remove_all(folder_, error);
    }

    std::string writeFile(const std::string& name, const std::string& text) const
    {
        const auto path = folder_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    void setOption(const std::string& name, const std::string& value) const
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kOptionsKey, true);
        ASSERT_TRUE(key);
        key->writeString(name, value);
    }
    std::optional<std::string> option(const std::string& name) const
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kOptionsKey, false);
        return key ? key->readString(name) : std::nullopt;
    }

    std::filesystem::path folder_;
};

}  // namespace device_tests
