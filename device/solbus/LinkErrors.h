#pragma once
// The ring of the last ten link-error codes and the fixed table of their
// texts. Process-wide and unlocked, like the port table.

#include <cstdio>

namespace solbus {

// The codes this layer and the adapter protocol raise.
enum LinkErrorCode {
    kErrorNone = 0,
    kErrorNoDevices = 1,
    kErrorResetFailed = 2,
    kErrorSearchFailed = 3,
    kErrorAccessFailed = 4,
    kErrorAdapterNotDetected = 5,
    kErrorWrongBaud = 6,
    kErrorBadResponse = 7,
    kErrorOpenFailed = 8,
    kErrorWriteFailed = 9,
    kErrorReadFailed = 10,
    kErrorBlockTooLarge = 11,
    kErrorBlockFailed = 12,
    kErrorProgramPulse = 13,
    kErrorProgramByte = 14,
    kErrorWriteByte = 15,
    kErrorWriteVerify = 17,
    kErrorReadVerify = 18,
    kErrorWriteScratchpad = 19,
    kErrorCopyScratchpad = 20,
    kErrorCrcLength = 21,
    kErrorCrc = 22,
    kErrorAcquireResource = 23,
    kErrorInitializeResource = 24,
    kErrorPortIndex = 115,
};

constexpr int kLinkErrorTextCount = 124;

void PushLinkError(int code);
// The newest code (0 when none); the ring moves back one slot even when empty.
int PopLinkError();
void ClearLinkError();
bool HasLinkError();
// The text of a code; a code outside 0..123 gets the text of code 0.
const char* LinkErrorText(int code);
// Pops the newest code and writes "Error %d: %s\r\n".
void PrintLinkError(std::FILE* stream);
void PrintLinkErrorToConsole();

// Empties the ring and puts its position back to the start.
void resetLinkErrors();

}  // namespace solbus
