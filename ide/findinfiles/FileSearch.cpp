#include "FileSearch.h"

#include <algorithm>

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
            sink_({path, {}, false, check.reason});
    }

    void unreadableFolder(const std::string& path, const std::string& reason) override
    {
        sink_({path, {}, false, reason});
    }

    // Also once the hits have run over: nothing more is searched.
    bool stopped() const override { return tooManyHits_ || cancelled_.load(std::memory_order_relaxed); }
    bool tooManyHits() const { return tooManyHits_; }

private:
    void report(const std::string& path, std::string_view text)
    {
        const std::size_t left = request_.maxHits - listed_;
        const std::size_t limit = std::min(request_.maxHitsPerFile, left);
        TextHits found = findHits(text, matcher_, request_.tabWidth, limit, &cancelled_);
        tooManyHits_ = found.more && limit == left;
        listed_ += found.hits.size();
        if (!found.hits.empty())
            sink_({path, std::move(found.hits), found.more && !tooManyHits_, {}});
    }

    const SearchRequest& request_;
    const TextMatcher matcher_;
    const FileHitsSink& sink_;
    const std::atomic<bool>& cancelled_;
    std::size_t listed_ = 0;
    bool tooManyHits_ = false;
    // One buffer for every file read: no allocation per file.
    std::string buffer_;
};

}  // namespace

SearchEnd runSearch(const SearchRequest& request, const FileHitsSink& sink, const std::atomic<bool>& cancelled)
{
    if (request.text.empty())
        return SearchEnd::Done;
    Searcher searcher(request, sink, cancelled);
    if (!request.projectScope) {
        walkFiles(walkStartFrom(request.field, request.currentFolder), request.subfolders, searcher);
    } else {
        for (const std::string& file : request.projectFiles) {
            if (searcher.stopped())
                break;
            const std::string path = cleanAbsolutePath(file, request.currentFolder);
            searcher.file(path, canonicalPath(path, {}));
        }
    }
    if (searcher.tooManyHits())
        return SearchEnd::TooManyHits;
    return cancelled.load(std::memory_order_relaxed) ? SearchEnd::Cancelled : SearchEnd::Done;
}

}  // namespace findinfiles
