#pragma once
// Data lists, ORG, ALIGN and END.
#include <cstdint>

namespace zernasm {

struct Assembly;

void DataByte(Assembly& a, int32_t value);
void DataString(Assembly& a);  // the last string token
void DataWord(Assembly& a, int32_t value);
void DataLong(Assembly& a, int32_t value);
// Closes a DB list (`isByteList`) or a DW/DL list: checks, padding, listing.
void FinishDataList(Assembly& a, bool isByteList);
// The two steps of closing a list: the checks and padding, then the listing.
void CloseDataList(Assembly& a, bool isByteList);
void ListDataList(Assembly& a);
void OrgDirective(Assembly& a, int32_t value);
void AlignDirective(Assembly& a);
void EndDirective(Assembly& a);

}  // namespace zernasm
