#include "LinkErrors.h"

#include <array>

namespace solbus {
namespace {

constexpr int kRingSize = 10;

struct ErrorRing {
    std::array<int, kRingSize> slots{};
    int position = 0;
};

ErrorRing& ring()
{
    static ErrorRing instance;
    return instance;
}

// Texts as the adapter's users know them, spelling included.
const char* const kTexts[kLinkErrorTextCount] = {
    "No Error Was Set",
    "No Devices found on Solbus Network",
    "Solbus Net Reset Failed",
    "Search ROM Error: Couldn't locate next device on Solbus",
    "Access Failed: Could not select device",
    "QB7310 Adapter Not Detected",
    "QB7310: Wrong Baud",
    "QB7310: Bad Response",
    "Open COM Failed",
    "Write COM Failed",
    "Read COM Failed",
    "Data Block Too Large",
    "Block Transfer failed",
    "Program Pulse Failed",
    "Program Byte Failed",
    "Write Byte Failed",
    "Read Byte Failed",
    "Write Verify Failed",
    "Read Verify Failed",
    "Write Scratchpad Failed",
    "Copy Scratchpad Failed",
    "Incorrect CRC Length",
    "CRC Failed",
    "Failed to acquire a necessary system resource",
    "Failed to initialize system resource",
    "Data too long to fit on specified device.",
    "Read exceeds memory bank end.",
    "Write exceeds memory bank end.",
    "Device select failed",
    "Read Scratch Pad verify failed.",
    "Copy scratchpad complete not found",
    "Erase scratchpad complete not found",
    "Address read back from scrachpad was incorrect",
    "Read page with extra-info not supported by this memory bank",
    "Read page packet with extra-info not supported by this memory bank",
    "Length of packet requested exceeds page size",
    "Invalid length in packet",
    "Program pulse required but not available",
    "Trying to access a read-only memory bank",
    "Current bank is not general purpose memory",
    "Read back from write compare is incorrect, page may be locked",
    "Invalid page number for this memory bank",
    "Read page with CRC not supported by this memory bank",
    "Read page with CRC and extra-info not supported by this memory bank",
    "Read back from write incorrect, could not lock page",
    "Read back from write incorrect, could not lock redirect byte",
    "The read of the status was not completed.",
    "Page redirection not supported by this memory bank",
    "Lock Page redirection not supported by this memory bank",
    "Read back byte on EPROM programming did not match.",
    "Can not write to a page that is locked.",
    "Can not lock a redirected page that has already been locked.",
    "Trying to redirect a locked redirected page.",
    "Trying to lock a page that is already locked.",
    "Trying to write to a memory bank that is write protected.",
    "Error due to not matching MAC.",
    "Memory Bank is write protected.",
    "Secret is write protected, can not Load First Secret.",
    "Error in Reading Scratchpad after Computing Next Secret.",
    "Load Error from Loading First Secret.",
    "Power delivery required but not available",
    "Not a valid file name.",
    "Unable to Create a Directory in this part.",
    "That file already exists.",
    "The directory is not empty.",
    "The wrong type of part for this operation.",
    "The max len for this file is too small.",
    "This is not a write once bank.",
    "The file can not be found.",
    "There is not enough space available.",
    "There is not a page to match that bit in the bitmap.",
    "There are no jobs for EPROM parts.",
    "Function not supported to modify attributes.",
    "Handle is not in use.",
    "Tring to read a write only file.",
    "There is no handle available for use.",
    "The directory provided is an invalid directory.",
    "Handle does not exist.",
    "Serial Number did not match with current job.",
    "Can not program EPROM because a non-EPROM part on the network.",
    "Write protect redirection byte is set.",
    "There is an inappropriate directory length.",
    "The file has already been terminated.",
    "Failed to read memory page of Tokrin part.",
    "Failed to match scratchpad of Tokrin part.",
    "Failed to erase scratchpad of Tokrin part.",
    "Failed to read scratchpad of Tokrin part.",
    "Failed to execute SHA function on SHA Tokrin.",
    "SHA Tokrin did not return a status completion byte.",
    "Write data page failed.",
    "Copy secret into secret memory pages failed.",
    "Bind unique secret to Tokrin failed.",
    "Could not install secret into user token.",
    "Transaction Incomplete: signature did not match.",
    "Transaction Incomplete: could not sign service data.",
    "User token did not provide a valid authentication response.",
    "Failed to answer a challenge on the user token.",
    "Failed to create a challenge on the coprocessor.",
    "Transaction Incomplete: service data was not valid.",
    "Transaction Incomplete: service data was not updated.",
    "Unrecoverable, catastrophic service failure occured.",
    "Load First Secret from scratchpad data failed.",
    "Failed to match signature of user's service data.",
    "Subkey out of range for the QB7330.",
    "Block ID out of range for the QB7330",
    "Password is enabled",
    "Password is invalid",
    "This memory bank has no read only password",
    "This memory bank has no read/write password",
    "Solbus is shorted",
    "Error communicating with Solbus adapter",
    "CopyScratchpad failed: Ending Offset must go to end of page",
    "WriteScratchpad failed: Ending Offset must go to end of page",
    "Mission can not be stopped while one is not in progress",
    "Error stopping the mission",
    "Port number is outside (0,MAX_PORTNUM) interval",
    "Level of the Solbus was not changed",
    "Both the Read Only and Read Write Passwords must be set",
    "Failure to change latch state.Could not open usb port through libusb",
    "Libusb QB7320 port already opened",
    "Failed to set libusb configuration",
    "Failed to claim libusb interface",
    "Failed to set libusb altinterface",
    "No adapter found at this port number",
};

}  // namespace

void PushLinkError(int code)
{
    ErrorRing& errors = ring();
    errors.position = (errors.position + 1) % kRingSize;
    errors.slots[errors.position] = code;
}

int PopLinkError()
{
    ErrorRing& errors = ring();
    const int code = errors.slots[errors.position];
    errors.slots[errors.position] = kErrorNone;
    errors.position = errors.position == 0 ? kRingSize - 1 : errors.position - 1;
    return code;
}

void ClearLinkError()
{
    ring().slots[ring().position] = kErrorNone;
}

bool HasLinkError()
{
    return ring().slots[ring().position] != kErrorNone;
}

const char* LinkErrorText(int code)
{
    return code >= 0 && code < kLinkErrorTextCount ? kTexts[code] : kTexts[kErrorNone];
}

void PrintLinkError(std::FILE* stream)
{
    const int code = PopLinkError();
    std::fprintf(stream, "Error %d: %s\r\n", code, LinkErrorText(code));
}

void PrintLinkErrorToConsole()
{
    PrintLinkError(stdout);
}

void resetLinkErrors()
{
    ring() = ErrorRing{};
}

}  // namespace solbus
