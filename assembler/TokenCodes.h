#pragma once
// Token codes shared by the scanner, the grammar and the expression builders.
#include "Grammar.hpp"

// The parser compiled without its trace code (GrammarWithoutTrace.cpp).
int ParseLineWithoutTrace(zernasm::Assembly& a);
