#pragma once
// Shared pieces of the Solbus tests: a clean process-wide state per test,
// the error ring read out, and the adapter emulator with a port open on it.

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "BusAdapter.h"
#include "LinkErrors.h"
#include "RomDevice.h"
#include "SolbusAdapterEmulator.h"
#include "SolbusTiming.h"

namespace solbus_tests {

// The ring's codes, newest first, up to the first empty slot.
inline std::vector<int> popCodes()
{
    std::vector<int> codes;
    for (int code = solbus::PopLinkError(); code != 0; code = solbus::PopLinkError())
        codes.push_back(code);
    return codes;
}

inline std::string repeatHex(const std::string& hex, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += hex;
    return text;
}

class CleanSolbusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        solbus::resetSolbus();
        solbus::setSolbusTiming({});
    }
    void TearDown() override { solbus::resetSolbus(); }
};

// An adapter on a pseudo-terminal; open() opens the port and detects it,
// then forgets what went over the line so far.
class EmulatedAdapterTest : public CleanSolbusTest {
protected:
    testing_support::SolbusAdapterEmulator& emulator() { return *emulator_; }
    void open()
    {
        port_ = solbus::BusOpenPort(emulator_->devicePath());
        ASSERT_GE(port_, 0) << solbus::LinkErrorText(solbus::PopLinkError());
        forgetTraffic();
    }
    void forgetTraffic()
    {
        emulator_->clearReceived();
        emulator_->clearLineEvents();
    }
    // Closes everything and starts again on a new line with a new adapter.
    void newLine()
    {
        solbus::resetSolbus();
        // The old adapter leaves the side channel before the new one joins it.
        emulator_.reset();
        emulator_ = std::make_unique<testing_support::SolbusAdapterEmulator>();
    }

    std::unique_ptr<testing_support::SolbusAdapterEmulator> emulator_ =
        std::make_unique<testing_support::SolbusAdapterEmulator>();
    int port_ = -1;
};

}  // namespace solbus_tests
