// Device-level operations against devices on the emulated bus: the ROM
// search, selection, bits with power delivery, and memory packets written
// through the scratchpad or as EPROM, with the codes of their failures.

#include <algorithm>
#include <functional>
#include <set>

#include "BoardEmulator.h"
#include "BusDevices.h"
#include "EmulatorCrc.h"
#include "MemoryDevices.h"
#include "SolbusTestSupport.h"

namespace {

using namespace solbus;
using solbus_tests::EmulatedAdapterTest;
using solbus_tests::popCodes;
using solbus_tests::repeatHex;
using testing_support::AdapterFaults;
using testing_support::deviceCrc16;
using testing_support::EpromMemory;
using testing_support::makeRomNumber;
using testing_support::RomDevice;
using testing_support::RomNumber;
using testing_support::ScratchpadMemory;
using Bytes = std::vector<uint8_t>;

// A packet as it stands in a page: length, data, then the inverted CRC16
// seeded with the page number, low byte first.
Bytes packetFor(int page, const Bytes& data)
{
    Bytes packet(1, static_cast<uint8_t>(data.size()));
    for (uint8_t byte : data)
        packet.push_back(byte);
    uint16_t crc = static_cast<uint16_t>(page);
    for (uint8_t byte : packet)
        crc = deviceCrc16(crc, byte);
    packet.push_back(static_cast<uint8_t>(~crc));
    packet.push_back(static_cast<uint8_t>(~crc >> 8));
    return packet;
}

Bytes pageBytes(std::vector<uint8_t>& memory, int page, size_t count)
{
    return Bytes(memory.begin() + page * 32, memory.begin() + page * 32 + static_cast<long>(count));
}

class DeviceOperationsTest : public EmulatedAdapterTest {
protected:
    void SetUp() override
    {
        EmulatedAdapterTest::SetUp();
        checkedEprom_.setCheckByteAfterAddress(true);
        for (RomDevice* device : {&scratchpadDevice_, &twinDevice_, &epromDevice_, &checkedEpromDevice_})
            emulator().attach(device);
        open();
    }

    void select(const RomDevice& device)
    {
        RomNumber rom = device.rom();
        BusSerialNumber(port_, rom.data(), false);
    }

    ScratchpadMemory scratchpad_{4};
    EpromMemory eprom_{4, true};
    EpromMemory checkedEprom_{4, false};
    RomDevice scratchpadDevice_{makeRomNumber(0x2C, 0x00000000A5A4), &scratchpad_};
    // Differs from the first only in the serial number's lowest bit.
    RomDevice twinDevice_{makeRomNumber(0x2C, 0x00000000A5A5)};
    RomDevice epromDevice_{makeRomNumber(0x0B, 0x000000001234), &eprom_};
    RomDevice checkedEpromDevice_{makeRomNumber(0x09, 0x0000000F00D0), &checkedEprom_};
};

TEST_F(DeviceOperationsTest, SearchFindsEveryDeviceOnce)
{
    std::set<RomNumber> found;
    RomNumber rom{};
    ASSERT_EQ(BusFirst(port_, true, false), 1);
    // Reset, then the search command and the accelerator with an all-zero path.
    EXPECT_EQ(emulator().receivedHex(),
              "C5"
              "E1F0"
              "E3B5"
              "E1" + repeatHex("00", 16)
                  + "E3A5");
    do {
        BusSerialNumber(port_, rom.data(), true);
        found.insert(rom);
    } while (BusNext(port_, true, false));
    EXPECT_EQ(found, (std::set<RomNumber>{scratchpadDevice_.rom(), twinDevice_.rom(), epromDevice_.rom(),
                                          checkedEpromDevice_.rom()}));
    EXPECT_EQ(popCodes(), std::vector<int>{});
    EXPECT_EQ(emulator().commandMode(), true);

    // The search starts over after the last device.
    ASSERT_EQ(BusNext(port_, true, false), 1);
    BusSerialNumber(port_, rom.data(), true);
    EXPECT_TRUE(found.count(rom));
}

TEST_F(DeviceOperationsTest, AlarmSearchFindsOnlyAlarmingDevices)
{
    twinDevice_.setAlarm(true);
    ASSERT_EQ(BusFirst(port_, true, true), 1);
    RomNumber rom{};
    BusSerialNumber(port_, rom.data(), true);
    EXPECT_EQ(rom, twinDevice_.rom());
    EXPECT_EQ(BusNext(port_, true, true), 0);
    EXPECT_EQ(popCodes(), std::vector<int>{});
}

TEST_F(DeviceOperationsTest, FamilySearchStartsAtTheFamilyAndCanSkipIt)
{
    BusFamilySearchSetup(port_, 0x2C);
    ASSERT_EQ(BusNext(port_, true, false), 1);
    RomNumber rom{};
    BusSerialNumber(port_, rom.data(), true);
    EXPECT_EQ(rom[0], 0x2C);

    BusSkipFamily(port_);
    while (BusNext(port_, true, false)) {
        BusSerialNumber(port_, rom.data(), true);
        EXPECT_NE(rom[0], 0x2C);
    }
    EXPECT_EQ(popCodes(), std::vector<int>{});
}

TEST_F(DeviceOperationsTest, AccessVerifyAndOverdriveSelectOneDevice)
{
    select(epromDevice_);
    EXPECT_EQ(BusAccess(port_), 1);
    const RomNumber& rom = epromDevice_.rom();
    EXPECT_EQ(emulator().receivedHex(),
              "C5"
              "E155"
                  + testing_support::hexOf(Bytes(rom.begin(), rom.end())));
    EXPECT_EQ(BusVerify(port_, false), 1);
    EXPECT_EQ(BusVerify(port_, true), 0);

    RomNumber absent = makeRomNumber(0x0B, 0x000000004321);
    BusSerialNumber(port_, absent.data(), false);
    EXPECT_EQ(BusVerify(port_, false), 0);

    select(twinDevice_);
    forgetTraffic();
    EXPECT_EQ(BusOverdriveAccess(port_), 1);
    // Reset, overdrive match, 115200 baud and overdrive, then the ROM number.
    const RomNumber& twin = twinDevice_.rom();
    EXPECT_EQ(emulator().receivedHex(),
              "E3C5"
              "E169"
              "E377"
              "0F"
              "A9"
              "E1" + testing_support::hexOf(Bytes(twin.begin(), twin.end())));
    EXPECT_EQ(adapterState(port_).speed, 8);
    EXPECT_EQ(emulator().speedCode(), 8);
    EXPECT_EQ(popCodes(), std::vector<int>{});
}

TEST_F(DeviceOperationsTest, BitsAndPowerDelivery)
{
    EXPECT_EQ(BusTouchBit(port_, 1), 1);
    EXPECT_EQ(BusTouchBit(port_, 0), 0);
    EXPECT_EQ(emulator().receivedHex(),
              "95"
              "85");

    forgetTraffic();
    // 0xA5 least significant bit first, the strong pull-up after the last.
    EXPECT_EQ(BusWriteBytePower(port_, 0xA5), 1);
    EXPECT_EQ(emulator().receivedHex(),
              "3F"
              "95"
              "85"
              "95"
              "85"
              "85"
              "95"
              "85"
              "97");
    EXPECT_EQ(adapterState(port_).level, 2);
    EXPECT_EQ(BusSetLevel(port_, 0), 0);
    EXPECT_EQ(BusReadBytePower(port_), 0xFF);
    EXPECT_EQ(BusSetLevel(port_, 0), 0);
    forgetTraffic();
    EXPECT_EQ(BusReadBitPower(port_, 1), 1);
    EXPECT_EQ(emulator().receivedHex(), "3F97");
    EXPECT_EQ(BusHasPowerDelivery(port_), 1);
    EXPECT_EQ(BusHasOverdrive(port_), 1);
    EXPECT_EQ(popCodes(), std::vector<int>{});
}

TEST_F(DeviceOperationsTest, PacketsGoThroughTheScratchpadAndComeBack)
{
    select(scratchpadDevice_);
    const Bytes first = {'S', 'o', 'l', 'b', 'u', 's'};
    const Bytes second = {0xE3, 0x00, 0x7F};
    ASSERT_EQ(BusWritePacket(port_, 1, first.data(), 6, false, false), 1);
    ASSERT_EQ(BusWritePacket(port_, 2, second.data(), 3, false, false), 1);
    EXPECT_EQ(pageBytes(scratchpad_.memory(), 1, 9), packetFor(1, first));
    EXPECT_EQ(pageBytes(scratchpad_.memory(), 2, 6), packetFor(2, second));

    uint8_t buffer[32] = {};
    ASSERT_EQ(BusReadPacket(port_, true, 1, buffer), 6);
    EXPECT_EQ(Bytes(buffer, buffer + 6), first);
    // Without a new selection the read goes on into the next page.
    ASSERT_EQ(BusReadPacket(port_, false, 2, buffer), 3);
    EXPECT_EQ(Bytes(buffer, buffer + 3), second);
    EXPECT_EQ(popCodes(), std::vector<int>{});
}

TEST_F(DeviceOperationsTest, PacketsAreProgrammedIntoEprom)
{
    const Bytes data = {0x10, 0x20, 0x30, 0x40, 0x50};
    select(epromDevice_);
    ASSERT_EQ(BusWritePacket(port_, 2, data.data(), 5, true, true), 1);
    EXPECT_EQ(pageBytes(eprom_.memory(), 2, 8), packetFor(2, data));
    uint8_t buffer[32] = {};
    EXPECT_EQ(BusReadPacket(port_, true, 2, buffer), 5);
    EXPECT_EQ(Bytes(buffer, buffer + 5), data);

    // A device that answers with CRC8 and sends a check byte before its data.
    select(checkedEpromDevice_);
    ASSERT_EQ(BusWritePacket(port_, 0, data.data(), 3, true, false), 1);
    EXPECT_EQ(pageBytes(checkedEprom_.memory(), 0, 6), packetFor(0, Bytes(data.begin(), data.begin() + 3)));
    EXPECT_EQ(BusReadPacket(port_, true, 0, buffer), 3);
    EXPECT_EQ(popCodes(), std::vector<int>{});
}

TEST_F(DeviceOperationsTest, SearchWithoutDevicesFindsNone)
{
    newLine();
    open();
    EXPECT_EQ(BusFirst(port_, false, false), 0);
    EXPECT_EQ(popCodes(), std::vector<int>{3});
    EXPECT_EQ(BusFirst(port_, true, false), 0);
    EXPECT_EQ(popCodes(), (std::vector<int>{1, 2}));
}

// Each device-level code, caused by the adapter, the line or what a device
// holds; data echoes are counted from 0 when the faults are set.
TEST_F(DeviceOperationsTest, DeviceOperationFaultsRaiseTheirCodes)
{
    struct Row {
        const char* name;
        std::function<void()> arrange;
        std::function<int()> operation;
        int result;
        std::vector<int> codes;
    };
    const Bytes data = {0x01, 0x02, 0x03, 0x04};
    uint8_t buffer[32] = {};
    const auto faults = [this](bool AdapterFaults::*member) {
        return [this, member] {
            AdapterFaults set;
            set.*member = true;
            emulator().setFaults(set);
        };
    };
    const auto corruptEcho = [this](size_t echo) {
        return [this, echo] {
            AdapterFaults set;
            set.corruptEchoAt = echo;
            emulator().setFaults(set);
        };
    };
    const auto scratchpad = [this] { select(scratchpadDevice_); };
    const auto eprom = [this] { select(epromDevice_); };
    const auto both = [](std::function<void()> first, std::function<void()> second) {
        return [first, second] {
            first();
            second();
        };
    };
    const std::vector<Row> rows = {
        {"block fails under a packet read",
         both(scratchpad, faults(&AdapterFaults::noPresence)),
         [&] { return BusReadPacket(port_, true, 1, buffer); },
         -1,
         {12, 1, 2}},
        {"packet length",
         both(scratchpad, [this] { scratchpad_.memory()[96] = 30; }),
         [&] { return BusReadPacket(port_, true, 3, buffer); },
         -1,
         {21}},
        {"packet CRC",
         both(scratchpad,
              [this] {
                  const Bytes bad = {2, 0x11, 0x22, 0x00, 0x00};
                  std::copy(bad.begin(), bad.end(), scratchpad_.memory().begin() + 96);
              }),
         [&] { return BusReadPacket(port_, true, 3, buffer); },
         -1,
         {22}},
        // Echo 0 is the select command, 1-8 the ROM number.
        {"select command read back", both(scratchpad, corruptEcho(0)), [this] { return BusAccess(port_); }, 0, {17}},
        {"ROM number read back", both(scratchpad, corruptEcho(3)), [this] { return BusAccess(port_); }, 0, {}},
        // Write: 9 select, command, 2 address, 4 data = echoes 0-15; read
        // back: 9 select and command (16-25), address 26-27, offset 28, data.
        {"scratchpad address read back",
         both(scratchpad, corruptEcho(26)),
         [&] { return BusWriteScratchpad(port_, 1, data.data(), 4); },
         0,
         {18}},
        {"scratchpad data read back",
         both(scratchpad, corruptEcho(29)),
         [&] { return BusWriteScratchpad(port_, 1, data.data(), 4); },
         0,
         {17}},
        // A packet of 1 data byte is 4 bytes: the same echoes as above.
        {"packet through the scratchpad",
         both(scratchpad, corruptEcho(26)),
         [&] { return BusWritePacket(port_, 1, data.data(), 1, false, true); },
         0,
         {19, 18}},
        // ... then the read back takes 17 echoes (16-32), the copy's address is 43.
        {"scratchpad copy",
         both(scratchpad, corruptEcho(43)),
         [&] { return BusWritePacket(port_, 1, data.data(), 1, false, true); },
         0,
         {20, 18}},
        {"EPROM select",
         both(eprom, faults(&AdapterFaults::noPresence)),
         [] { return BusProgramByte(0, 0x12, 64, 0x0F, true, true); },
         -1,
         {4, 1, 2}},
        // Echoes 0-8 select, 9 the command.
        {"EPROM command byte",
         both(eprom, corruptEcho(9)),
         [] { return BusProgramByte(0, 0x12, 64, 0x0F, true, true); },
         -1,
         {15}},
        // 10-11 address, 12 the data, 13 the CRC's low byte.
        {"EPROM CRC",
         both(eprom, corruptEcho(13)),
         [] { return BusProgramByte(0, 0x12, 64, 0x0F, true, true); },
         -1,
         {22}},
        {"program pulse without program voltage",
         both(eprom, [this] { emulator().setProgramVoltage(false); }),
         [] { return BusProgramByte(0, 0x12, 64, 0x0F, true, true); },
         -1,
         {13}},
        {"EPROM bits already programmed",
         both(eprom, [this] { eprom_.memory()[64] = 0x00; }),
         [&] { return BusWritePacket(port_, 2, data.data(), 4, true, true); },
         0,
         {14}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        emulator().setFaults({});
        emulator().setProgramVoltage(true);
        ASSERT_EQ(BusDetectAdapter(port_), 1);
        popCodes();
        row.arrange();
        EXPECT_EQ(row.operation(), row.result);
        EXPECT_EQ(popCodes(), row.codes);
    }
}

}  // namespace
