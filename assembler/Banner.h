#pragma once
// The program's banner: a box drawn with code page 437 line characters.
#include <cstdio>

namespace zernasm {

void PrintBanner(FILE* err);

}  // namespace zernasm
