#pragma once
// The Solbus link driver's tests: the chip on the emulated bus, the link
// opened to it, a driver on the port, messages and traffic read out.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ChipSolbusEmulator.h"
#include "DeviceConfig.h"
#include "LinkTiming.h"
#include "SerialPorts.h"
#include "SolbusDriver.h"
#include "SolbusOpenLink.h"
#include "SolbusTestSupport.h"
#include "SolbusTrace.h"
#include "TestSupport.h"

namespace solbus_tests {

using device_tests::MessageRecorder;

// A debug command as it crosses the bus: each byte behind 0x2D.
inline std::string commandHex(const std::string& bytes)
{
    std::string hex;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        hex += "2D" + bytes.substr(i, 2);
    return hex;
}

// Reads on the bus: one reply pair, n groups of a reply read, a control word.
inline const std::string kPairRead = "22FFFF";
inline std::string groupsRead(int groups)
{
    return repeatHex("22FFFF", groups);
}
inline const std::string kControlRead = "E1FFFF";

class SolbusLinkTest : public CleanSolbusTest {
protected:
    void SetUp() override
    {
        CleanSolbusTest::SetUp();
        solbus::SolbusTiming timing;
        timing.debugStatusRetryMs = 1;
        solbus::setSolbusTiming(timing);
        linkTiming_.startupPollMs = 1;
        config_.startupDelayMs = 50;
        MessageRecorder::take();
    }
    void TearDown() override
    {
        driver_.reset();
        CleanSolbusTest::TearDown();
        std::error_code ignored;
        std::filesystem::remove(tracePath_, ignored);
    }

    // The chip on the bus and the link open to it, the traffic and messages
    // of the opening forgotten; traced to the given trace in place of the test's own.
    void connect(zern::chipmodel::ChipSettings settings = {}, solbus::SolbusTrace* trace = nullptr)
    {
        config_.processorFamily = settings.core == zern::chipmodel::CoreKind::Core32 ? 30 : 20;
        // The old adapter leaves the line's side channel before the new one joins it.
        emulator_.reset();
        emulator_ = std::make_unique<testing_support::ChipSolbusEmulator>(std::move(settings));
        const int port = zern::OpenLink(emulator_->devicePath(), config_.hyperdrive != 0,
                                        [](const std::string& line) { MessageRecorder::callback(line.c_str()); });
        ASSERT_GE(port, 0);
        forget();
        // What the driver says when it is made is kept.
        driver_ = std::make_unique<zern::SolbusDriver>(port, config_, &MessageRecorder::callback, linkTiming_,
                                                       trace ? *trace : trace_);
    }
    // Connected and started as a device does: halted at the start of user code.
    void start(zern::chipmodel::ChipSettings settings = {})
    {
        connect(std::move(settings));
        ASSERT_EQ(driver_->initializeTarget(), zern::kLinkDone) << lines();
        forget();
    }
    void forget()
    {
        emulator_->adapter().clearReceived();
        MessageRecorder::take();
    }
    // The driver and every port gone, as for the next case of a table.
    void startOver()
    {
        driver_.reset();
        solbus::resetSolbus();
    }
    std::string traffic() { return emulator_->adapter().receivedHex(); }
    static std::string lines()
    {
        std::string text;
        for (const std::string& line : MessageRecorder::take())
            text += line + "\n";
        return text;
    }
    zern::chipmodel::ChipModel& chip() { return emulator_->chip(); }

    zern::DeviceConfig config_;
    zern::LinkTiming linkTiming_;
    std::string tracePath_ = std::filesystem::temp_directory_path() / ("breldebug-" + std::to_string(getpid()));
    // Time stands at 1700000000.250 s.
    solbus::SolbusTrace trace_{
        tracePath_, [] { return std::chrono::system_clock::time_point(std::chrono::milliseconds(1700000000250)); }};
    std::unique_ptr<testing_support::ChipSolbusEmulator> emulator_;
    std::unique_ptr<zern::SolbusDriver> driver_;
};

}  // namespace solbus_tests
