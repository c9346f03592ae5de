#pragma once
// How the Statistics window shows the target's execution time.

#include <QString>
#include <optional>

// Below 1000 microseconds "<t> microseconds", below a second "<t/1000>
// milliseconds" (three decimals), else hours:minutes:seconds.milliseconds of
// the whole milliseconds, the hours with as many digits as needed. None for
// a time no clock gives: not a number, infinite, negative, or too long for
// 64 bits of milliseconds.
std::optional<QString> elapsedTimeText(float microseconds);
