#pragma once
// Number entries of the small dialogs: a whole number above 0, or nothing.

#include <QString>
#include <optional>

std::optional<int> PositiveNumber(const QString& text);
