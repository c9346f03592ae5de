// Stands in for the USB dongle's library: answers every call with success
// and records it, so a test can check the calls and their order.

#include <cstdio>
#include <string>

namespace {
std::string calls;

unsigned long record(const char* format, unsigned long a = 0, unsigned long b = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    calls += text;
    calls += ';';
    return 0;
}
}  // namespace

extern "C" {

__attribute__((visibility("default"))) const char* fakeDongleCalls()
{
    return calls.c_str();
}

__attribute__((visibility("default"))) unsigned long FT_Open(int device, void** handle)
{
    *handle = &calls;
    return record("Open(%lu)", static_cast<unsigned long>(device));
}

__attribute__((visibility("default"))) unsigned long FT_Close(void*)
{
    return record("Close");
}

__attribute__((visibility("default"))) unsigned long FT_Write(void*, void* buffer, unsigned long count,
                                                              unsigned long* written)
{
    *written = count;
    return record("Write(%02lx,%lu)", *static_cast<unsigned char*>(buffer), count);
}

__attribute__((visibility("default"))) unsigned long FT_SetBaudRate(void*, unsigned long baud)
{
    return record("SetBaudRate(%lu)", baud);
}

__attribute__((visibility("default"))) unsigned long FT_SetTimeouts(void*, unsigned long readMs, unsigned long writeMs)
{
    return record("SetTimeouts(%lu,%lu)", readMs, writeMs);
}

__attribute__((visibility("default"))) unsigned long FT_SetBitMode(void*, unsigned char mask, unsigned char mode)
{
    return record("SetBitMode(%02lx,%lu)", mask, mode);
}
}
