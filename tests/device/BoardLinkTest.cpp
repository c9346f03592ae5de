// The ZernJTAG device against the adapter-board emulator: link opening, the
// board's text commands, the byte primitives and their failure reports.

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "ChipBoardEmulator.h"
#include "JtagDriver.h"
#include "MessageBoxes.h"
#include "OpenLink.h"
#include "TestSupport.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace {

using device_tests::MessageRecorder;
using testing_support::ChipBoardEmulator;
using testing_support::BoardFaults;
using testing_support::hexOf;

// A board start as the tables give it: the prompt search, "Q\r", "V3FFB7\r"
// and "Z\r", then the target reset and debug entry with a breakpoint at the
// user code start (0) until the chip halts there.
const std::string kBoardStartHex = std::string("0D" "0D" "510D" "5633464642370D" "5A0D")
    + "0005"                                  // target held in reset
    + "0009" "0006" "0006" "0006" "0006" "0006" "000A" "0006"  // debug reset
    + "0001" "0003" "0104" "0002" "0100" "0001" "0102" "0008" "0002"  // debug-engine entry
    + "0120"                                  // status: running
    + "05" "15" "0000" "1180"                 // breakpoint slot 0 at 0
    + "0004"                                  // target released
    + "0120" "0120"                           // halted, and still halted
    + "21" "28" + std::string(64, 'F')        // default context password
    + "06" "29" "0800" "202020"               // module 8 register 0
    + "03" "15" "FFFF";                       // slot 0 freed

std::string repeatHex(const std::string& pair, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += pair;
    return text;
}

template <typename Member, typename Value>
BoardFaults fault(Member BoardFaults::*member, Value value)
{
    BoardFaults faults;
    faults.*member = value;
    return faults;
}

class BoardLinkTest : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        // A transfer must complete within 5 x 100 ms.
        writeFile("chip.cfg", "[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n");
        setOption("ConfigFile", (folder_ / "chip.cfg").string());
        setOption("SerialPort", board_.devicePath());
    }

    std::unique_ptr<zern::ZernDevice> makeDevice()
    {
        auto device = std::make_unique<zern::ZernDevice>(zern::kZernJtagTraits);
        device->SetMessageCallback(&MessageRecorder::callback);
        device->setLinkTiming(device_tests::quickLinkTiming());
        return device;
    }

    // The port is free again once the device let go of it.
    bool portIsFree() const { return platform::SerialPort::open(board_.devicePath()) != nullptr; }

    ChipBoardEmulator board_;
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes boxGuard_{boxes_};
};

TEST_F(BoardLinkTest, ConnectsWithoutADongleAndStartsTheBoard)
{
    auto device = makeDevice();
    ASSERT_TRUE(device->EnsureConnected());
    EXPECT_EQ(MessageRecorder::take(),
              (std::vector<std::string>{"Looking for USB JTAG Dongle...", "Not found.", "Opening serial port...",
                                        "Opened " + board_.devicePath() + ".", "Connected.",
                                        "Setting JTAG clock rate to 200 kHz"}));
    EXPECT_EQ(board_.receivedHex(), kBoardStartHex);
    EXPECT_EQ(board_.lineEvents(), (std::vector<std::string>{"baud 115200", "DTR on", "RTS on", "DTR off"}));
    EXPECT_TRUE(board_.binaryMode());
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(BoardLinkTest, ClockDivisorFollowsTheConfiguredClock)
{
    auto device = makeDevice();
    device->SetProjectOption("JTAG Clock = 1000", "");
    ASSERT_TRUE(device->EnsureConnected());
    // 0x10000 - 14740000 / 1000000 = 0xFFF2.
    EXPECT_NE(board_.receivedHex().find(hexOf(std::string("V3FFF2\r"))), std::string::npos);
}

TEST_F(BoardLinkTest, SilentBoardGetsOneWakeUpThenIsGivenUp)
{
    board_.setFaults(fault(&BoardFaults::silent, true));
    auto device = makeDevice();
    EXPECT_FALSE(device->EnsureConnected());
    EXPECT_EQ(board_.receivedHex(), "0D" + repeatHex("00", 257) + "0D");
    const auto messages = MessageRecorder::take();
    EXPECT_EQ(messages.back(), "Device is not responding.");
    EXPECT_FALSE(device->linkOpen());
    EXPECT_TRUE(portIsFree());
}

TEST_F(BoardLinkTest, HashPromptIsAccepted)
{
    board_.setFaults(fault(&BoardFaults::hashPrompt, true));
    auto device = makeDevice();
    EXPECT_TRUE(device->EnsureConnected());
}

TEST_F(BoardLinkTest, BoardThatNeverShowsItsPromptIsGivenUp)
{
    board_.setFaults(fault(&BoardFaults::garbage, true));
    auto device = makeDevice();
    EXPECT_FALSE(device->EnsureConnected());
    EXPECT_EQ(MessageRecorder::take().back(), "Device is not responding.");
    EXPECT_TRUE(portIsFree());
}

TEST_F(BoardLinkTest, IncompatibleBoardShowsTheBoxAndClosesThePort)
{
    board_.setFaults(fault(&BoardFaults::version, std::string("02")));
    auto device = makeDevice();
    EXPECT_FALSE(device->EnsureConnected());
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "Error");
    EXPECT_EQ(boxes_.boxes[0].text, "The Serial-To-JTAG board is not compatible with this version of the JTAG driver.");
    EXPECT_EQ(boxes_.boxes[0].icon, platform::BoxIcon::Error);
    EXPECT_FALSE(device->linkOpen());
    EXPECT_TRUE(portIsFree());
    // Nothing after the version question: no clock, no reset.
    EXPECT_EQ(board_.receivedHex(), "0D0D510D");
}

TEST_F(BoardLinkTest, ShortReplyEndsAtTheTransferDeadline)
{
    auto device = makeDevice();
    ASSERT_TRUE(device->EnsureConnected());
    device.reset();
    board_.setFaults(fault(&BoardFaults::replyLimit, size_t{5}));
    device = makeDevice();
    MessageRecorder::take();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(device->EnsureConnected());
    const auto waited = std::chrono::steady_clock::now() - start;
    auto messages = MessageRecorder::take();
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(messages.end() - 3, messages.end()),
              (std::vector<std::string>{"", "Unable to read all the required information from the serial port.",
                                        "Please check all connections and try again."}));
    // The version answer stayed short for the whole 500 ms deadline.
    EXPECT_GE(waited, std::chrono::milliseconds(500));
    EXPECT_LT(waited, std::chrono::milliseconds(3000));
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_TRUE(portIsFree());
}

TEST_F(BoardLinkTest, HangUpMidReplyIsAReadFailure)
{
    auto port = zern::openLink(
        board_.devicePath(), [](const std::string&) {}, device_tests::quickLinkTiming());
    ASSERT_TRUE(port);
    zern::DeviceConfig config;
    config.expectedEraseTime = 5;
    zern::LinkTiming timing = device_tests::quickLinkTiming();
    zern::TrafficLog log;
    zern::JtagDriver driver(std::move(port), config, &MessageRecorder::callback, timing, log);
    board_.setFaults(fault(&BoardFaults::hangUpAfter, size_t{3}));
    MessageRecorder::take();
    EXPECT_FALSE(driver.checkBoardVersion());
    EXPECT_EQ(MessageRecorder::take(), (std::vector<std::string>{"", "Unable to read from the serial port.",
                                                                 "Please check all connections and try again."}));
}

TEST_F(BoardLinkTest, FailedStartDropsTheLinkSoTheNextOperationConnectsAgain)
{
    auto device = makeDevice();
    board_.setFaults(fault(&BoardFaults::replyLimit, size_t{8}));
    // The version answer (8 bytes) passes; the clock answer (11) stays short.
    EXPECT_FALSE(device->EnsureConnected());
    EXPECT_FALSE(device->linkOpen());
    EXPECT_TRUE(portIsFree());
    board_.setFaults(BoardFaults{});
    board_.clearReceived();
    EXPECT_TRUE(device->EnsureConnected());
    EXPECT_EQ(board_.receivedHex(), kBoardStartHex);
}

TEST_F(BoardLinkTest, ClosingAStartedLinkEndsTheBoardSession)
{
    auto device = makeDevice();
    ASSERT_TRUE(device->EnsureConnected());
    board_.clearReceived();
    device->closeLink();
    ASSERT_TRUE(board_.waitForReceived(2));
    EXPECT_EQ(board_.receivedHex(), "0000");
    EXPECT_TRUE(portIsFree());
}

TEST_F(BoardLinkTest, RegisterReadBeforeAnyLinkOpensNothing)
{
    auto device = makeDevice();
    char* name = nullptr;
    uint64_t value = 0;
    int width = 0;
    int address = 0;
    EXPECT_EQ(device->GetRegister(0, &name, &value, &width, &address), tolvane::kStatusFailed);
    EXPECT_EQ(device->SetRegister(512, 1), tolvane::kStatusFailed);
    EXPECT_EQ(device->SetRegister(-1, 1), tolvane::kStatusFailed);
    EXPECT_FALSE(device->linkOpen());
    EXPECT_TRUE(board_.receivedHex().empty());
    EXPECT_TRUE(MessageRecorder::take().empty());
}

TEST_F(BoardLinkTest, EmptySerialPortValueBecomesCom1)
{
    setOption("SerialPort", "");
    auto device = makeDevice();
    EXPECT_FALSE(device->EnsureConnected());
    EXPECT_EQ(option("SerialPort"), "COM1");
}

TEST_F(BoardLinkTest, MissingPortIsReported)
{
    setOption("SerialPort", (folder_ / "no-such-port").string());
    auto device = makeDevice();
    EXPECT_FALSE(device->EnsureConnected());
    EXPECT_EQ(MessageRecorder::take().back(), "Unable to open serial port.");
}

}  // namespace
