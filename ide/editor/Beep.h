#pragma once
// The system beep of refused edits and fruitless searches. Tests replace the
// sound with a counter.

#include <functional>

void Beep();
// Installs a handler in place of the sound (empty restores the sound); returns the previous.
std::function<void()> SetBeepHandler(std::function<void()> handler);
