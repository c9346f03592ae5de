#include "DongleReset.h"

#include "DynamicLibrary.h"

namespace zern {
namespace {

// The library's status is 0 on success. Its 32-bit arguments are passed as
// unsigned long, which reads right whether it takes them 32 or 64 bits wide.
using Status = unsigned long;
using Handle = void*;
using OpenFn = Status (*)(int device, Handle* handle);
using CloseFn = Status (*)(Handle handle);
using WriteFn = Status (*)(Handle handle, void* buffer, unsigned long count, unsigned long* written);
using SetBaudRateFn = Status (*)(Handle handle, unsigned long baud);
using SetTimeoutsFn = Status (*)(Handle handle, unsigned long readMs, unsigned long writeMs);
using SetBitModeFn = Status (*)(Handle handle, unsigned char mask, unsigned char mode);

constexpr unsigned char kResetPinsMask = 0xFB;
constexpr unsigned char kSynchronousBitBang = 4;
constexpr unsigned long kBitBangBaud = 25000;

bool writeOneByte(WriteFn write, Handle handle, unsigned char byte)
{
    unsigned long written = 0;
    return write(handle, &byte, 1, &written) == 0;
}

}  // namespace

void resetUsbDongle(const std::function<void(const std::string&)>& log)
{
    log("Looking for USB JTAG Dongle...");
    platform::DynamicLibrary library;
    OpenFn open = nullptr;
    CloseFn close = nullptr;
    WriteFn write = nullptr;
    SetBaudRateFn setBaudRate = nullptr;
    SetTimeoutsFn setTimeouts = nullptr;
    SetBitModeFn setBitMode = nullptr;
    if (library.open(kDongleLibraryName)) {
        open = library.function<OpenFn>("FT_Open");
        close = library.function<CloseFn>("FT_Close");
        write = library.function<WriteFn>("FT_Write");
        setBaudRate = library.function<SetBaudRateFn>("FT_SetBaudRate");
        setTimeouts = library.function<SetTimeoutsFn>("FT_SetTimeouts");
        setBitMode = library.function<SetBitModeFn>("FT_SetBitMode");
    }
    Handle handle = nullptr;
    if (!open || !close || !write || !setBaudRate || !setTimeouts || !setBitMode || open(0, &handle) != 0) {
        log("Not found.");
        return;
    }
    log("Found.  Resetting programmer...");
    if (setBitMode(handle, kResetPinsMask, kSynchronousBitBang) == 0 && setBaudRate(handle, kBitBangBaud) == 0
        && writeOneByte(write, handle, 0x00) && writeOneByte(write, handle, 0x80))
        log("Done.");
    setBitMode(handle, 0, 0);
    setTimeouts(handle, 4000, 0);
    close(handle);
}

}  // namespace zern
