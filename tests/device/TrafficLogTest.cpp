#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>

#include "HostileFiles.h"
#include "SerialPort.h"
#include "TestSupport.h"
#include "TrafficLog.h"

namespace {

class TrafficLogTest : public device_tests::TempFolderTest {
protected:
    std::string logText() const
    {
        std::ifstream file(folder_ / "log.txt", std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

TEST_F(TrafficLogTest, TwentyWrittenBytesMakeTwoLines)
{
    zern::TrafficLog log;
    ASSERT_TRUE(log.open((folder_ / "log.txt").string()));
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 20; ++i)
        bytes.push_back(static_cast<uint8_t>(0x3E + i));
    bytes[1] = 0x00;
    log.log(zern::TrafficDirection::Written, bytes.data(), bytes.size());
    EXPECT_EQ(logText(),
              "W: 3e 00 40 41 42 43 44 45 46 47 48 49 4a 4b 4c 4d : >.@ABCDEFGHIJKLM\r\n"
              "   4e 4f 50 51 "
                  + std::string(12 * 3, ' ') + ": NOPQ\r\n");
}

TEST_F(TrafficLogTest, DirectionFlagsAndClosedLogWriteNothing)
{
    zern::TrafficLog log;
    const uint8_t bytes[] = {0x7F, 0x41};
    log.log(zern::TrafficDirection::Written, bytes, 2);
    ASSERT_TRUE(log.open((folder_ / "log.txt").string()));
    log.logReads = false;
    log.log(zern::TrafficDirection::Read, bytes, 2);
    log.log(zern::TrafficDirection::Written, bytes, 2);
    log.logWrites = false;
    log.logReads = true;
    log.log(zern::TrafficDirection::Written, bytes, 2);
    log.log(zern::TrafficDirection::Read, bytes, 2);
    EXPECT_EQ(logText(), "W: 7f 41 " + std::string(14 * 3, ' ') + ": .A\r\n"
                         "R: 7f 41 " + std::string(14 * 3, ' ') + ": .A\r\n");
}

TEST_F(TrafficLogTest, OnlyARegularOrNewFileBecomesTheLog)
{
    std::filesystem::create_directory(folder_ / "folder");
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    writeFile("old.txt", "old content");
    const std::pair<std::string, bool> cases[] = {{(folder_ / "folder").string(), false},
                                                  {(folder_ / "fifo").string(), false},
                                                  {"/dev/null", false},
                                                  {(folder_ / "missing" / "log.txt").string(), false},
                                                  {(folder_ / "old.txt").string(), true},
                                                  {(folder_ / "log.txt").string(), true}};
    for (const auto& [path, opens] : cases) {
        zern::TrafficLog log;
        EXPECT_EQ(log.open(path), opens) << path;
        EXPECT_EQ(log.isOpen(), opens) << path;
    }
    EXPECT_EQ(std::filesystem::file_size(folder_ / "old.txt"), 0u);
}

// A FIFO put at the path just after a look at it is still no log file, and
// opening never waits for a reader: the path turns between a file and a FIFO
// while the log is opened again and again.
TEST_F(TrafficLogTest, AFifoThatTakesThePlaceOfTheFileNeverHoldsTheOpen)
{
    const std::string path = (folder_ / "log.txt").string();
    const std::string file = (folder_ / "file").string();
    const std::string fifo = (folder_ / "fifo").string();
    writeFile("file", "");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> done{false};
    std::thread turning([&] {
        const std::string next = path + ".next";
        for (bool toFifo = true; !done; toFifo = !toFifo) {
            std::filesystem::remove(next);
            std::filesystem::create_hard_link(toFifo ? fifo : file, next);
            std::filesystem::rename(next, path);
        }
    });
    const auto openOften = [&] {
        zern::TrafficLog log;
        int opens = 0;
        for (int i = 0; i < 20000; ++i) {
            if (log.open(path)) {
                EXPECT_TRUE(log.isOpen());
                ++opens;
            }
            log.close();
        }
        return opens;
    };
    const int opened = test_support::returnsWithin(
        std::chrono::seconds(60), "Opening the log still waits after a minute: a FIFO holds it.", openOften);
    done = true;
    turning.join();
    EXPECT_GT(opened, 0);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// The Debug Log dialog stops and restarts the log on the window thread while
// a run writes to it on the worker thread.
TEST_F(TrafficLogTest, StartingAndStoppingWhileTrafficIsLoggedIsSafe)
{
    zern::TrafficLog log;
    std::atomic<bool> done{false};
    std::thread traffic([&] {
        const uint8_t bytes[] = {0x01, 0x26, 0x00};
        while (!done)
            log.log(zern::TrafficDirection::Written, bytes, sizeof bytes);
    });
    for (int i = 0; i < 500; ++i) {
        ASSERT_TRUE(log.open((folder_ / "log.txt").string()));
        log.close();
    }
    done = true;
    traffic.join();
    EXPECT_FALSE(log.isOpen());
}

TEST(SerialPortNames, ComNamesMapToSerialDevices)
{
    EXPECT_EQ(platform::serialDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(platform::serialDevicePath("com12"), "/dev/ttyS11");
    EXPECT_EQ(platform::serialDevicePath("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(platform::serialDevicePath("COM0"), "COM0");
    EXPECT_EQ(platform::serialDevicePath("COMX"), "COMX");
    EXPECT_EQ(platform::serialDevicePath("COM"), "COM");
}

}  // namespace
