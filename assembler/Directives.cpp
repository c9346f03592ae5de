#include "Directives.h"

#include "Assembly.h"
#include "Emit.h"
#include "Listing.h"
#include "Reporting.h"

namespace zernasm {

namespace {

// Largest number of bytes one data directive lists.
constexpr size_t kListedDataBytes = 1024;

void Collect(Assembly& a, uint8_t value)
{
    if (a.pass != 2 || !a.options.listing)
        return;
    std::vector<uint8_t>& bytes = a.output.dataBytes;
    if (bytes.size() < kListedDataBytes)
        bytes.push_back(value);
}

void WriteByte(Assembly& a, uint8_t value)
{
    if (a.dataSegment) {
        EmitDataByte(a, value);
    } else {
        EmitCodeByte(a, value);
    }
    Collect(a, value);
}

void WriteWord(Assembly& a, uint16_t word)
{
    if (a.dataSegment) {
        EmitDataWord(a, word);
    } else {
        EmitCodeWord(a, word);
    }
    Collect(a, static_cast<uint8_t>(word >> 8));
    Collect(a, static_cast<uint8_t>(word));
}

}  // namespace

void DataByte(Assembly& a, int32_t value)
{
    if (a.pass == 1)
        a.log.KeepDataItem(DataItem::Byte, value);
    WriteByte(a, static_cast<uint8_t>(value));
}

void DataString(Assembly& a)
{
    const std::string& text = a.stringText;
    if (text.size() < 2)
        return;
    for (size_t i = 1; i + 1 < text.size(); ++i)
        WriteByte(a, static_cast<uint8_t>(text[i]));
}

void DataWord(Assembly& a, int32_t value)
{
    if (a.pass == 1)
        a.log.KeepDataItem(DataItem::Word, value);
    WriteWord(a, static_cast<uint16_t>(value));
}

void DataLong(Assembly& a, int32_t value)
{
    if (a.pass == 1)
        a.log.KeepDataItem(DataItem::Long, value);
    const uint32_t bits = static_cast<uint32_t>(value);
    std::vector<uint8_t>& bytes = a.output.dataBytes;
    const size_t before = bytes.size();
    WriteWord(a, static_cast<uint16_t>(bits));
    WriteWord(a, static_cast<uint16_t>(bits >> 16));
    // The listing shows the long from bits 31..24 down to bits 7..0.
    if (bytes.size() == before + 4) {
        std::swap(bytes[before], bytes[before + 2]);
        std::swap(bytes[before + 1], bytes[before + 3]);
    }
}

void FinishDataList(Assembly& a, bool isByteList)
{
    if (a.pass == 1) {
        // Kept item values are those of pass 1: a name or "$" may read otherwise in pass 2.
        if (a.tokens.identifierSeen || a.tokens.dollarSeen)
            a.log.NotRepeatable();
        a.log.KeepDataEnd(isByteList, a.scanOffset);
    }
    CloseDataList(a, isByteList);
    ListDataList(a);
}

void CloseDataList(Assembly& a, bool isByteList)
{
    if (!isByteList)
        return;
    const bool accepted = a.options.allowDb || (a.dataSegment && a.options.core == Core::ZernA);
    if (!accepted)
        ReportError(a, "The DB data type is currently not supported!");
    AlignCode(a);
}

void ListDataList(Assembly& a)
{
    if (a.pass == 2 && a.options.listing && a.listingFile)
        WriteDataListingLine(a, a.directiveAddress, a.listingText);
}

void OrgDirective(Assembly& a, int32_t value)
{
    const uint32_t address = static_cast<uint32_t>(value);
    if (a.dataSegment) {
        SetDataAddress(a, address);
        return;
    }
    const size_t before = a.rangeCount;
    CloseCodeRange(a);
    if (a.pass == 2 && a.rangeCount != before)
        CheckCodeRanges(a, a.rangeCount);
    a.rangeStart = address;
    SetCodeAddress(a, address);
}

void AlignDirective(Assembly& a)
{
    if (a.dataSegment)
        return;
    for (uint64_t pad = a.codeBytes % 4; pad > 0; --pad)
        EmitCodeByte(a, 0xFF);
}

void EndDirective(Assembly& a)
{
    if (a.pass == 2 && a.options.listing && a.listingFile) {
        WriteListingLine(a, CodeWordAddress(a), kNothingListed, a.listingText);
    }
    a.endOfInput = true;
}

}  // namespace zernasm
