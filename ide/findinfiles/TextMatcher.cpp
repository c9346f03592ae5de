#include "TextMatcher.h"

#include <algorithm>
#include <cstring>

#include "Utf8Characters.h"

namespace findinfiles {
namespace {

constexpr unsigned char fold(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

constexpr std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> table{};
    for (int byte = 0; byte < 256; ++byte)
        table[byte] = fold(static_cast<unsigned char>(byte));
    return table;
}();

bool isAsciiLetter(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

}  // namespace

TextMatcher::TextMatcher(std::string_view text, MatchRules rules) : needle_(text), rules_(rules)
{
    startsWithTrailByte_ = !text.empty() && isTrailByte(static_cast<unsigned char>(text.front()));
    if (rules_.matchCase)
        return;
    folds_ = std::any_of(needle_.begin(), needle_.end(), [](char c) { return isAsciiLetter(c); });
    if (!folds_ || needle_.empty())
        return;
    for (char& c : needle_)
        c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
    const std::size_t size = needle_.size();
    shift_.fill(size);
    for (std::size_t i = 0; i + 1 < size; ++i)
        shift_[static_cast<unsigned char>(needle_[i])] = size - 1 - i;
}

std::size_t TextMatcher::find(std::string_view text, std::size_t from) const
{
    if (needle_.empty())
        return npos;
    for (std::size_t at = from;; ++at) {
        at = folds_ ? findFolded(text, at) : findBytes(text, at);
        if (at == npos)
            return npos;
        if ((!startsWithTrailByte_ || !insideCharacter(text, at))
            && (!rules_.wholeWord || isWordAt(text, at, at + needle_.size())))
            return at;
    }
}

std::size_t TextMatcher::findBytes(std::string_view text, std::size_t from) const
{
    if (from >= text.size() || text.size() - from < needle_.size())
        return npos;
    const void* hit = ::memmem(text.data() + from, text.size() - from, needle_.data(), needle_.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : npos;
}

std::size_t TextMatcher::findFolded(std::string_view text, std::size_t from) const
{
    const std::size_t size = needle_.size();
    if (from >= text.size() || text.size() - from < size)
        return npos;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const auto* needle = reinterpret_cast<const unsigned char*>(needle_.data());
    const unsigned char last = needle[size - 1];
    const std::size_t end = text.size() - size;
    for (std::size_t at = from; at <= end;) {
        const unsigned char byte = kFold[bytes[at + size - 1]];
        if (byte == last) {
            std::size_t i = 0;
            while (i + 1 < size && kFold[bytes[at + i]] == needle[i])
                ++i;
            if (i + 1 >= size)
                return at;
        }
        at += shift_[byte];
    }
    return npos;
}

// A hit is a whole word when the class changes at its start and at its end,
// and neither end is blank.
bool TextMatcher::isWordAt(std::string_view text, std::size_t start, std::size_t end)
{
    const auto solid = [](CharClass c) { return c == CharClass::Word || c == CharClass::Punctuation; };
    if (start > 0) {
        const CharClass first = charClassOf(characterAt(text, start).code);
        if (!solid(first) || first == charClassOf(characterBefore(text, start).code))
            return false;
    }
    if (end < text.size()) {
        const CharClass last = charClassOf(characterBefore(text, end).code);
        if (!solid(last) || last == charClassOf(characterAt(text, end).code))
            return false;
    }
    return true;
}

}  // namespace findinfiles
