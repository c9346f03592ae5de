#pragma once
// A Find in Files search on a thread of its own: the window stays responsive,
// takes the result lines in batches as they are found, and can cancel.

#include <QList>
#include <QObject>
#include <atomic>
#include <thread>

#include "FileSearch.h"
#include "FindResultsModel.h"

class FindInFilesRun : public QObject {
    Q_OBJECT
public:
    // Starts at once.
    explicit FindInFilesRun(findinfiles::SearchRequest request, QObject* parent = nullptr);
    // Cancels and waits for the thread; batches not yet delivered are dropped.
    ~FindInFilesRun() override;

    void cancel() { cancelled_ = true; }
    bool isRunning() const { return running_; }

signals:
    void linesFound(const QList<FindResultLine>& lines);
    // After the last batch; cancelled when the search stopped early.
    void finished(bool cancelled);

private:
    void work();
    void deliver(QList<FindResultLine> lines, bool last);

    findinfiles::SearchRequest request_;
    std::atomic<bool> cancelled_{false};
    bool running_ = true;
    std::thread thread_;
};
