#include "FileSearch.h"

#include "FileWalk.h"
#include "UserFile.h"

namespace findinfiles {
namespace {

class Searcher final : public FileWalkVisitor {
public:
    Searcher(const SearchRequest& request, const FileHitsSink& sink, const std::atomic<bool>& cancelled)
        : request_(request), matcher_(request.text, request.rules), sink_(sink), cancelled_(cancelled)
    {}

    void file(const std::string& path, const std::string& canonical) override
    {
        if (const auto open = request_.openTexts.find(canonical); open != request_.openTexts.end()) {
            report(path, open->second);
            return;
        }
        platform::UserFileCheck check;
        if (platform::readUserFileInto(path, request_.maxFileBytes, buffer_, &check))
            report(path, buffer_);
        else
            sink_({path, {}, check.reason});
    }

    void unreadableFolder(const std::string& path, const std::string& reason) override { sink_({path, {}, reason}); }

    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

private:
    void report(const std::string& path, std::string_view text)
    {
        std::vector<FoundHit> hits = findHits(text, matcher_, request_.tabWidth, &cancelled_);
        if (!hits.empty())
            sink_({path, std::move(hits), {}});
    }

    const SearchRequest& request_;
    const TextMatcher matcher_;
    const FileHitsSink& sink_;
    const std::atomic<bool>& cancelled_;
    // One buffer for every file read: no allocation per file.
    std::string buffer_;
};

}  // namespace

void runSearch(const SearchRequest& request, const FileHitsSink& sink, const std::atomic<bool>& cancelled)
{
    if (request.text.empty())
        return;
    Searcher searcher(request, sink, cancelled);
    if (!request.projectScope) {
        walkFiles(walkStartFrom(request.field, request.currentFolder), request.subfolders, searcher, cancelled);
        return;
    }
    for (const std::string& file : request.projectFiles) {
        if (searcher.cancelled())
            return;
        const std::string path = cleanAbsolutePath(file, request.currentFolder);
        searcher.file(path, canonicalPath(path, {}));
    }
}

}  // namespace findinfiles
