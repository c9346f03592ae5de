// The link opening against the chip on the emulated bus: the bytes on the
// wire with and without hyperdrive, each failure reported while the opening
// goes on, and a port without an adapter.

#include "LinkTestSupport.h"

namespace {

using solbus_tests::CleanSolbusTest;
using solbus_tests::MessageRecorder;
using testing_support::AdapterFaults;
using Lines = std::vector<std::string>;

// Detection, the standard reset, the chip's debug port selected by its ROM
// number, the switch to 115200 baud and overdrive, the overdrive reset and
// the select byte.
const std::string kToOverdriveHex =
    "C1"
    "17455B0F91"
    "C5"
    "E155160000000A02A2B0"
    "E3770FA9"
    "C9";

struct OpeningCase {
    const char* name;
    bool hyperdrive;
    AdapterFaults faults;
    std::string wire;
    Lines lines;  // after "Opening serial port..." and "Opened <port>."
};

class OpenLinkTest : public CleanSolbusTest {
protected:
    int open(bool hyperdrive)
    {
        MessageRecorder::take();
        return zern::OpenLink(emulator_.devicePath(), hyperdrive,
                              [](const std::string& line) { MessageRecorder::callback(line.c_str()); });
    }

    testing_support::ChipSolbusEmulator emulator_;
};

TEST_F(OpenLinkTest, SelectsTheChipsDebugPortAtTheConfiguredSpeed)
{
    AdapterFaults noPresence;
    noPresence.noPresence = true;
    AdapterFaults noOverdrive;
    noOverdrive.refuseBaud = true;
    const OpeningCase cases[] = {
        {"overdrive",
         false,
         {},
         kToOverdriveHex + "E13C",
         {"Checking hyperdrive configuration", "Hyperdrive turned OFF.", "Connected."}},
        {"hyperdrive",
         true,
         {},
         kToOverdriveHex + "E1C3" + "E3AD" + "CD" + "E1C3",
         {"Checking hyperdrive configuration", "Trying to set hyperdrive...", "Connected."}},
        // No presence: every reset is reported and re-detects the adapter,
        // and the opening goes on at the speed it is left with.
        {"no presence",
         true,
         noPresence,
         "C1"
         "17455B0F91"
         "C5"
         "C117455B0F91"
         "E155160000000A02A2B0"
         "E3770FA9"
         "C9"
         "C117455B0F91"
         "E1C3"
         "E3770FAD"
         "CD"
         "C117455B0F91"
         "E1C3",
         {"Failed to get presence pulse after standard reset.", "Failed to get presence pulse after overdrive reset.",
          "Checking hyperdrive configuration", "Trying to set hyperdrive...",
          "Failed to get presence pulse after hyperdrive reset.", "Connected."}},
        // An adapter that keeps 9600 baud: neither fast speed is taken.
        {"no overdrive",
         true,
         noOverdrive,
         "C1"
         "17455B0F91"
         "C5"
         "E155160000000A02A2B0"
         "E3770F"
         "C117455B0F91"
         "C5"
         "E1C3"
         "E3770F"
         "C117455B0F91"
         "C5"
         "E1C3",
         {"Failed switch to overdrive mode.", "Checking hyperdrive configuration", "Trying to set hyperdrive...",
          "Failed switch to hyperdrive mode.", "Connected."}},
    };
    for (const OpeningCase& opening : cases) {
        SCOPED_TRACE(opening.name);
        solbus::resetSolbus();
        emulator_.adapter().clearReceived();
        emulator_.adapter().setFaults(opening.faults);
        const int port = open(opening.hyperdrive);
        EXPECT_EQ(port, 0);
        EXPECT_EQ(emulator_.adapter().receivedHex(), opening.wire);
        Lines expected = {"Opening serial port...", "Opened " + emulator_.devicePath() + "."};
        expected.insert(expected.end(), opening.lines.begin(), opening.lines.end());
        EXPECT_EQ(MessageRecorder::take(), expected);
    }
}

TEST_F(OpenLinkTest, WithoutAnAdapterNothingStaysOpen)
{
    AdapterFaults silent;
    silent.silent = true;
    emulator_.adapter().setFaults(silent);
    EXPECT_EQ(open(false), -1);
    EXPECT_EQ(MessageRecorder::take(), (Lines{"Opening serial port...", "Unable to open Solbus port."}));
    EXPECT_FALSE(solbus::serialPortIsOpen(0));
    EXPECT_EQ(solbus_tests::popCodes(), (std::vector<int>{5, 10}));

    // The adapter answers again: the next opening finds it.
    emulator_.adapter().setFaults({});
    EXPECT_EQ(open(false), 0);
}

}  // namespace
