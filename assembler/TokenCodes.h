#pragma once
// Token codes shared by the scanner, the grammar and the expression builders.
#include "Grammar.hpp"

int yylex();
int yyparse();

namespace zernasm {

// A fatal condition of the scanner's input machinery: one line on standard
// error, then the run ends with exit status 2.
[[noreturn]] void ScannerFatal(const char* message);

}  // namespace zernasm
