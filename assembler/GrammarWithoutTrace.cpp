// The generated parser once more, without its trace code: the lines parsed
// while the grammar trace switch is off take this copy, which does the same
// steps and actions without asking at each step whether to print them.
#define YYDEBUG 0
#define yyparse ParseLineWithoutTrace
#include "Grammar.cpp"
