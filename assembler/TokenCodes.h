#pragma once
// Token codes shared by the scanner, the grammar and the expression builders.
#include "Grammar.hpp"
