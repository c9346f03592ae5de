#pragma once
// Data lists, ORG, ALIGN and END.
#include <cstdint>

namespace zernasm {

void DataByte(int32_t value);
void DataString();  // the last string token
void DataWord(int32_t value);
void DataLong(int32_t value);
// Closes a DB list (`isByteList`) or a DW/DL list: checks, padding, listing.
void FinishDataList(bool isByteList);
void OrgDirective(int32_t value);
void AlignDirective();
void EndDirective();

}  // namespace zernasm
