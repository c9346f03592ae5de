#pragma once
// A device for the debug controller's tests: it logs every call it gets, its
// run and step operations block until a result is released (Pause releases 0,
// Stop releases 1) unless a result was scripted, and it overwrites every text
// it hands out on the next call so that a caller keeping the pointer is caught.

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "DecliningDevice.h"
#include "EventLog.h"

class FakeDebugDevice : public DecliningDevice {
public:
    explicit FakeDebugDevice(EventLog& log) : log_(log) {}
    ~FakeDebugDevice() override { log_.add("device freed"); }

    // Results the next run or step operations return at once, in order.
    void scriptRunResults(std::deque<int> results)
    {
        const std::lock_guard guard(lock_);
        scripted_ = std::move(results);
    }
    // Ends a blocked run or step operation with this result.
    void release(int result)
    {
        const std::lock_guard guard(lock_);
        released_ = result;
        wake_.notify_all();
    }
    bool running() const
    {
        const std::lock_guard guard(lock_);
        return running_;
    }

    int buildResult = tolvane::kStatusDone;
    std::vector<std::string> buildMessages;
    std::optional<std::string> programFile = std::string("/project/program.hex");
    int loadResult = tolvane::kStatusDone;
    int programCounter = 0x40;
    // AddressToLine answers with this file and the program counter as the line.
    std::optional<std::string> sourceFile = std::string("/project/main.asm");
    std::optional<unsigned> lineAddress;          // LineToAddress's answer
    int breakpointResult = tolvane::kStatusDone;  // SetBreakpoint's and ClearBreakpoint's
    int setFileResult = tolvane::kStatusDone;
    std::vector<std::string> builtFiles;
    std::string builtProject;
    // Whether the pointers handed to SetStimulusFile / SetDataFile were null.
    std::optional<bool> stimulusWasNull, dataWasNull;

    int Run() override { return runOperation("Run"); }
    int StepInto() override { return runOperation("StepInto"); }
    int StepOver() override { return runOperation("StepOver"); }
    int StepOut() override { return runOperation("StepOut"); }
    int RunToAddress(unsigned address) override { return runOperation("RunToAddress " + std::to_string(address)); }
    int Pause() override
    {
        log_.add("Pause");
        release(tolvane::kRunHalted);
        return tolvane::kStatusDone;
    }
    int Stop() override
    {
        log_.add("Stop");
        release(tolvane::kRunStopped);
        return tolvane::kStatusDone;
    }
    int Build(const char* const* files, unsigned count, bool force, const char* projectPath) override
    {
        log_.add(force ? "Build force" : "Build");
        builtFiles.assign(files, files + count);
        builtProject = projectPath;
        return buildResult;
    }
    int GetBuildMessages(char*** lines, int* count) override
    {
        log_.add("GetBuildMessages");
        handedLines_.clear();
        handedPointers_.clear();
        for (const std::string& line : buildMessages)
            handedLines_.push_back(line);
        for (std::string& line : handedLines_)
            handedPointers_.push_back(line.data());
        *lines = handedPointers_.data();
        *count = static_cast<int>(handedPointers_.size());
        return tolvane::kStatusDone;
    }
    int GetProgramFile(char** path) override
    {
        log_.add("GetProgramFile");
        if (!programFile)
            return tolvane::kStatusFailed;
        *path = handOut(*programFile);
        return tolvane::kStatusDone;
    }
    int LoadProgram(const char* hexPath) override
    {
        handOut("overwritten");
        log_.add(std::string("LoadProgram ") + hexPath);
        return loadResult;
    }
    int GetProgramCounter(int* pc) override
    {
        log_.add("GetProgramCounter");
        *pc = programCounter;
        return tolvane::kStatusDone;
    }
    int AddressToLine(unsigned address, char** file, int* line) override
    {
        log_.add("AddressToLine " + std::to_string(address));
        if (!sourceFile)
            return tolvane::kStatusFailed;
        *file = handOut(*sourceFile);
        *line = static_cast<int>(address);
        return tolvane::kStatusDone;
    }
    int LineToAddress(const char* file, int line, unsigned* address) override
    {
        log_.add(std::string("LineToAddress ") + file + " " + std::to_string(line));
        if (!lineAddress)
            return tolvane::kStatusFailed;
        *address = *lineAddress;
        return tolvane::kStatusDone;
    }
    int ClearAllBreakpoints() override
    {
        log_.add("ClearAllBreakpoints");
        return tolvane::kStatusDone;
    }
    int SetBreakpoint(unsigned address) override
    {
        log_.add("SetBreakpoint " + std::to_string(address));
        return breakpointResult;
    }
    int ClearBreakpoint(unsigned address) override
    {
        log_.add("ClearBreakpoint " + std::to_string(address));
        return breakpointResult;
    }
    int ConfirmStop() override
    {
        log_.add("ConfirmStop");
        return tolvane::kStatusDone;
    }
    void Refresh() override { log_.add("Refresh"); }
    void SetDebugLevel(int level) override { log_.add("SetDebugLevel " + std::to_string(level)); }
    bool VerifyProgram(const char* hexPath) override
    {
        log_.add(std::string("VerifyProgram ") + hexPath);
        return true;
    }
    int SetStimulusFile(const char* path) override
    {
        stimulusWasNull = path == nullptr;
        log_.add(std::string("SetStimulusFile ") + (path ? path : ""));
        return setFileResult;
    }
    int SetDataFile(const char* text) override
    {
        dataWasNull = text == nullptr;
        log_.add(std::string("SetDataFile ") + (text ? text : ""));
        return setFileResult;
    }
    int StartTrace() override
    {
        log_.add("StartTrace");
        return tolvane::kStatusDone;
    }
    int StopTrace() override
    {
        log_.add("StopTrace");
        return tolvane::kStatusDone;
    }

private:
    int runOperation(const std::string& name)
    {
        log_.add(name);
        std::unique_lock guard(lock_);
        int result = 0;
        if (!scripted_.empty()) {
            result = scripted_.front();
            scripted_.pop_front();
        } else {
            running_ = true;
            wake_.wait(guard, [this] { return released_.has_value(); });
            result = *released_;
            released_.reset();
            running_ = false;
            // A run loop notices the release only at its next poll.
            guard.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        log_.add(name + " returned " + std::to_string(result));
        return result;
    }
    char* handOut(const std::string& text)
    {
        std::memset(handed_, 'X', sizeof handed_ - 1);
        handed_[sizeof handed_ - 1] = '\0';
        std::strncpy(handed_, text.c_str(), sizeof handed_ - 1);
        return handed_;
    }

    EventLog& log_;
    mutable std::mutex lock_;
    std::condition_variable wake_;
    std::deque<int> scripted_;
    std::optional<int> released_;
    bool running_ = false;
    char handed_[256] = {};
    std::vector<std::string> handedLines_;
    std::vector<char*> handedPointers_;
};
