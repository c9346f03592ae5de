#include "GridValues.h"

namespace gridvalues {
namespace {

int digitValue(QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        return c.unicode() - 'a' + 10;
    return 99;
}

int base(Radix radix)
{
    switch (radix) {
    case Radix::Decimal:
        return 10;
    case Radix::Hexadecimal:
        return 16;
    case Radix::Binary:
        break;
    }
    return 2;
}

QString hexDigits(uint64_t value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

uint64_t widthMask(int widthBits)
{
    if (widthBits > 63)
        return ~uint64_t{0};
    if (widthBits <= 0)
        return 0;
    return (uint64_t{1} << widthBits) - 1;
}

QString valueText(uint64_t value, int widthBits, Radix radix)
{
    const uint64_t shown = value & widthMask(widthBits);
    switch (radix) {
    case Radix::Decimal:
        return QString::number(shown);
    case Radix::Binary:
        return QString::number(shown, 2);
    case Radix::Hexadecimal:
        break;
    }
    if (widthBits < 33)
        return hexDigits(shown & 0xFFFFFFFFu, (widthBits + 3) / 4);
    return hexDigits(shown >> 32, (widthBits - 29) / 4) + hexDigits(shown & 0xFFFFFFFFu, 8);
}

QString addressText(int address, int addressBits)
{
    return QStringLiteral("0x") + hexDigits(static_cast<uint32_t>(address), (addressBits + 3) / 4);
}

std::optional<uint64_t> parseValue(const QString& text, int widthBits, Radix radix)
{
    QStringView digits(text);
    if (radix == Radix::Hexadecimal && digits.startsWith(QLatin1String("0x")))
        digits = digits.mid(2);
    const int radixBase = base(radix);
    uint64_t value = 0;
    for (QChar c : digits) {
        const int digit = digitValue(c);
        if (digit >= radixBase)
            return std::nullopt;
        // A value past 64 bits would wrap into another one.
        if (value > (~uint64_t{0} - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(radixBase))
            return std::nullopt;
        value = value * static_cast<uint64_t>(radixBase) + static_cast<uint64_t>(digit);
    }
    if (value & ~widthMask(widthBits))
        return std::nullopt;
    return value;
}

}  // namespace gridvalues
