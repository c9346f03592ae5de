#include "FindInFilesRun.h"

#include <chrono>

namespace {

// Often enough to look live, seldom enough that a search with many hits does
// not flood the window thread.
constexpr auto kBatchInterval = std::chrono::milliseconds(50);

}  // namespace

FindInFilesRun::FindInFilesRun(findinfiles::SearchRequest request, QObject* parent)
    : QObject(parent), request_(std::move(request))
{
    thread_ = std::thread([this] { work(); });
}

FindInFilesRun::~FindInFilesRun()
{
    cancelled_ = true;
    thread_.join();
}

void FindInFilesRun::work()
{
    using Clock = std::chrono::steady_clock;
    QList<FindResultLine> pending;
    auto lastDelivery = Clock::now();
    const findinfiles::SearchEnd end = findinfiles::runSearch(
        request_,
        [&](findinfiles::FileHits&& file) {
            pending.append(resultLinesFor(std::move(file)));
            if (Clock::now() - lastDelivery >= kBatchInterval) {
                deliver(std::move(pending), false);
                pending.clear();
                lastDelivery = Clock::now();
            }
        },
        cancelled_);
    if (end == findinfiles::SearchEnd::TooManyHits)
        pending.append(tooManyHitsLine(request_.maxHits));
    deliver(std::move(pending), true);
}

void FindInFilesRun::deliver(QList<FindResultLine> lines, bool last)
{
    // Runs on the window thread; the destructor joins before this object's
    // posted calls are dropped, so none runs on a dead object.
    const bool cancelled = last && cancelled_;
    QMetaObject::invokeMethod(
        this,
        [this, lines = std::move(lines), last, cancelled] {
            if (!lines.isEmpty())
                emit linesFound(lines);
            if (last) {
                running_ = false;
                emit finished(cancelled);
            }
        },
        Qt::QueuedConnection);
}
