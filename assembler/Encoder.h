#pragma once
// Composition: the instruction of a statement becomes its code word and prefix
// words, after the checks of its rule; pass 1 counts the words, pass 2 writes
// them. Then the end of the statement lists it.
namespace zernasm {

struct Assembly;

// Composes the statement's instruction (Assembly::statement) into
// Assembly::composition and emits its words.
void ComposeInstruction(Assembly& a);

// The end-of-statement step of every parsed line: the checks of pass 2, the
// statement's listing, and the start of the next statement.
void EndStatement(Assembly& a);
void CheckStatement(Assembly& a);
void ListStatement(Assembly& a);
void FinishStatement(Assembly& a);

}  // namespace zernasm
