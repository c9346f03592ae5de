#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "OrderedJobs.h"

namespace {

using asmplugin::OrderedJobs;
using asmplugin::runInOrder;
using namespace std::chrono_literals;

// Records what ran, what was taken and how many jobs ran at once.
struct Recorder {
    std::mutex mutex;
    std::vector<std::size_t> started;
    std::vector<std::size_t> taken;
    std::atomic<int> running{0};
    std::atomic<int> mostAtOnce{0};
    std::atomic<int> ended{0};

    void run(std::size_t job, std::chrono::milliseconds duration)
    {
        {
            const std::lock_guard lock(mutex);
            started.push_back(job);
        }
        const int now = ++running;
        for (int most = mostAtOnce; now > most && !mostAtOnce.compare_exchange_weak(most, now);) {
        }
        std::this_thread::sleep_for(duration);
        --running;
        ++ended;
    }
};

TEST(OrderedJobs, JobsEndingInAnyOrderAreTakenInOrderAndOverlapUpToTheThreadCount)
{
    for (const std::size_t threads : {1u, 3u, 8u}) {
        Recorder recorder;
        OrderedJobs jobs;
        jobs.count = 9;
        // The first jobs take longest, so later ones end first.
        jobs.run = [&](std::size_t job) { recorder.run(job, std::chrono::milliseconds(2 * (9 - job))); };
        jobs.take = [&](std::size_t job) {
            recorder.taken.push_back(job);
            return true;
        };
        runInOrder(jobs, threads);
        EXPECT_EQ(recorder.taken, (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6, 7, 8})) << threads;
        EXPECT_EQ(recorder.started.size(), 9u);
        EXPECT_LE(recorder.mostAtOnce.load(), static_cast<int>(threads));
        if (threads == 1) {
            EXPECT_EQ(recorder.started, recorder.taken) << "one thread runs them one by one";
        }
    }
}

TEST(OrderedJobs, SeveralThreadsReallyRunJobsAtOnce)
{
    std::atomic<bool> secondStarted{false};
    std::atomic<bool> sawSecond{false};
    OrderedJobs jobs;
    jobs.count = 2;
    jobs.run = [&](std::size_t job) {
        if (job == 1) {
            secondStarted = true;
            return;
        }
        // Job 0 waits (boundedly) for job 1: only another thread can start it.
        for (int wait = 0; wait < 500 && !secondStarted; ++wait)
            std::this_thread::sleep_for(1ms);
        sawSecond = secondStarted.load();
    };
    jobs.take = [](std::size_t) { return true; };
    runInOrder(jobs, 2);
    EXPECT_TRUE(sawSecond);
}

TEST(OrderedJobs, AJobWaitsForTheEarlierJobItFollows)
{
    Recorder recorder;
    std::vector<std::size_t> endOrder;
    std::mutex endMutex;
    OrderedJobs jobs;
    jobs.count = 6;
    // 0 -> 2 -> 5 write the same file; 0 is slow, so without the rule 2 and 5 would overlap it.
    jobs.after = {std::nullopt, std::nullopt, 0, std::nullopt, std::nullopt, 2};
    std::atomic<int> inChain{0};
    std::atomic<bool> overlapped{false};
    jobs.run = [&](std::size_t job) {
        const bool chained = job == 0 || job == 2 || job == 5;
        if (chained && ++inChain > 1)
            overlapped = true;
        recorder.run(job, job == 0 ? 30ms : 2ms);
        if (chained) {
            const std::lock_guard lock(endMutex);
            endOrder.push_back(job);
            --inChain;
        }
    };
    jobs.take = [](std::size_t) { return true; };
    runInOrder(jobs, 6);
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(endOrder, (std::vector<std::size_t>{0, 2, 5}));
}

TEST(OrderedJobs, ARefusedJobStopsTheTakingAndEverythingStartedHasEndedOnReturn)
{
    for (const std::size_t threads : {1u, 4u}) {
        Recorder recorder;
        OrderedJobs jobs;
        jobs.count = 40;
        jobs.run = [&](std::size_t job) { recorder.run(job, 3ms); };
        jobs.take = [&](std::size_t job) {
            recorder.taken.push_back(job);
            return job != 2;
        };
        runInOrder(jobs, threads);
        EXPECT_EQ(recorder.taken, (std::vector<std::size_t>{0, 1, 2}));
        EXPECT_EQ(recorder.running.load(), 0) << "no job is left running";
        EXPECT_EQ(recorder.ended.load(), static_cast<int>(recorder.started.size()));
        EXPECT_LT(recorder.started.size(), 40u) << "jobs not started yet never start";
        if (threads == 1) {
            EXPECT_EQ(recorder.started.size(), 3u);
        }
    }
}

TEST(OrderedJobs, AJobsExceptionReachesTheCallerInItsTurn)
{
    std::vector<std::size_t> taken;
    std::atomic<int> ended{0};
    OrderedJobs jobs;
    jobs.count = 8;
    jobs.run = [&](std::size_t job) {
        std::this_thread::sleep_for(1ms);
        ++ended;
        if (job == 3)
            throw std::runtime_error("job 3");
    };
    jobs.take = [&](std::size_t job) {
        taken.push_back(job);
        return true;
    };
    EXPECT_THROW(runInOrder(jobs, 4), std::runtime_error);
    EXPECT_EQ(taken, (std::vector<std::size_t>{0, 1, 2}));
    const int endedOnReturn = ended;
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(ended.load(), endedOnReturn) << "nothing runs on after the throw";

    jobs.count = 0;
    runInOrder(jobs, 4);
    EXPECT_EQ(taken.size(), 3u);
}

}  // namespace
