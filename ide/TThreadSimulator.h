#pragma once
// The one worker thread that performs the device's blocking run and step
// operations, so that the window stays responsive and Pause and Stop can be
// pressed. The window thread hands it one command at a time; the worker holds
// its lock for the whole device call and while posting the result, which
// reaches the window thread as a queued event.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class AbstractDevice;
class QObject;

class TThreadSimulator {
public:
    enum RunCommand {
        CommandRun = 16,
        CommandStepInto = 17,
        CommandStepOver = 18,
        CommandStepOut = 19,
        CommandRunTo = 20
    };

    // onStopped runs on the constructing (window) thread with the run result
    // of the command that is outstanding; results of commands that Halt or
    // Shutdown abandoned never arrive.
    explicit TThreadSimulator(std::function<void(int runResult)> onStopped);
    // Shuts down without a device when the owner did not.
    ~TThreadSimulator();
    TThreadSimulator(const TThreadSimulator&) = delete;
    TThreadSimulator& operator=(const TThreadSimulator&) = delete;

    void Run(AbstractDevice& device);
    void StepInto(AbstractDevice& device);
    void StepOver(AbstractDevice& device);
    void StepOut(AbstractDevice& device);
    void RunTo(AbstractDevice& device, unsigned address);

    // Device change while a debug run is open: stops the device (once a
    // command was ever given) and returns only after the command in progress
    // has returned. The broken run reports nothing; the caller reports idle.
    void Halt(AbstractDevice& device);
    // Main window closing: no result is reported any more, the device (when
    // given, and once a command was ever given) is stopped, the thread ends
    // and is joined. The caller frees the device afterwards.
    void Shutdown(AbstractDevice* device);

    bool CommandOutstanding() const { return outstanding_ != 0; }

private:
    void Give(AbstractDevice& device, RunCommand command, unsigned address);
    void Execute();
    void Deliver(int runResult, uint64_t sequence);

    std::function<void(int)> onStopped_;
    std::unique_ptr<QObject> mailbox_;  // lives on the window thread; its death drops undelivered results

    std::mutex lock_;
    std::condition_variable wake_;
    AbstractDevice* device_ = nullptr;
    RunCommand command_ = CommandRun;
    unsigned address_ = 0;
    uint64_t sequence_ = 0;
    bool pending_ = false;
    bool terminated_ = false;
    std::atomic<bool> notify_{true};

    // Window thread only.
    bool everStarted_ = false;
    uint64_t outstanding_ = 0;
    uint64_t lastSequence_ = 0;

    std::thread thread_;
};
