#pragma once
// One Find in Files run: the project's files or a folder walk, each file
// searched in the text of its editor window when one has it open (so
// unsaved changes count), else in its bytes on disk, without an editor.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "TextHits.h"
#include "TextMatcher.h"

namespace findinfiles {

struct SearchRequest {
    std::string text;
    MatchRules rules;
    // The project's files, in project order, instead of a folder walk.
    bool projectScope = false;
    std::vector<std::string> projectFiles;
    // The dialog's folder-and-mask field, and whether subfolders are walked.
    std::string field;
    bool subfolders = false;
    // What relative paths are taken from.
    std::string currentFolder;
    int tabWidth = 4;
    // The text of each editor window that has a file open, by the file's
    // canonical path (canonicalPath).
    std::unordered_map<std::string, std::string> openTexts;
    // A larger file is skipped, as an editor would refuse to open it.
    std::uint64_t maxFileBytes = 256ull * 1024 * 1024;
    // With these, and each hit's excerpt (TextHits.h), the results take a few
    // tens of megabytes at most, whatever is searched: a file's hits past
    // the first are not listed, and the search stops at the hit past the last.
    std::size_t maxHitsPerFile = 1000;
    std::size_t maxHits = 100000;
};

// The hits of one file, or why it was skipped.
struct FileHits {
    std::string path;
    std::vector<FoundHit> hits;
    // The file has more than maxHitsPerFile hits.
    bool moreHits = false;
    // Empty unless the file could not be read ("Permission denied").
    std::string unreadable;
};

enum class SearchEnd { Done, Cancelled, TooManyHits };

// Called for each file that has hits or could not be read, in search order.
using FileHitsSink = std::function<void(FileHits&&)>;

// Runs the search on the calling thread until done, cancelled, or stopped by
// a hit past maxHits.
SearchEnd runSearch(const SearchRequest& request, const FileHitsSink& sink, const std::atomic<bool>& cancelled);

}  // namespace findinfiles
