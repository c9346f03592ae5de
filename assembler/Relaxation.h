#pragma once
// The relaxation between the passes: fix-ups are re-evaluated until no size
// changes, moving later fix-ups and code labels of the same code range.

namespace zernasm {

struct Assembly;

// Returns false when it was skipped because a referenced name is undefined.
bool Relax(Assembly& a);

}  // namespace zernasm
