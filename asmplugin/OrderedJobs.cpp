#include "OrderedJobs.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <sched.h>
#include <thread>

namespace asmplugin {
namespace {

enum class JobState { Waiting, Running, Ended };

class Scheduler {
public:
    explicit Scheduler(const OrderedJobs& jobs)
        : jobs_(jobs), states_(jobs.count, JobState::Waiting), errors_(jobs.count), limit_(jobs.count)
    {}

    // A helper thread: runs whatever may start until nothing is left.
    void work()
    {
        std::unique_lock lock(mutex_);
        while (true) {
            if (const auto job = startable()) {
                runLocked(*job, lock);
            } else if (anyWaiting()) {
                changed_.wait(lock);
            } else {
                return;
            }
        }
    }

    // The calling thread: takes the jobs in order and runs jobs itself while
    // the next one to take has not ended.
    void takeAll()
    {
        for (std::size_t job = 0; job < jobs_.count; ++job) {
            std::unique_lock lock(mutex_);
            while (states_[job] != JobState::Ended) {
                if (const auto other = startable())
                    runLocked(*other, lock);
                else
                    changed_.wait(lock);
            }
            const std::exception_ptr error = errors_[job];
            lock.unlock();
            if (error)
                std::rethrow_exception(error);
            if (!jobs_.take(job))
                return;
        }
    }

    // Nothing that has not started yet starts any more.
    void stop()
    {
        const std::lock_guard lock(mutex_);
        limit_ = 0;
        changed_.notify_all();
    }

private:
    bool mayStart(std::size_t job) const
    {
        if (states_[job] != JobState::Waiting)
            return false;
        const auto before = job < jobs_.after.size() ? jobs_.after[job] : std::nullopt;
        return !before || states_[*before] == JobState::Ended;
    }

    std::optional<std::size_t> startable() const
    {
        for (std::size_t job = 0; job < limit_; ++job) {
            if (mayStart(job))
                return job;
        }
        return std::nullopt;
    }

    bool anyWaiting() const
    {
        for (std::size_t job = 0; job < limit_; ++job) {
            if (states_[job] == JobState::Waiting)
                return true;
        }
        return false;
    }

    void runLocked(std::size_t job, std::unique_lock<std::mutex>& lock)
    {
        states_[job] = JobState::Running;
        lock.unlock();
        std::exception_ptr error;
        try {
            jobs_.run(job);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        errors_[job] = error;
        states_[job] = JobState::Ended;
        changed_.notify_all();
    }

    const OrderedJobs& jobs_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<JobState> states_;
    std::vector<std::exception_ptr> errors_;
    std::size_t limit_;
};

}  // namespace

void runInOrder(const OrderedJobs& jobs, std::size_t threads)
{
    Scheduler scheduler(jobs);
    std::vector<std::thread> helpers;
    const std::size_t wanted = std::min(threads, jobs.count);
    try {
        while (helpers.size() + 1 < wanted)
            helpers.emplace_back([&scheduler] { scheduler.work(); });
    } catch (...) {
        // Fewer helpers: the calling thread still runs every job itself.
    }
    std::exception_ptr failure;
    try {
        scheduler.takeAll();
    } catch (...) {
        failure = std::current_exception();
    }
    scheduler.stop();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}

std::size_t processorCount()
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return static_cast<std::size_t>(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace asmplugin
