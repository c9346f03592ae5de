// The adapter protocol against the emulated adapter: the bytes on the wire
// for detection, baud and speed changes, resets, byte and block transfers
// and line levels, and each failure the adapter or the line can cause.
// Expected wire bytes are written out here from the protocol's tables.

#include <functional>
#include <optional>

#include "BusDevices.h"
#include "MemoryDevices.h"
#include "SerialPorts.h"
#include "SolbusTestSupport.h"

namespace {

using namespace solbus;
using solbus_tests::EmulatedAdapterTest;
using solbus_tests::popCodes;
using solbus_tests::repeatHex;
using testing_support::AdapterFaults;
using testing_support::makeRomNumber;
using testing_support::RomDevice;
using Events = std::vector<std::string>;

// Detection: the timing byte after the break, then three parameters, the
// baud parameter read and one bit slot in one write.
const std::string kDetectionHex =
    "C1"
    "17455B0F91";
const Events kDetectionEvents = {"baud 9600", "break"};

class AdapterProtocolTest : public EmulatedAdapterTest {
protected:
    void SetUp() override
    {
        EmulatedAdapterTest::SetUp();
        emulator().attach(&device_);
        open();
    }

    RomDevice device_{makeRomNumber(0x2C, 0x0000A1B2C3D4)};
};

TEST_F(AdapterProtocolTest, OpeningDetectsTheAdapter)
{
    BusClosePort(port_);
    forgetTraffic();
    ASSERT_EQ(BusOpenPort(emulator().devicePath()), 0);
    EXPECT_EQ(emulator().receivedHex(), kDetectionHex);
    EXPECT_EQ(emulator().lineEvents(), (Events{"baud 9600", "DTR on", "RTS on", "baud 9600", "break"}));
    EXPECT_EQ(popCodes(), std::vector<int>{});

    const AdapterState state = adapterState(0);
    EXPECT_EQ(state.mode, 2);
    EXPECT_EQ(state.baud, 0);
    EXPECT_EQ(state.speed, 4);

    BusClosePort(0);
    EXPECT_EQ(emulator().lineEvents().back(), "DTR off");
    EXPECT_FALSE(serialPortIsOpen(0));
}

TEST_F(AdapterProtocolTest, PortOpenedAgainStartsWithAFreshAdapterState)
{
    ASSERT_EQ(BusReset(port_), 1);
    ASSERT_EQ(BusSetLevel(port_, 2), 2);
    BusClosePort(port_);
    ASSERT_EQ(BusOpenPortAt(port_, emulator().devicePath()), 1);
    EXPECT_EQ(adapterState(port_).level, 0);
    EXPECT_EQ(adapterState(port_).programVoltage, 0);
    // No pulse to end before the reset.
    forgetTraffic();
    EXPECT_EQ(BusReset(port_), 1);
    EXPECT_EQ(emulator().receivedHex(), "C5");
}

TEST_F(AdapterProtocolTest, DetectionSendsBreakTimingByteAndOneSetupWrite)
{
    EXPECT_EQ(BusDetectAdapter(port_), 1);
    EXPECT_EQ(emulator().receivedHex(), kDetectionHex);
    EXPECT_EQ(emulator().lineEvents(), kDetectionEvents);
}

TEST_F(AdapterProtocolTest, BaudChangeTo115200IsVerified)
{
    EXPECT_EQ(BusSetAdapterSpeed(port_, 6), 6);
    // 0x71 or code 6, then the baud parameter read at the new rate.
    EXPECT_EQ(emulator().receivedHex(),
              "77"
              "0F");
    EXPECT_EQ(emulator().lineEvents(), Events{"baud 115200"});
    EXPECT_EQ(emulator().baudCode(), 6);
    EXPECT_EQ(popCodes(), std::vector<int>{});

    // The line works at the new rate; asking again sends nothing.
    forgetTraffic();
    EXPECT_EQ(BusSetAdapterSpeed(port_, 6), 6);
    EXPECT_EQ(BusReset(port_), 1);
    EXPECT_EQ(emulator().receivedHex(), "C5");
}

TEST_F(AdapterProtocolTest, BaudChangeFromDataModeSwitchesToCommandModeFirst)
{
    BusTouchByte(port_, 0x5A);
    forgetTraffic();
    EXPECT_EQ(BusSetAdapterSpeed(port_, 6), 6);
    EXPECT_EQ(emulator().receivedHex(),
              "E377"
              "0F");
}

TEST_F(AdapterProtocolTest, SpeedChangesAndSpeedsInForceSendNothing)
{
    struct Row {
        std::optional<int> before;
        int request;
        int result;
        std::string hex;
        Events events;
        int adapterSpeed;
    };
    const std::vector<Row> rows = {
        {std::nullopt, 0, 0, "", {}, 4},
        {std::nullopt,
         1,
         1,
         "77"
         "0F"
         "A9",
         {"baud 115200"},
         8},
        {std::nullopt,
         16,
         16,
         "77"
         "0F"
         "AD",
         {"baud 115200"},
         12},
        {1, 1, 1, "", {}, 8},
        {16, 16, 16, "", {}, 12},
        {1, 16, 16, "AD", {}, 12},
        {1,
         0,
         0,
         "71"
         "0F"
         "A5",
         {"baud 9600"},
         4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("request " + std::to_string(row.request));
        ASSERT_EQ(BusDetectAdapter(port_), 1);
        if (row.before)
            BusSetSpeed(port_, *row.before);
        forgetTraffic();
        EXPECT_EQ(BusSetSpeed(port_, row.request), row.result);
        EXPECT_EQ(emulator().receivedHex(), row.hex);
        EXPECT_EQ(emulator().lineEvents(), row.events);
        EXPECT_EQ(emulator().speedCode(), row.adapterSpeed);
        EXPECT_EQ(popCodes(), std::vector<int>{});
    }
}

TEST_F(AdapterProtocolTest, ResetReportsPresenceAndTheAdaptersProgramVoltage)
{
    EXPECT_EQ(BusReset(port_), 1);
    EXPECT_EQ(emulator().receivedHex(), "C5");
    EXPECT_EQ(adapterState(port_).programVoltage, 1);
    EXPECT_EQ(adapterState(port_).revision, 0x08);
    EXPECT_EQ(BusHasProgramPulse(port_), 1);

    emulator().setProgramVoltage(false);
    BusTouchByte(port_, 0xCC);
    forgetTraffic();
    EXPECT_EQ(BusReset(port_), 1);
    EXPECT_EQ(emulator().receivedHex(), "E3C5");
    EXPECT_EQ(BusHasProgramPulse(port_), 0);
}

TEST_F(AdapterProtocolTest, ResetWithoutPresenceRedetectsTheAdapter)
{
    for (const auto fault : {&AdapterFaults::noPresence, &AdapterFaults::shortBus}) {
        ASSERT_EQ(BusSetSpeed(port_, 1), 1);
        AdapterFaults faults;
        faults.*fault = true;
        emulator().setFaults(faults);
        forgetTraffic();
        EXPECT_EQ(BusReset(port_), 0);
        EXPECT_EQ(emulator().receivedHex(), "C9" + kDetectionHex);
        EXPECT_EQ(emulator().lineEvents(), kDetectionEvents);
        EXPECT_EQ(popCodes(), std::vector<int>{2});
        EXPECT_EQ(adapterState(port_).speed, 4);
        emulator().setFaults({});
        EXPECT_EQ(BusReset(port_), 1);
    }
}

TEST_F(AdapterProtocolTest, DataByteE3GoesTwice)
{
    EXPECT_EQ(BusTouchByte(port_, 0xE3), 0xE3);
    EXPECT_EQ(emulator().receivedHex(),
              "E1"
              "E3E3");

    uint8_t bytes[] = {0x01, 0xE3, 0x02};
    EXPECT_EQ(BusBlock(port_, false, bytes, 3), 1);
    EXPECT_EQ(emulator().receivedHex(),
              "E1E3E3"
              "01E3E302");
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 3), (std::vector<uint8_t>{0x01, 0xE3, 0x02}));

    // The longest block, every byte doubled: 320 bytes out, 160 back.
    forgetTraffic();
    std::vector<uint8_t> full(160, 0xE3);
    EXPECT_EQ(BusBlock(port_, false, full.data(), 160), 1);
    EXPECT_EQ(emulator().receivedHex(), repeatHex("E3", 320));
    EXPECT_EQ(full, std::vector<uint8_t>(160, 0xE3));
    EXPECT_EQ(popCodes(), std::vector<int>{});
}

TEST_F(AdapterProtocolTest, BytesGoThroughTheBusAndBackInDataMode)
{
    EXPECT_EQ(BusWriteByte(port_, 0xCC), 1);
    EXPECT_EQ(BusReadByte(port_), 0xFF);
    EXPECT_EQ(BusWriteByte(port_, 0x00), 1);
    EXPECT_EQ(emulator().receivedHex(),
              "E1CC"
              "FF"
              "00");
    EXPECT_FALSE(emulator().commandMode());

    uint8_t block[] = {0x55, 0x12};
    EXPECT_EQ(BusBlock(port_, true, block, 2), 1);
    EXPECT_EQ(emulator().receivedHex(),
              "E1CC"
              "FF"
              "00"
              "E3C5"
              "E15512");
}

TEST_F(AdapterProtocolTest, BlockAbove160IsRefusedWithNothingSent)
{
    std::vector<uint8_t> bytes(161, 0x11);
    EXPECT_EQ(BusBlock(port_, false, bytes.data(), 161), 0);
    EXPECT_EQ(BusBlock(port_, true, bytes.data(), 161), 0);
    EXPECT_EQ(popCodes(), (std::vector<int>{11, 11}));
    // The next transfer is the first thing on the wire.
    EXPECT_EQ(BusTouchByte(port_, 0x3C), 0x3C);
    EXPECT_EQ(emulator().receivedHex(), "E13C");
    EXPECT_EQ(bytes, std::vector<uint8_t>(161, 0x11));
}

TEST_F(AdapterProtocolTest, LevelsChangeOnlyWhenTheyDiffer)
{
    ASSERT_EQ(BusReset(port_), 1);
    struct Row {
        int level;
        std::string hex;
        int result;
    };
    const std::vector<Row> rows = {
        {2, "3FED", 2}, {2, "", 2}, {0, "F1EDF1", 0}, {0, "", 0}, {4, "2FFD", 4}, {0, "F1EDF1", 0}, {3, "", 0},
    };
    for (const Row& row : rows) {
        forgetTraffic();
        EXPECT_EQ(BusSetLevel(port_, row.level), row.result) << row.level;
        EXPECT_EQ(emulator().receivedHex(), row.hex) << row.level;
    }
    EXPECT_EQ(popCodes(), std::vector<int>{});

    // From data mode the adapter is switched back first; a byte transfer
    // ends the pull-up before it goes out.
    BusTouchByte(port_, 0x5A);
    forgetTraffic();
    EXPECT_EQ(BusSetLevel(port_, 2), 2);
    EXPECT_EQ(BusTouchByte(port_, 0x5A), 0x5A);
    EXPECT_EQ(emulator().receivedHex(),
              "E33FED"
              "F1EDF1"
              "E15A");
}

TEST_F(AdapterProtocolTest, ProgramVoltageNeedsTheAdaptersFlag)
{
    emulator().setProgramVoltage(false);
    ASSERT_EQ(BusReset(port_), 1);
    forgetTraffic();
    EXPECT_EQ(BusSetLevel(port_, 4), 0);
    EXPECT_EQ(BusSetLevel(port_, 2), 2);
    EXPECT_EQ(BusSetLevel(port_, 4), 2);
    EXPECT_EQ(emulator().receivedHex(), "3FED");
}

TEST_F(AdapterProtocolTest, WrongRateGarblesTheLine)
{
    // The port switches to 115200 while the adapter stays at 9600.
    ASSERT_EQ(SerialSetBaud(port_, 6), 1);
    EXPECT_EQ(BusTouchByte(port_, 0xA5), 0);
    EXPECT_EQ(popCodes(), std::vector<int>{10});
    // Re-detection brought both ends back to 9600.
    EXPECT_EQ(BusTouchByte(port_, 0xA5), 0xA5);
}

// Each code of the protocol's own failure table that the adapter or the
// line can cause, from a detected adapter on the good path.
TEST_F(AdapterProtocolTest, AdapterAndLineFaultsRaiseTheirCodes)
{
    struct Row {
        const char* name;
        std::function<void()> arrange;
        std::function<int(int)> operation;
        int result;
        std::vector<int> codes;
    };
    uint8_t block[4] = {0xCC, 0x44, 0xBE, 0x00};
    const auto fault = [this](bool AdapterFaults::*member) {
        return [this, member] {
            AdapterFaults faults;
            faults.*member = true;
            emulator().setFaults(faults);
        };
    };
    const auto nothing = [] {};
    const std::vector<Row> rows = {
        {"no adapter", fault(&AdapterFaults::silent), BusDetectAdapter, 0, {10}},
        {"no adapter when opening",
         [&] {
             fault (&AdapterFaults::silent)();
             BusClosePort(port_);
         },
         [this](int) { return BusOpenPort(emulator().devicePath()); },
         -1,
         {5, 10}},
        {"bad detection bytes", fault(&AdapterFaults::badParameterReads), BusDetectAdapter, 0, {7}},
        {"refused baud",
         fault(&AdapterFaults::refuseBaud),
         [](int port) { return BusSetAdapterSpeed(port, 6); },
         0,
         {6}},
        {"refused baud for overdrive",
         fault(&AdapterFaults::refuseBaud),
         [](int port) { return BusSetSpeed(port, 1); },
         0,
         {6}},
        {"no presence", fault(&AdapterFaults::noPresence), BusReset, 0, {2}},
        {"short bus", fault(&AdapterFaults::shortBus), BusReset, 0, {2}},
        {"no presence before a block",
         fault(&AdapterFaults::noPresence),
         [&](int port) { return BusBlock(port, true, block, 4); },
         0,
         {1, 2}},
        {"no presence before a search",
         fault(&AdapterFaults::noPresence),
         [](int port) { return BusFirst(port, true, false); },
         0,
         {1, 2}},
        {"corrupted search answer",
         fault(&AdapterFaults::corruptEveryEcho),
         [](int port) { return BusFirst(port, false, false); },
         0,
         {3}},
        {"corrupted echo",
         fault(&AdapterFaults::corruptEveryEcho),
         [](int port) { return BusWriteByte(port, 0x3C); },
         0,
         {}},
        {"failed pulse", fault(&AdapterFaults::failedPulses), [](int port) { return BusSetLevel(port, 2); }, 0, {}},
        {"block too large", nothing, [&](int port) { return BusBlock(port, false, block, 161); }, 0, {11}},
        {"line gone",
         [this] { emulator().disconnect(); },
         [](int port) { return BusTouchByte(port, 0x3C); },
         0,
         {9, 9}},
        // A failed transfer reads back 0, which is no success for a written 0.
        {"line gone under a zero byte",
         [this] { emulator().disconnect(); },
         [](int port) { return BusWriteByte(port, 0x00); },
         0,
         {9, 9}},
        {"line gone after the reset byte", [this] { emulator().hangUpAfter(0); }, BusReset, 0, {9, 10}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // Each row on a fresh line and adapter.
        newLine();
        emulator().attach(&device_);
        open();
        row.arrange();
        EXPECT_EQ(row.operation(port_), row.result);
        EXPECT_EQ(popCodes(), row.codes);
    }
}

}  // namespace
