#pragma once
// The listing file: header, statement lines and data directive entries.
#include <cstdint>
#include <string>
#include <vector>

namespace zernasm {

struct Assembly;

// Listing state values of a statement besides a code word.
constexpr int32_t kNothingListed = -1;
constexpr int32_t kListedByData = -2;

void WriteListingHeader(Assembly& a, int argc, const char* const* argv, const std::string& localTime);
// `code` is a code word, kNothingListed or kListedByData (which it consumes).
void WriteListingLine(Assembly& a, uint32_t wordAddress, int32_t code, const std::string& text);
void WriteDataListingLine(Assembly& a, uint32_t address, const std::string& text);
// Takes a token's text back from the line's listing text: label and name
// tokens are listed as composed instead.
void TakeBackListingText(Assembly& a, size_t length);
// The closing words of the listing in the C library's fixed 24-character form.
std::string LocalTimeText();

}  // namespace zernasm
