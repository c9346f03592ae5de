#include <climits>
#include <gtest/gtest.h>

#include "PrintLayout.h"
#include "TextLines.h"

namespace {

std::vector<std::string> NumberedLines(int count)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

}  // namespace

TEST(PrintLayout, PagesHoldWholeLinesBetweenOneInchMargins)
{
    // 11 inches at 100 pixels per inch leave 9 inches: 900 / 50 = 18 lines.
    EXPECT_EQ(LinesPerPage(1100, 100, 50), 18);
    EXPECT_EQ(PageCount(130, 18), 8);
    EXPECT_EQ(PageCount(126, 18), 7);
}

TEST(PrintLayout, AtLeastOneLinePerPageAndOnePage)
{
    EXPECT_EQ(LinesPerPage(1100, 100, 5000), 1);
    EXPECT_EQ(LinesPerPage(150, 100, 10), 1);
    EXPECT_EQ(PageCount(0, 18), 1);
    const auto pages = LayoutPages({}, 1, 18, 1, INT_MAX, true);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].empty());
}

TEST(PrintLayout, NumbersStartAtTheFirstPrintedLine)
{
    const auto pages = LayoutPages(NumberedLines(5), 40, 2, 1, INT_MAX, true);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0][0].number, "40:  ");
    EXPECT_EQ(pages[0][0].text, "line 1");
    EXPECT_EQ(pages[2][0].number, "44:  ");
    EXPECT_EQ(pages[2].size(), 1u);
    EXPECT_EQ(LayoutPages(NumberedLines(2), 1, 2, 1, 1, false)[0][1].number, "");
}

TEST(PrintLayout, PageRangeIsClampedToThePagesThereAre)
{
    const auto pages = LayoutPages(NumberedLines(10), 1, 3, 2, 3, false);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0][0].text, "line 4");
    EXPECT_EQ(LayoutPages(NumberedLines(10), 1, 3, 9, 12, false).size(), 1u);
}

TEST(PrintLayout, SplitLinesTakesEveryLineEnd)
{
    EXPECT_EQ(platform::splitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(platform::splitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(platform::splitLines("").empty());
}
