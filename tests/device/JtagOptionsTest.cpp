// The rules of ZernJTAG's Options dialog without its widgets: the clock it
// accepts, and the ports it offers and stores.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "JtagOptions.h"
#include "SerialPortChoice.h"
#include "TestSupport.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace {

TEST(JtagOptions, TheClockIsANumberFromOneTo200)
{
    const std::pair<const char*, std::optional<int32_t>> cases[] = {{"0", std::nullopt},   {"1", 1},
                                                                    {"200", 200},          {"201", std::nullopt},
                                                                    {" 50 ", 50},          {"0x10", 16},
                                                                    {"-5", std::nullopt},  {"", std::nullopt},
                                                                    {"abc", std::nullopt}, {"12k", std::nullopt}};
    for (const auto& [text, clock] : cases)
        EXPECT_EQ(zern::optionsClock(text), clock) << '"' << text << '"';
}

TEST(JtagOptions, OnlyComNamesAndDevicePathsAreStored)
{
    const std::pair<const char*, bool> cases[] = {{"COM1", true},       {"COM12", true},  {"/dev/ttyUSB0", true},
                                                  {"/dev/pts/7", true}, {"/dev/", false}, {"usb1", false},
                                                  {"com1", false},      {"", false},      {"ttyUSB0", false}};
    for (const auto& [name, stored] : cases)
        EXPECT_EQ(zern::storablePortName(name), stored) << '"' << name << '"';
}

TEST(JtagOptions, PortChoiceOffersTheFourComPortsThePresentOnesAndTheStoredOne)
{
    const std::vector<std::string> four = {"COM1", "COM2", "COM3", "COM4"};
    const std::vector<std::string> present = {"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS3", "/dev/ttyS4"};
    auto withPresent = four;
    withPresent.insert(withPresent.end(), {"/dev/ttyUSB0", "/dev/ttyS4"});
    struct Case {
        std::vector<std::string> present;
        std::optional<std::string> stored;
        std::vector<std::string> items;
        int selected;
    };
    const Case cases[] = {
        {{}, std::nullopt, four, 0},
        {{}, "", four, 0},
        {{}, "COM3", four, 2},
        {{}, "COM7", {"COM1", "COM2", "COM3", "COM4", "COM7"}, 4},
        {present, std::nullopt, withPresent, 0},
        {present, "/dev/ttyUSB0", withPresent, 4},
        {present, "/dev/ttyACM2", {"COM1", "COM2", "COM3", "COM4", "/dev/ttyUSB0", "/dev/ttyS4", "/dev/ttyACM2"}, 6},
    };
    for (const Case& c : cases) {
        const zern::PortChoice choice = zern::portChoice(c.present, c.stored);
        EXPECT_EQ(choice.items, c.items) << c.stored.value_or("(none)");
        EXPECT_EQ(choice.selected, c.selected) << c.stored.value_or("(none)");
    }
}

class JtagOptionsStore : public device_tests::TempFolderTest {};

TEST_F(JtagOptionsStore, StoringThePortKeepsUnstorableNamesOut)
{
    zern::ZernDevice device(zern::kZernJtagTraits);
    EXPECT_EQ(zern::storedSerialPort(device), std::nullopt);
    EXPECT_TRUE(zern::storeSerialPort(device, "usb1"));
    EXPECT_EQ(option("SerialPort"), std::nullopt);
    EXPECT_TRUE(zern::storeSerialPort(device, "/dev/ttyUSB3"));
    EXPECT_EQ(zern::storedSerialPort(device), "/dev/ttyUSB3");
    EXPECT_TRUE(zern::storeSerialPort(device, "usb1"));
    EXPECT_EQ(zern::storedSerialPort(device), "/dev/ttyUSB3");
}

}  // namespace
