#include "Utf8Characters.h"

#include <QChar>

namespace findinfiles {
namespace {

// How many bytes a sequence with this first byte takes; 1 for a byte that
// starts none (a trail byte, C0, C1 and F5 to FF).
std::size_t sequenceSize(unsigned char lead)
{
    if (lead < 0xC2)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return lead < 0xF5 ? 4 : 1;
}

// Well-formed, shortest form, no surrogate, not beyond U+10FFFF, and not one
// of the non-characters U+FFFE and U+FFFF of any plane.
bool wellFormed(std::size_t size, char32_t code)
{
    if ((code & 0xFFFE) == 0xFFFE)
        return false;
    switch (size) {
    case 2:
        return true;
    case 3:
        return code >= 0x800 && (code < 0xD800 || code > 0xDFFF);
    default:
        return code >= 0x10000 && code <= 0x10FFFF;
    }
}

}  // namespace

Utf8Character characterAt(std::string_view text, std::size_t at)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data()) + at;
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return {lead, 1};
    const std::size_t size = sequenceSize(lead);
    if (size == 1 || size > text.size() - at)
        return {kReplacementCharacter, 1};
    char32_t code = lead & (0x7F >> size);
    for (std::size_t i = 1; i < size; ++i) {
        if (!isTrailByte(bytes[i]))
            return {kReplacementCharacter, 1};
        code = (code << 6) | (bytes[i] & 0x3F);
    }
    if (!wellFormed(size, code))
        return {kReplacementCharacter, 1};
    return {code, size};
}

Utf8Character characterBefore(std::string_view text, std::size_t at)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char last = bytes[at - 1];
    if (last < 0x80)
        return {last, 1};
    // Back over at most three trail bytes to the byte that should start them.
    std::size_t start = at - 1;
    while (start > 0 && at - start < 4 && isTrailByte(bytes[start]))
        --start;
    const Utf8Character character = characterAt(text, start);
    if (character.size > 1 && start + character.size == at)
        return character;
    return {kReplacementCharacter, 1};
}

bool insideCharacter(std::string_view text, std::size_t at)
{
    for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
        if (!isTrailByte(static_cast<unsigned char>(text[at - back])))
            return characterAt(text, at - back).size > back;
    }
    return false;
}

CharClass charClassOf(char32_t code)
{
    if (code < 0x80) {
        if (code == '\r' || code == '\n')
            return CharClass::NewLine;
        if (code < 0x20 || code == ' ')
            return CharClass::Space;
        if (code == '_' || (code >= '0' && code <= '9') || ((code | 0x20) >= 'a' && (code | 0x20) <= 'z'))
            return CharClass::Word;
        return CharClass::Punctuation;
    }
    switch (QChar::category(code)) {
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return CharClass::NewLine;
    case QChar::Separator_Space:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return CharClass::Space;
    case QChar::Punctuation_Connector:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
    case QChar::Symbol_Math:
    case QChar::Symbol_Currency:
    case QChar::Symbol_Modifier:
    case QChar::Symbol_Other:
        return CharClass::Punctuation;
    default:
        // Letters, digits and other numbers, and marks.
        return CharClass::Word;
    }
}

}  // namespace findinfiles
