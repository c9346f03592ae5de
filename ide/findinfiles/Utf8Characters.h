#pragma once
// The characters of a text as the editor reads UTF-8: a well-formed sequence
// is one character; any other byte is a character of its own that stands
// for U+FFFD. With them, the word classes of the editor's whole-word search.

#include <cstddef>
#include <string_view>

namespace findinfiles {

struct Utf8Character {
    char32_t code = 0;
    std::size_t size = 0;
};

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// A byte that continues a sequence (10xxxxxx) and starts none.
inline bool isTrailByte(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The character that starts at at (< text.size()).
Utf8Character characterAt(std::string_view text, std::size_t at);
// The character that ends just before at (> 0).
Utf8Character characterBefore(std::string_view text, std::size_t at);
// Whether at falls after the first byte of a well-formed character.
bool insideCharacter(std::string_view text, std::size_t at);

enum class CharClass { Space, NewLine, Word, Punctuation };
// ASCII by the editor's default classes (letters, digits and '_' are word
// characters); beyond ASCII by the character's Unicode category.
CharClass charClassOf(char32_t code);

}  // namespace findinfiles
