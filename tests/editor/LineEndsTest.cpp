#include <gtest/gtest.h>

#include "LineEnds.h"

using namespace std::string_literals;

namespace {

// The text fed in pieces cut at the given places, and the kind it was given.
std::pair<std::string, LineEnd> Normalised(std::string_view text, std::optional<LineEnd> kind,
                                           std::vector<std::size_t> cuts = {})
{
    LineEndNormaliser normaliser(kind);
    std::string result;
    const auto append = [&result](std::string_view part) { result += part; };
    std::size_t from = 0;
    cuts.push_back(text.size());
    for (std::size_t cut : cuts) {
        normaliser.feed(text.substr(from, cut - from), append);
        from = cut;
    }
    normaliser.finish(append);
    return {result, normaliser.lineEnd()};
}

// The whole text in one piece, made the given kind.
std::string NormaliseLineEnds(std::string_view text, LineEnd lineEnd)
{
    return Normalised(text, lineEnd).first;
}

}  // namespace

TEST(LineEnds, EveryKindOfLineEndBecomesCrLfAndTheLastLineGetsOne)
{
    EXPECT_EQ(NormaliseLineEnds("a\nb\r\nc\rd", LineEnd::CrLf), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(NormaliseLineEnds("a\r\n", LineEnd::CrLf), "a\r\n");
    EXPECT_EQ(NormaliseLineEnds("\n\n", LineEnd::CrLf), "\r\n\r\n");
    EXPECT_EQ(NormaliseLineEnds("\r\r\n", LineEnd::CrLf), "\r\n\r\n");
    EXPECT_EQ(NormaliseLineEnds("", LineEnd::CrLf), "");
}

TEST(LineEnds, OtherBytesAreKept)
{
    const std::string bytes = "x\0y\x80\xff\t\x1a"s;
    EXPECT_EQ(NormaliseLineEnds(bytes, LineEnd::CrLf), bytes + "\r\n");
}

TEST(LineEnds, AFileKeepsItsFirstKindOfLineEndAndATextWithoutOneGetsLf)
{
    const struct {
        std::string text;
        std::string result;
        LineEnd kind;
    } cases[] = {
        {"a\nb\n", "a\nb\n", LineEnd::Lf},
        {"a\r\nb\r\n", "a\r\nb\r\n", LineEnd::CrLf},
        {"a\rb\r", "a\rb\r", LineEnd::Cr},
        {"a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd\r\n", LineEnd::CrLf},
        {"a\nb\r\nc\r", "a\nb\nc\n", LineEnd::Lf},
        {"a\rb\r\n\n", "a\rb\r\r", LineEnd::Cr},
        {"x\r", "x\r", LineEnd::Cr},
        {"no line end", "no line end\n", LineEnd::Lf},
        {"", "", LineEnd::Lf},
        {"ab\0c\r\nd\x80\xff\ne\rf"s, "ab\0c\r\nd\x80\xff\r\ne\r\nf\r\n"s, LineEnd::CrLf},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(Normalised(c.text, std::nullopt), std::make_pair(c.result, c.kind));
    }
}

TEST(LineEnds, TextInPiecesComesOutAsTheWholeTextWould)
{
    const std::vector<std::string> texts = {"a\nb\r\nc\rd",      "\r\r\n\n\r", "x\r",         "\r\n",
                                            "ab\0c\r\nd\x80\r"s, "",           "no line end", "\n\n\r\r",
                                            "a\r\nb\r\n",        "a\nb\n",     "\r\r\n"};
    for (const std::optional<LineEnd> kind : {std::optional<LineEnd>(), std::optional(LineEnd::CrLf),
                                              std::optional(LineEnd::Lf), std::optional(LineEnd::Cr)}) {
        for (const std::string& text : texts) {
            const auto whole = Normalised(text, kind);
            // Every way of cutting the text into three pieces, empty ones included.
            for (size_t first = 0; first <= text.size(); ++first)
                for (size_t second = first; second <= text.size(); ++second)
                    ASSERT_EQ(Normalised(text, kind, {first, second}), whole)
                        << testing::PrintToString(text) << " cut at " << first << " and " << second;
        }
    }
    EXPECT_EQ(Normalised("\n\n\r\r", LineEnd::CrLf).first, "\r\n\r\n\r\n\r\n");
    EXPECT_EQ(Normalised("a\r\nb\r\n", LineEnd::Lf).first, "a\nb\n");
}
