#include <algorithm>
#include <gtest/gtest.h>

#include "Files.h"
#include "ListingReader.h"
#include "PluginFixture.h"
#include "Text.h"

namespace asmtest {
namespace {

using asmplugin::readFile;
using asmplugin::replaceFile;

class BuildFiles : public PluginFixture {
protected:
    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root() / "out"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(BuildFiles, ReplacingWritesTheWholeTextAndLeavesNothingElseBehind)
{
    const fs::path target = root() / "out" / "demo.glb";
    fs::create_directories(target.parent_path());
    ASSERT_TRUE(replaceFile(target.string(), "first\n"));
    const std::string large(300000, 'x');
    ASSERT_TRUE(replaceFile(target.string(), large));
    EXPECT_EQ(readFile(target.string()), large);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"demo.glb"});

    // A folder in the file's place: the write fails and leaves no stray file.
    const fs::path blocked = root() / "out" / "held.glb";
    writeFile(blocked / "keep", "x");
    EXPECT_FALSE(replaceFile(blocked.string(), "text"));
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"demo.glb", "held.glb"}));
    EXPECT_FALSE(replaceFile((root() / "missing" / "demo.glb").string(), "text"));

    EXPECT_FALSE(readFile((root() / "missing.lst").string()));
    EXPECT_FALSE(readFile(blocked.string())) << "a folder is no file to read";
    EXPECT_EQ(readFile(target.string() + "x"), std::nullopt);
}

TEST(ListingText, ReadInPlaceItGivesWhatTheLineListGives)
{
    const std::vector<asmplugin::Module> modules = {{"a", "/src/a.asm"}, {"b", "/src/b.asm"}};
    const std::string listing = listingFor({"$BEGIN_MODULE(a)", ";LINE(3)", "  NOP", "$BEGIN_MODULE(b)", ";LINE(7)",
                                            "  NOP", "  SEGMENT DATA", "  DW 1", "  SEGMENT CODE", "  NOP", "end"});
    std::string crlf;
    for (const char c : listing)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {listing, crlf, listing + "  \n\t\n", listing.substr(0, listing.size() - 1),
                                    std::string("\n\n"), std::string()}) {
        for (const int family : {20, 30}) {
            const auto inPlace = asmplugin::readListingText(text, modules, family);
            const auto fromLines = asmplugin::readListing(asmplugin::splitLines(text), modules, family);
            EXPECT_EQ(inPlace.successful, fromLines.successful);
            EXPECT_EQ(inPlace.map, fromLines.map);
            EXPECT_EQ(inPlace.sourceFiles, fromLines.sourceFiles);
            EXPECT_EQ(inPlace.warnings, fromLines.warnings);
        }
    }
    EXPECT_TRUE(asmplugin::readListingText(crlf, modules, 20).successful);
    EXPECT_EQ(asmplugin::readListingText(listing, modules, 20).map.size(), 3u);
}

}  // namespace
}  // namespace asmtest
