#include "Emit.h"

#include "Assembly.h"
#include "Reporting.h"

namespace zernasm {

namespace {

// The byte addresses that the HEX files' 32-bit addresses reach.
constexpr uint64_t kAddressSpaceBytes = uint64_t{1} << 32;

// A counter past the end of the address space is an error of the line that
// moved it there, reported once per line.
void CheckAddressSpace(Assembly& a, uint64_t bytes)
{
    if (bytes <= kAddressSpaceBytes || a.output.addressReported)
        return;
    a.output.addressReported = true;
    ReportError(a, "Address past the end of the address space");
}

// The counter, the words waiting for a try to succeed, and the HEX stream of
// the code or the data segment.
struct SegmentOutput {
    uint64_t& bytes;
    std::vector<uint8_t>& pending;
    HexStream& stream;
    FILE* file;
};

SegmentOutput Code(Assembly& a)
{
    return {a.codeBytes, a.pendingCode, a.codeStream, a.codeFile};
}

SegmentOutput Data(Assembly& a)
{
    return {a.dataBytes, a.pendingData, a.dataStream, a.dataFile};
}

inline void PutByte(Assembly& a, const SegmentOutput& segment, uint8_t value)
{
    CheckAddressSpace(a, segment.bytes + 1);
    if (a.trial) {
        segment.pending.push_back(value);
    } else if (a.pass == 2) {
        segment.stream.PutByte(segment.file, value);
    }
    ++segment.bytes;
}

void SetAddress(Assembly& a, const SegmentOutput& segment, uint32_t wordAddress)
{
    if (a.trial)
        throw TrialFailed{};
    segment.bytes = uint64_t{wordAddress} * 2;
    CheckAddressSpace(a, segment.bytes);
    if (a.pass == 2)
        segment.stream.SetAddress(static_cast<uint32_t>(segment.bytes));
}

}  // namespace

void EmitCodeByte(Assembly& a, uint8_t value)
{
    PutByte(a, Code(a), value);
}

void EmitCodeWord(Assembly& a, uint16_t word)
{
    if (a.pass == 2 && (a.codeBytes & 1)) {
        ReportError(a, "Instructions must be aligned on word boundaries!");
        return;
    }
    const SegmentOutput code = Code(a);
    PutByte(a, code, static_cast<uint8_t>(word));
    PutByte(a, code, static_cast<uint8_t>(word >> 8));
}

void SetCodeAddress(Assembly& a, uint32_t wordAddress)
{
    SetAddress(a, Code(a), wordAddress);
}

void EmitDataByte(Assembly& a, uint8_t value)
{
    PutByte(a, Data(a), value);
}

void EmitDataWord(Assembly& a, uint16_t word)
{
    const SegmentOutput data = Data(a);
    PutByte(a, data, static_cast<uint8_t>(word));
    PutByte(a, data, static_cast<uint8_t>(word >> 8));
}

void SetDataAddress(Assembly& a, uint32_t wordAddress)
{
    SetAddress(a, Data(a), wordAddress);
}

void AlignCode(Assembly& a)
{
    if (a.codeBytes & 1)
        EmitCodeByte(a, 0xFF);
}

void CloseCodeRange(Assembly& a)
{
    const uint32_t end = CodeWordAddress(a);
    if (end == a.rangeStart)
        return;
    const size_t index = a.rangeCount++;
    if (a.ranges.size() <= index)
        a.ranges.resize(index + 1);
    CodeRange& range = a.ranges[index];
    range.start = a.rangeStart;
    if (a.pass == 1) {
        range.endPass1 = end;
    } else {
        range.endPass2 = end;
    }
}

void CheckCodeRanges(Assembly& a, size_t count)
{
    if (count == 0)
        return;
    if (a.scannerTrace) {
        for (size_t i = 0; i < count; ++i) {
            fprintf(a.console.out, " Code segement range %d to %d\n", static_cast<int32_t>(a.ranges[i].start),
                    static_cast<int32_t>(a.ranges[i].endPass1));
        }
    }
    const CodeRange& last = a.ranges[count - 1];
    for (size_t i = 0; i + 1 < count; ++i) {
        const CodeRange& earlier = a.ranges[i];
        const bool overlaps = (earlier.start <= last.start && last.start < earlier.endPass1)
                              || (last.start <= earlier.start && earlier.start < last.endPass1);
        if (overlaps) {
            ReportError(a, Format(" Code segement overlaps for the range %d to %d ", static_cast<int32_t>(last.start),
                                  static_cast<int32_t>(last.endPass1)));
            return;
        }
    }
}

int32_t CodeRangeOf(const Assembly& a, uint32_t wordAddress)
{
    for (size_t i = 0; i < a.rangeCount && i < a.ranges.size(); ++i) {
        const CodeRange& range = a.ranges[i];
        if (range.start <= wordAddress && wordAddress < range.endPass1)
            return static_cast<int32_t>(i);
    }
    return -1;
}

}  // namespace zernasm
