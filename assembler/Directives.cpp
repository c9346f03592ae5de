#include "Directives.h"

#include "AsmState.h"
#include "Emit.h"
#include "Listing.h"
#include "Reporting.h"

namespace zernasm {

namespace {

// Largest number of bytes one data directive lists.
constexpr size_t kListedDataBytes = 1024;

void Collect(uint8_t value)
{
    if (g_run.pass != 2 || !g_run.options.listing)
        return;
    std::vector<uint8_t>& bytes = g_run.statement.dataBytes;
    if (bytes.size() < kListedDataBytes)
        bytes.push_back(value);
}

void WriteByte(uint8_t value)
{
    if (g_run.dataSegment) {
        EmitDataByte(value);
    } else {
        EmitCodeByte(value);
    }
    Collect(value);
}

void WriteWord(uint16_t word)
{
    if (g_run.dataSegment) {
        EmitDataWord(word);
    } else {
        EmitCodeWord(word);
    }
    Collect(static_cast<uint8_t>(word >> 8));
    Collect(static_cast<uint8_t>(word));
}

}  // namespace

void DataByte(int32_t value)
{
    WriteByte(static_cast<uint8_t>(value));
}

void DataString()
{
    const std::string& text = g_run.stringText;
    if (text.size() < 2)
        return;
    for (size_t i = 1; i + 1 < text.size(); ++i)
        WriteByte(static_cast<uint8_t>(text[i]));
}

void DataWord(int32_t value)
{
    WriteWord(static_cast<uint16_t>(value));
}

void DataLong(int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    std::vector<uint8_t>& bytes = g_run.statement.dataBytes;
    const size_t before = bytes.size();
    WriteWord(static_cast<uint16_t>(bits));
    WriteWord(static_cast<uint16_t>(bits >> 16));
    // The listing shows the long from bits 31..24 down to bits 7..0.
    if (bytes.size() == before + 4) {
        std::swap(bytes[before], bytes[before + 2]);
        std::swap(bytes[before + 1], bytes[before + 3]);
    }
}

void FinishDataList(bool isByteList)
{
    if (isByteList) {
        const bool accepted = g_run.options.allowDb || (g_run.dataSegment && g_run.options.core == Core::ZernA);
        if (!accepted)
            ReportError("The DB data type is currently not supported!");
        AlignCode();
    }
    if (g_run.pass == 2 && g_run.options.listing && g_run.listingFile) {
        WriteDataListingLine(g_run.directiveAddress, g_run.listingText);
    }
}

void OrgDirective(int32_t value)
{
    const uint32_t address = static_cast<uint32_t>(value);
    if (g_run.dataSegment) {
        SetDataAddress(address);
        return;
    }
    const size_t before = g_run.rangeCount;
    CloseCodeRange();
    if (g_run.pass == 2 && g_run.rangeCount != before)
        CheckCodeRanges(g_run.rangeCount);
    g_run.rangeStart = address;
    SetCodeAddress(address);
}

void AlignDirective()
{
    if (g_run.dataSegment)
        return;
    for (uint64_t pad = g_run.codeBytes % 4; pad > 0; --pad)
        EmitCodeByte(0xFF);
}

void EndDirective()
{
    if (g_run.pass == 2 && g_run.options.listing && g_run.listingFile) {
        WriteListingLine(CodeWordAddress(), kNothingListed, g_run.listingText);
    }
    g_run.endOfInput = true;
}

}  // namespace zernasm
