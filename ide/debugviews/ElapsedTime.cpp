#include "ElapsedTime.h"

#include <cmath>
#include <cstdint>

namespace {

// Six significant digits first, then three decimals, as the time has always
// been shown.
QString fixedText(double value)
{
    return QString::number(QString::number(value, 'g', 6).toDouble(), 'f', 3);
}

QString padded(uint64_t value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 10, QLatin1Char('0'));
}

}  // namespace

std::optional<QString> elapsedTimeText(float microseconds)
{
    // Adding zero turns a negative zero into zero.
    const double t = static_cast<double>(microseconds) + 0.0;
    if (!std::isfinite(t) || t < 0)
        return std::nullopt;
    if (t < 1000)
        return fixedText(t) + QStringLiteral(" microseconds");
    if (t < 1000000)
        return fixedText(t / 1000) + QStringLiteral(" milliseconds");
    const double wholeMilliseconds = std::trunc(t / 1000);
    if (wholeMilliseconds >= 18446744073709551616.0)
        return std::nullopt;
    const auto m = static_cast<uint64_t>(wholeMilliseconds);
    return padded(m / 3600000, 2) + QLatin1Char(':') + padded(m / 60000 % 60, 2) + QLatin1Char(':')
           + padded(m / 1000 % 60, 2) + QLatin1Char('.') + padded(m % 1000, 3);
}
