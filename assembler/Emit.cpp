#include "Emit.h"

#include "AsmState.h"
#include "Reporting.h"

namespace zernasm {

namespace {

// The byte addresses that the HEX files' 32-bit addresses reach.
constexpr uint64_t kAddressSpaceBytes = uint64_t{1} << 32;

// A counter past the end of the address space is an error of the line that
// moved it there, reported once per line.
void CheckAddressSpace(uint64_t bytes)
{
    if (bytes <= kAddressSpaceBytes || g_run.statement.addressReported)
        return;
    g_run.statement.addressReported = true;
    ReportError("Address past the end of the address space");
}

}  // namespace

void EmitCodeByte(uint8_t value)
{
    CheckAddressSpace(g_run.codeBytes + 1);
    if (g_run.pass == 2)
        g_run.codeStream.PutByte(g_run.codeFile, value);
    ++g_run.codeBytes;
}

void EmitCodeWord(uint16_t word)
{
    if (g_run.pass == 2 && (g_run.codeBytes & 1)) {
        ReportError("Instructions must be aligned on word boundaries!");
        return;
    }
    EmitCodeByte(static_cast<uint8_t>(word));
    EmitCodeByte(static_cast<uint8_t>(word >> 8));
}

void SetCodeAddress(uint32_t wordAddress)
{
    g_run.codeBytes = uint64_t{wordAddress} * 2;
    CheckAddressSpace(g_run.codeBytes);
    if (g_run.pass == 2)
        g_run.codeStream.SetAddress(static_cast<uint32_t>(g_run.codeBytes));
}

void EmitDataByte(uint8_t value)
{
    CheckAddressSpace(g_run.dataBytes + 1);
    if (g_run.pass == 2)
        g_run.dataStream.PutByte(g_run.dataFile, value);
    ++g_run.dataBytes;
}

void EmitDataWord(uint16_t word)
{
    EmitDataByte(static_cast<uint8_t>(word));
    EmitDataByte(static_cast<uint8_t>(word >> 8));
}

void SetDataAddress(uint32_t wordAddress)
{
    g_run.dataBytes = uint64_t{wordAddress} * 2;
    CheckAddressSpace(g_run.dataBytes);
    if (g_run.pass == 2)
        g_run.dataStream.SetAddress(static_cast<uint32_t>(g_run.dataBytes));
}

void AlignCode()
{
    if (g_run.codeBytes & 1)
        EmitCodeByte(0xFF);
}

void CloseCodeRange()
{
    const uint32_t end = CodeWordAddress();
    if (end == g_run.rangeStart)
        return;
    const size_t index = g_run.rangeCount++;
    if (g_run.ranges.size() <= index)
        g_run.ranges.resize(index + 1);
    CodeRange& range = g_run.ranges[index];
    range.start = g_run.rangeStart;
    if (g_run.pass == 1) {
        range.endPass1 = end;
    } else {
        range.endPass2 = end;
    }
}

void CheckCodeRanges(size_t count)
{
    if (count == 0)
        return;
    if (g_run.scannerTrace) {
        for (size_t i = 0; i < count; ++i) {
            fprintf(g_run.console.out, " Code segement range %d to %d\n", static_cast<int32_t>(g_run.ranges[i].start),
                    static_cast<int32_t>(g_run.ranges[i].endPass1));
        }
    }
    const CodeRange& last = g_run.ranges[count - 1];
    for (size_t i = 0; i + 1 < count; ++i) {
        const CodeRange& earlier = g_run.ranges[i];
        const bool overlaps = (earlier.start <= last.start && last.start < earlier.endPass1)
                              || (last.start <= earlier.start && earlier.start < last.endPass1);
        if (overlaps) {
            ReportError(Format(" Code segement overlaps for the range %d to %d ", static_cast<int32_t>(last.start),
                               static_cast<int32_t>(last.endPass1)));
            return;
        }
    }
}

int32_t CodeRangeOf(uint32_t wordAddress)
{
    for (size_t i = 0; i < g_run.rangeCount && i < g_run.ranges.size(); ++i) {
        const CodeRange& range = g_run.ranges[i];
        if (range.start <= wordAddress && wordAddress < range.endPass1)
            return static_cast<int32_t>(i);
    }
    return -1;
}

}  // namespace zernasm
