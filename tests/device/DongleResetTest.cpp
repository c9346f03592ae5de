// With the dongle library present (the recording stand-in, already loaded by
// its path, so the reset's load by name finds it), the reset makes its calls
// in order.

#include <gtest/gtest.h>

#include "DongleReset.h"
#include "DynamicLibrary.h"

namespace {

TEST(DongleReset, PulsesTheDongleThroughItsLibrary)
{
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.open(FAKE_DONGLE_PATH)) << library.lastError();
    const auto calls = library.function<const char* (*)()>("fakeDongleCalls");
    ASSERT_NE(calls, nullptr);

    std::vector<std::string> lines;
    zern::resetUsbDongle([&](const std::string& line) { lines.push_back(line); });
    EXPECT_EQ(lines,
              (std::vector<std::string>{"Looking for USB JTAG Dongle...", "Found.  Resetting programmer...", "Done."}));
    EXPECT_STREQ(calls(),
                 "Open(0);SetBitMode(fb,4);SetBaudRate(25000);Write(00,1);Write(80,1);"
                 "SetBitMode(00,0);SetTimeouts(4000,0);Close;");
}

}  // namespace
