#pragma once
// Runs numbered jobs on several threads at once and hands each finished job
// back on the calling thread in number order, so that whatever the jobs
// report reaches the caller exactly as a one-by-one run would give it.

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace asmplugin {

struct OrderedJobs {
    std::size_t count = 0;
    // For a job, the earlier job that must have ended before it may start
    // (both write the same file); empty or nothing: no such job.
    std::vector<std::optional<std::size_t>> after;
    // Runs on any of the threads.
    std::function<void(std::size_t job)> run;
    // Runs on the calling thread, for job 0, 1, 2, ... once each has ended;
    // false: no later job is taken, and none that has not started yet starts.
    std::function<bool(std::size_t job)> take;
};

// Runs the jobs on the calling thread and at most threads - 1 more, and
// returns once every job that started has ended. A job's exception is thrown
// from here in that job's turn to be taken, after the earlier jobs were taken.
void runInOrder(const OrderedJobs& jobs, std::size_t threads);

// The number of threads that a set of jobs may keep busy: the processor count.
std::size_t processorCount();

}  // namespace asmplugin
