#include "ScannerSupport.h"

#include <cstring>
#include <sys/stat.h>

#include "Assembly.h"
#include "Listing.h"

namespace zernasm {

int32_t NumberValue(std::string_view text)
{
    if (text.size() >= 80)
        return -1;
    if (text.empty())
        return 0;
    const unsigned char last = AsciiUpper(text.back());
    const uint32_t base = last == 'B' ? 2 : last == 'H' ? 16 : 10;
    uint64_t value = 0;
    for (const char c : text) {
        const unsigned char upper = AsciiUpper(c);
        uint32_t digit;
        if (upper >= '0' && upper <= '9') {
            digit = static_cast<uint32_t>(upper - '0');
        } else if (upper >= 'A' && upper <= 'F') {
            digit = static_cast<uint32_t>(upper - 'A' + 10);
        } else {
            break;
        }
        if (digit >= base)
            break;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu)
            value = 0xFFFFFFFFu;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

int32_t BracketIndex(std::string_view text)
{
    const size_t open = text.find('[');
    if (open == std::string_view::npos)
        return -1;
    const size_t close = text.find(']', open + 1);
    if (close == std::string_view::npos)
        return -1;
    return NumberValue(text.substr(open + 1, close - open - 1));
}

void NoteToken(Assembly& a, std::string_view text)
{
    a.lastTokenText = text;
    if (CollectingListingText(a))
        a.listingText.append(text);
}

std::string_view FoldLineEnds(Assembly& a, std::string_view text)
{
    size_t at = text.find("\r\n");
    if (at == std::string_view::npos)
        return text;
    std::string& folded = a.foldedToken;
    folded.assign(text);
    for (; at != std::string::npos; at = folded.find("\r\n", at + 1))
        folded[at] = '\n';
    TakeBackListingText(a, text.size());
    NoteToken(a, folded);
    return folded;
}

bool ReadSource(FILE* file, std::string& source)
{
    source.clear();
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && info.st_size > 0)
        source.reserve(static_cast<size_t>(info.st_size) + 2);
    char block[65536];
    size_t count;
    while ((count = fread(block, 1, sizeof block, file)) > 0)
        source.append(block, count);
    if (ferror(file))
        return false;
    // Most sources hold no CR at all: folding starts at the first one.
    const void* firstCr = memchr(source.data(), '\r', source.size());
    size_t kept = firstCr ? static_cast<size_t>(static_cast<const char*>(firstCr) - source.data()) : source.size();
    for (size_t i = kept; i < source.size(); ++i) {
        if (source[i] == '\r' && i + 1 < source.size() && source[i + 1] == '\n')
            continue;
        source[kept++] = source[i];
    }
    source.resize(kept);
    source.append(2, '\0');
    return true;
}

}  // namespace zernasm
