#include "PositiveNumber.h"

std::optional<int> PositiveNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value <= 0)
        return std::nullopt;
    return value;
}
