#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "FileSearch.h"
#include "FileWalk.h"

namespace {

using findinfiles::SearchRequest;

class SearchTest : public ::testing::Test {
protected:
    SearchTest()
    {
        write("tree/b.asm", "hit\n");
        write("tree/a.txt", "a hit\n");
        write("tree/Makefile", "hit\n");
        write("tree/.hidden", "hit\n");
        write("tree/sub/c.asm", "one\nhit\n");
        write("tree/sub/deeper/d.asm", "hit\n");
        write("tree/sub/plain.inc", "no match\n");
        // A link back up would loop; a link to a file is searched.
        ::symlink(path("tree").c_str(), path("tree/sub/loop").c_str());
        ::symlink(path("tree/sub/c.asm").c_str(), path("tree/link.asm").c_str());
    }

    std::string path(const std::string& relative) const { return folder_.filePath(relative.c_str()).toStdString(); }

    void write(const std::string& relative, const std::string& bytes) const
    {
        const std::filesystem::path full = path(relative);
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
    }

    SearchRequest directories(const std::string& field, bool subfolders) const
    {
        SearchRequest request;
        request.text = "hit";
        request.field = field;
        request.subfolders = subfolders;
        request.currentFolder = path("");
        return request;
    }

    // "path:line:column" per hit, "path!reason" per skipped file, relative to the folder.
    std::vector<std::string> run(const SearchRequest& request, int cancelAfter = -1) const
    {
        std::vector<std::string> lines;
        std::atomic<bool> cancelled{false};
        int files = 0;
        const std::string prefix = path("") + "/";
        findinfiles::runSearch(
            request,
            [&](findinfiles::FileHits&& file) {
                const std::string shown = file.path.starts_with(prefix) ? file.path.substr(prefix.size()) : file.path;
                if (!file.unreadable.empty())
                    lines.push_back(shown + "!" + file.unreadable);
                for (const auto& hit : file.hits)
                    lines.push_back(shown + ":" + std::to_string(hit.line) + ":" + std::to_string(hit.column));
                if (++files == cancelAfter)
                    cancelled = true;
            },
            cancelled);
        return lines;
    }

    QTemporaryDir folder_;
};

using Lines = std::vector<std::string>;

TEST_F(SearchTest, AFolderWalkTakesNamesInByteOrderFilesFirstAndFollowsNoFolderLinks)
{
    const struct {
        std::string field;
        bool subfolders;
        Lines lines;
    } cases[] = {
        // A folder field searches every file of it, with or without a dot.
        {path("tree"),
         false,
         {"tree/.hidden:1:1", "tree/Makefile:1:1", "tree/a.txt:1:3", "tree/b.asm:1:1", "tree/link.asm:2:1"}},
        {path("tree") + "/",
         false,
         {"tree/.hidden:1:1", "tree/Makefile:1:1", "tree/a.txt:1:3", "tree/b.asm:1:1", "tree/link.asm:2:1"}},
        // A mask searches only the files it fits, in every subfolder; the loop is not entered.
        {path("tree") + "/*.asm",
         true,
         {"tree/b.asm:1:1", "tree/link.asm:2:1", "tree/sub/c.asm:2:1", "tree/sub/deeper/d.asm:1:1"}},
        {"tree/*.ASM",
         true,
         {"tree/b.asm:1:1", "tree/link.asm:2:1", "tree/sub/c.asm:2:1", "tree/sub/deeper/d.asm:1:1"}},
        {path("tree") + "/sub/c.asm", false, {"tree/sub/c.asm:2:1"}},
        {path("tree") + "/?.asm", false, {"tree/b.asm:1:1"}},
        {path("tree") + "/*.none", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(run(directories(c.field, c.subfolders)), c.lines);
    }
}

TEST_F(SearchTest, AMissingFolderGivesOneLine)
{
    EXPECT_EQ(run(directories(path("absent"), true)), Lines{"absent!No such file or directory"});
}

TEST_F(SearchTest, AFolderThatCannotBeListedIsSkippedWithOneLine)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root lists every folder";
    ::chmod(path("tree/sub/deeper").c_str(), 0);
    const Lines lines = run(directories(path("tree") + "/*.asm", true));
    ::chmod(path("tree/sub/deeper").c_str(), 0755);
    EXPECT_EQ(lines, (Lines{"tree/b.asm:1:1", "tree/link.asm:2:1", "tree/sub/c.asm:2:1",
                            "tree/sub/deeper!Permission denied"}));
}

TEST_F(SearchTest, AnOpenEditorsTextIsSearchedInsteadOfTheFileByItsCanonicalPath)
{
    write("tree/A.asm", "hit\n");
    SearchRequest request = directories(path("tree") + "/*.asm", false);
    // Through a link and through "..": the same file. A.asm is another file than a.asm.
    request.openTexts[findinfiles::canonicalPath(path("tree/sub/../b.asm"), {})] = "hit hit\n";
    request.openTexts[findinfiles::canonicalPath(path("tree/sub/c.asm"), {})] = "edited\n\nhit\n";
    request.openTexts[path("tree/a.asm")] = "hit\n";
    EXPECT_EQ(run(request), (Lines{"tree/A.asm:1:1", "tree/b.asm:1:1", "tree/b.asm:1:5", "tree/link.asm:3:1"}));
}

TEST_F(SearchTest, ProjectFilesAreSearchedInProjectOrderAndUnreadableOnesSaySo)
{
    SearchRequest request = directories("", false);
    request.projectScope = true;
    request.projectFiles = {path("tree/sub/c.asm"), path("tree/b.asm"),       path("tree/gone.asm"),
                            path("tree/sub"),       path("tree/deleted.asm"), path("tree/a.txt")};
    // Open in an editor although deleted on disk: its text is what counts.
    request.openTexts[path("tree/deleted.asm")] = "x hit\n";
    request.maxFileBytes = 5;
    EXPECT_EQ(run(request),
              (Lines{"tree/sub/c.asm!larger than 5 bytes", "tree/b.asm:1:1", "tree/gone.asm!no such file",
                     "tree/sub!not a regular file", "tree/deleted.asm:1:3", "tree/a.txt!larger than 5 bytes"}));
}

TEST_F(SearchTest, CancellingStopsAfterTheCurrentFile)
{
    EXPECT_EQ(run(directories(path("tree"), true), 2), (Lines{"tree/.hidden:1:1", "tree/Makefile:1:1"}));
}

TEST_F(SearchTest, AnEmptyTextSearchesNothing)
{
    SearchRequest request = directories(path("tree"), true);
    request.text.clear();
    EXPECT_EQ(run(request), Lines{});
}

// A minified file of megabytes on one line, with a hit every 64 bytes: each
// hit keeps a short excerpt, only the first maxHitsPerFile are listed with a
// note, and the search stops at the first hit past maxHits.
TEST_F(SearchTest, HitsAreBoundedPerFileAndPerSearch)
{
    std::string line;
    while (line.size() < 4 * 1024 * 1024)
        line += std::string(60, 'x') + "hit;";
    write("big/a.js", line);
    write("big/b.js", "hit hit\n");
    SearchRequest request = directories(path("big"), false);
    // The note on a.js says its hits were cut; a search that stops says so instead.
    const struct {
        std::size_t maxHits;
        std::vector<std::size_t> listed;
        std::vector<bool> more;
        findinfiles::SearchEnd end;
    } cases[] = {
        {100000, {1000, 2}, {true, false}, findinfiles::SearchEnd::Done},
        {1002, {1000, 2}, {true, false}, findinfiles::SearchEnd::Done},
        {1001, {1000, 1}, {true, false}, findinfiles::SearchEnd::TooManyHits},
        {1000, {1000}, {false}, findinfiles::SearchEnd::TooManyHits},
        {10, {10}, {false}, findinfiles::SearchEnd::TooManyHits},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxHits);
        request.maxHits = c.maxHits;
        std::vector<std::size_t> listed;
        std::vector<bool> more;
        std::atomic<bool> cancelled{false};
        const findinfiles::SearchEnd end = findinfiles::runSearch(
            request,
            [&](findinfiles::FileHits&& file) {
                listed.push_back(file.hits.size());
                more.push_back(file.moreHits);
                for (const auto& hit : file.hits)
                    ASSERT_LE(hit.excerpt.size(), findinfiles::kExcerptBytes + 6);
            },
            cancelled);
        EXPECT_EQ(listed, c.listed);
        EXPECT_EQ(more, c.more);
        EXPECT_EQ(end, c.end);
    }
}

TEST(WalkStartTest, SplitsTheFieldIntoFolderAndMask)
{
    QTemporaryDir folder;
    const std::string root = folder.path().toStdString();
    std::ofstream(root + "/file.asm") << "x";
    const struct {
        std::string field;
        std::string folder;
        std::string mask;
    } cases[] = {
        {root, root, "*.*"},
        {root + "/", root, "*.*"},
        {root + "/*.asm", root, "*.asm"},
        {root + "/file.asm", root, "file.asm"},
        {root + "/absent", root + "/absent", "*.*"},
        {"*.inc", "/current", "*.inc"},
        {"sub/../x?.asm", "/current", "x?.asm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const findinfiles::WalkStart start = findinfiles::walkStartFrom(c.field, "/current");
        EXPECT_EQ(start.folder, c.folder);
        EXPECT_EQ(start.mask, c.mask);
    }
}

}  // namespace
