// The port table and the error ring: index checks, opening failures, the
// ring's order and texts, and reads that end at their time limit.

#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <unistd.h>

#include "BusDevices.h"
#include "PseudoTerminal.h"
#include "SerialPorts.h"
#include "SolbusTestSupport.h"

namespace {

using namespace solbus;
using solbus_tests::CleanSolbusTest;
using solbus_tests::popCodes;
using testing_support::openPseudoTerminal;
using testing_support::PseudoTerminal;

class PortTableTest : public CleanSolbusTest {
protected:
    void TearDown() override
    {
        CleanSolbusTest::TearDown();
        for (const PseudoTerminal& terminal : terminals_) {
            ::close(terminal.master);
            ::close(terminal.slave);
        }
    }
    const PseudoTerminal& newTerminal() { return terminals_.emplace_back(openPseudoTerminal()); }

    // A deque keeps the references newTerminal handed out.
    std::deque<PseudoTerminal> terminals_;
};

// Records what the table asks of a line, in place of a real port.
class RecordingLine : public SerialLine {
public:
    explicit RecordingLine(std::vector<int>& rates) : rates_(rates) {}
    bool write(const uint8_t*, size_t, int) override { return true; }
    size_t read(uint8_t*, size_t, int) override { return 0; }
    void purge() override {}
    void sendBreak(int) override {}
    bool setBaudRate(int baud) override
    {
        rates_.push_back(baud);
        return true;
    }
    void dropDtr() override {}

private:
    std::vector<int>& rates_;
};

TEST_F(PortTableTest, SeventeenthOpenIsRefusedAndLeavesTheTableAsItWas)
{
    for (int expected = 0; expected < kPortCount; ++expected)
        ASSERT_EQ(SerialOpenFreePort(newTerminal().slavePath), expected);
    EXPECT_EQ(popCodes(), std::vector<int>{});

    const PseudoTerminal& seventeenth = newTerminal();
    EXPECT_EQ(SerialOpenFreePort(seventeenth.slavePath), -1);
    EXPECT_EQ(popCodes(), std::vector<int>{115});
    for (int index = 0; index < kPortCount; ++index)
        EXPECT_TRUE(serialPortIsOpen(index)) << index;
    // The seventeenth device was never taken.
    EXPECT_NE(platform::SerialPort::open(seventeenth.slavePath), nullptr);
    // Nor was any of the others let go.
    EXPECT_EQ(platform::SerialPort::open(terminals_[3].slavePath), nullptr);
}

TEST_F(PortTableTest, IndexOutOfRangeOrInUseIsRefusedWithoutOpening)
{
    const PseudoTerminal& terminal = newTerminal();
    for (int index : {16, -1}) {
        EXPECT_EQ(SerialOpenPort(index, terminal.slavePath), 0) << index;
        EXPECT_EQ(popCodes(), std::vector<int>{115}) << index;
    }
    EXPECT_NE(platform::SerialPort::open(terminal.slavePath), nullptr);

    ASSERT_EQ(SerialOpenPort(5, terminal.slavePath), 1);
    EXPECT_EQ(SerialOpenPort(5, newTerminal().slavePath), 0);
    EXPECT_EQ(popCodes(), std::vector<int>{115});
    EXPECT_EQ(BusOpenPortAt(16, terminal.slavePath), 0);
    EXPECT_EQ(popCodes(), (std::vector<int>{8, 115}));
}

TEST_F(PortTableTest, MissingDeviceGivesTwentyThreeUnderEight)
{
    EXPECT_EQ(BusOpenPort("/dev/no-such-solbus-port"), -1);
    EXPECT_EQ(popCodes(), (std::vector<int>{8, 23}));
    EXPECT_EQ(BusOpenPortAt(2, "/dev/no-such-solbus-port"), 0);
    EXPECT_EQ(popCodes(), (std::vector<int>{8, 23}));
    EXPECT_FALSE(serialPortIsOpen(0));
    EXPECT_FALSE(serialPortIsOpen(2));
}

TEST_F(PortTableTest, EveryPortOperationRefusesABadIndexWithCode115)
{
    uint8_t bytes[32] = {};
    const std::vector<std::pair<const char*, std::function<void(int)>>> operations = {
        {"SerialClosePort", [](int i) { EXPECT_EQ(SerialClosePort(i), -1); }},
        {"SerialPurge", [](int i) { SerialPurge(i); }},
        {"SerialWrite", [&](int i) { EXPECT_EQ(SerialWrite(i, 1, bytes), 0); }},
        {"SerialRead", [&](int i) { EXPECT_EQ(SerialRead(i, 1, bytes), 0); }},
        {"SerialSendBreak", [](int i) { SerialSendBreak(i); }},
        {"SerialSetBaud", [](int i) { EXPECT_EQ(SerialSetBaud(i, 6), 0); }},
        {"BusDetectAdapter", [](int i) { EXPECT_EQ(BusDetectAdapter(i), 0); }},
        {"BusSetAdapterSpeed", [](int i) { EXPECT_EQ(BusSetAdapterSpeed(i, 6), 0); }},
        {"BusSetSpeed", [](int i) { EXPECT_EQ(BusSetSpeed(i, 1), 0); }},
        {"BusReset", [](int i) { EXPECT_EQ(BusReset(i), 0); }},
        {"BusTouchByte", [](int i) { EXPECT_EQ(BusTouchByte(i, 0x55), 0); }},
        {"BusWriteByte", [](int i) { EXPECT_EQ(BusWriteByte(i, 0x00), 0); }},
        {"BusReadByte", [](int i) { EXPECT_EQ(BusReadByte(i), 0); }},
        {"BusBlock", [&](int i) { EXPECT_EQ(BusBlock(i, true, bytes, 4), 0); }},
        {"BusSetLevel", [](int i) { EXPECT_EQ(BusSetLevel(i, 2), 0); }},
        {"BusTouchBit", [](int i) { EXPECT_EQ(BusTouchBit(i, 1), 0); }},
        {"BusWriteBytePower", [](int i) { EXPECT_EQ(BusWriteBytePower(i, 0), 0); }},
        {"BusReadBytePower", [](int i) { EXPECT_EQ(BusReadBytePower(i), 0); }},
        {"BusReadBitPower", [](int i) { EXPECT_EQ(BusReadBitPower(i, 0), 0); }},
        {"BusProgramPulse", [](int i) { EXPECT_EQ(BusProgramPulse(i), 0); }},
        {"BusFirst", [](int i) { EXPECT_EQ(BusFirst(i, true, false), 0); }},
        {"BusNext", [](int i) { EXPECT_EQ(BusNext(i, true, false), 0); }},
        {"BusSerialNumber", [&](int i) { BusSerialNumber(i, bytes, true); }},
        {"BusFamilySearchSetup", [](int i) { BusFamilySearchSetup(i, 0x2C); }},
        {"BusSkipFamily", [](int i) { BusSkipFamily(i); }},
        {"BusAccess", [](int i) { EXPECT_EQ(BusAccess(i), 0); }},
        {"BusVerify", [](int i) { EXPECT_EQ(BusVerify(i, false), 0); }},
        {"BusOverdriveAccess", [](int i) { EXPECT_EQ(BusOverdriveAccess(i), 0); }},
        {"BusReadPacket", [&](int i) { EXPECT_EQ(BusReadPacket(i, true, 0, bytes), -1); }},
        {"BusWritePacket", [&](int i) { EXPECT_EQ(BusWritePacket(i, 0, bytes, 4, false, true), 0); }},
        {"BusProgramByte", [](int i) { EXPECT_EQ(BusProgramByte(i, 0x12, 0, 0x0F, true, true), -1); }},
        {"BusWriteScratchpad", [&](int i) { EXPECT_EQ(BusWriteScratchpad(i, 0, bytes, 4), 0); }},
        {"BusCopyScratchpad", [](int i) { EXPECT_EQ(BusCopyScratchpad(i, 0, 4), 0); }},
    };
    // 3 is in range but not open.
    for (int index : {-1, 16, 3}) {
        for (const auto& [name, operation] : operations) {
            operation(index);
            EXPECT_EQ(popCodes(), std::vector<int>{115}) << name << " at " << index;
        }
    }
}

TEST_F(PortTableTest, RingKeepsTheLastTenCodesNewestFirst)
{
    for (int code = 1; code <= 11; ++code)
        PushLinkError(code);
    EXPECT_TRUE(HasLinkError());
    EXPECT_EQ(popCodes(), (std::vector<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_FALSE(HasLinkError());
    EXPECT_EQ(PopLinkError(), 0);

    // Clearing empties the newest slot in place; a pop of it still steps back.
    PushLinkError(4);
    PushLinkError(9);
    ClearLinkError();
    EXPECT_FALSE(HasLinkError());
    EXPECT_EQ(PopLinkError(), 0);
    EXPECT_EQ(PopLinkError(), 4);
}

TEST_F(PortTableTest, ErrorTextsAreTheAdaptersOwn)
{
    EXPECT_STREQ(LinkErrorText(0), "No Error Was Set");
    EXPECT_STREQ(LinkErrorText(115), "Port number is outside (0,MAX_PORTNUM) interval");
    EXPECT_STREQ(LinkErrorText(118), "Failure to change latch state.Could not open usb port through libusb");
    EXPECT_STREQ(LinkErrorText(32), "Address read back from scrachpad was incorrect");
    EXPECT_STREQ(LinkErrorText(123), "No adapter found at this port number");
    for (int outside : {-1, 124, 100000})
        EXPECT_STREQ(LinkErrorText(outside), "No Error Was Set") << outside;
}

TEST_F(PortTableTest, PrintingPopsTheNewestCode)
{
    PushLinkError(8);
    PushLinkError(115);
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    PrintLinkError(stream);
    std::rewind(stream);
    char text[128] = {};
    const size_t length = std::fread(text, 1, sizeof text - 1, stream);
    std::fclose(stream);
    EXPECT_EQ(std::string(text, length), "Error 115: Port number is outside (0,MAX_PORTNUM) interval\r\n");
    EXPECT_EQ(popCodes(), std::vector<int>{8});
}

TEST_F(PortTableTest, BaudCodesSelectTheirRatesAndAnyOtherSelects9600)
{
    std::vector<int> rates;
    ASSERT_EQ(attachSerialLine(0, std::make_unique<RecordingLine>(rates)), 1);
    const std::vector<std::pair<int, int>> rows = {{0, 9600},  {1, 9600}, {2, 19200},  {3, 9600},
                                                   {4, 57600}, {5, 9600}, {6, 115200}, {7, 9600}};
    for (const auto& [code, rate] : rows) {
        rates.clear();
        EXPECT_EQ(SerialSetBaud(0, code), 1);
        EXPECT_EQ(rates, std::vector<int>{rate}) << "code " << code;
    }
    EXPECT_EQ(attachSerialLine(0, std::make_unique<RecordingLine>(rates)), 0);
    EXPECT_EQ(popCodes(), std::vector<int>{115});
}

TEST_F(PortTableTest, ReadReturnsWhatArrivedWithinItsLimitAndRaisesNoCode)
{
    const PseudoTerminal& terminal = newTerminal();
    ASSERT_EQ(SerialOpenPort(0, terminal.slavePath), 1);
    const uint8_t sent[] = {0x12, 0x34};
    ASSERT_EQ(::write(terminal.master, sent, sizeof sent), 2);

    uint8_t buffer[5] = {};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SerialRead(0, 5, buffer), 2);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(buffer[0], 0x12);
    EXPECT_EQ(buffer[1], 0x34);
    EXPECT_FALSE(HasLinkError());
    // 5 x 20 + 60 ms.
    EXPECT_GE(waited, std::chrono::milliseconds(150));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));

    EXPECT_EQ(SerialRead(0, 3, buffer), 0);
    EXPECT_FALSE(HasLinkError());
}

TEST_F(PortTableTest, WriteGoesOutWholeAndCloseFreesTheEntry)
{
    const PseudoTerminal& terminal = newTerminal();
    ASSERT_EQ(SerialOpenPort(7, terminal.slavePath), 1);
    const uint8_t sent[] = {0xC1, 0x17, 0xE3};
    EXPECT_EQ(SerialWrite(7, 3, sent), 1);
    uint8_t arrived[3] = {};
    EXPECT_EQ(::read(terminal.master, arrived, sizeof arrived), 3);
    EXPECT_EQ(std::vector<uint8_t>(arrived, arrived + 3), std::vector<uint8_t>(sent, sent + 3));

    EXPECT_EQ(SerialClosePort(7), 7);
    EXPECT_FALSE(serialPortIsOpen(7));
    EXPECT_NE(platform::SerialPort::open(terminal.slavePath), nullptr);
    EXPECT_EQ(SerialOpenFreePort(terminal.slavePath), 0);
}

}  // namespace
