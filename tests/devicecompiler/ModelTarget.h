#pragma once
// A link driver over a small target model whose return stack and single-step
// count a test can look at directly: one-word CALL (0x3Dxx, relative to the
// next word) pushes the return address, RET (0x8C0D) pops it, every other
// word moves on by one. Runs halt before a code breakpoint.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "DeviceTraits.h"
#include "LinkDriver.h"

namespace devicecompiler {

struct ModelTarget {
    std::mutex mutex;
    std::map<uint32_t, uint16_t> code;
    uint32_t pc = 0;
    std::vector<uint32_t> stack;
    std::set<uint64_t> breakpoints;
    bool halted = true;
    bool leavingBreakpoint = false;
    int singleSteps = 0;
    int erasePendings = 0;
    std::vector<std::string> memoryWrites;
    std::atomic<int> connects = 0;
    // Runs on the caller's thread as a link operation begins ("connect",
    // "start", "read pc", "set breakpoint"): where a test makes another call arrive.
    std::function<void(const std::string& operation)> onLinkCall;

    void linkCall(const std::string& operation)
    {
        if (onLinkCall)
            onLinkCall(operation);
    }

    uint16_t word(uint32_t address) const
    {
        const auto found = code.find(address);
        return found == code.end() ? 0xFFFF : found->second;
    }
    void execute()
    {
        const uint16_t current = word(pc);
        if ((current & 0x7F00) == 0x3D00) {
            stack.push_back(pc + 1);
            pc = pc + 1 + static_cast<uint32_t>(static_cast<int8_t>(current & 0xFF));
        } else if ((current & 0x8F7F) == 0x8C0D && !stack.empty()) {
            pc = stack.back();
            stack.pop_back();
        } else {
            ++pc;
        }
    }
};

inline ModelTarget* modelTarget = nullptr;

class ModelDriver final : public zern::LinkDriver {
public:
    int initializeTarget() override
    {
        target().linkCall("start");
        return zern::kLinkDone;
    }
    void setErasePending() override { ++target().erasePendings; }
    bool readAllRegisters(std::array<int32_t, zern::kRegisterCount>&) override { return true; }
    bool writeOneRegister(int, int, int32_t) override { return true; }
    int readInstructionPointer(int64_t& address) override
    {
        target().linkCall("read pc");
        std::lock_guard lock(target().mutex);
        address = target().pc;
        return zern::kLinkDone;
    }
    int readMemoryCached(uint64_t, size_t, uint8_t*) override { return zern::kLinkFailure; }
    int writeMemoryBlock(uint64_t address, size_t count, const uint8_t* data) override
    {
        target().memoryWrites.push_back(std::to_string(address) + "+" + std::to_string(count) + ":"
                                        + std::to_string(data[0]));
        return zern::kLinkDone;
    }
    int readCodeCached(uint64_t wordAddress, size_t byteCount, uint8_t* buffer) override
    {
        std::lock_guard lock(target().mutex);
        for (size_t i = 0; i < byteCount / 2; ++i) {
            const uint16_t value = target().word(static_cast<uint32_t>(wordAddress + i));
            buffer[2 * i] = static_cast<uint8_t>(value);
            buffer[2 * i + 1] = static_cast<uint8_t>(value >> 8);
        }
        return zern::kLinkDone;
    }
    int setCodeBreakpoint(uint64_t address) override
    {
        target().linkCall("set breakpoint");
        return target().breakpoints.insert(address), zern::kLinkDone;
    }
    int clearCodeBreakpoint(uint64_t address) override { return target().breakpoints.erase(address), zern::kLinkDone; }
    int clearAllCodeBreakpoints() override { return target().breakpoints.clear(), zern::kLinkDone; }
    bool findBreakpoint(uint64_t address) override { return target().breakpoints.count(address) != 0; }
    bool setDataBreakpoint(int, uint32_t) override { return true; }
    bool runTarget() override
    {
        std::lock_guard lock(target().mutex);
        target().halted = false;
        target().leavingBreakpoint = true;
        return true;
    }
    bool pollStatus(bool& halted) override
    {
        std::lock_guard lock(target().mutex);
        ModelTarget& model = target();
        for (int i = 0; i < 64 && !model.halted; ++i) {
            if (model.breakpoints.count(model.pc) && !model.leavingBreakpoint)
                model.halted = true;
            else
                model.execute();
            model.leavingBreakpoint = false;
        }
        halted = model.halted;
        return true;
    }
    bool breakTarget() override
    {
        std::lock_guard lock(target().mutex);
        target().halted = true;
        return true;
    }
    bool singleStep() override
    {
        std::lock_guard lock(target().mutex);
        ++target().singleSteps;
        target().execute();
        return true;
    }
    int writeProgramBlock(uint64_t address, size_t count, const uint8_t* data) override
    {
        std::lock_guard lock(target().mutex);
        for (size_t i = 0; i + 1 < count; i += 2)
            target().code[static_cast<uint32_t>((address + i) / 2)] = static_cast<uint16_t>(data[i] | data[i + 1] << 8);
        return zern::kLinkDone;
    }
    bool runPostLoadCommands() override { return true; }

private:
    static ModelTarget& target() { return *modelTarget; }
};

inline std::unique_ptr<zern::LinkDriver> connectModel(const zern::ConnectRequest&)
{
    ++modelTarget->connects;
    modelTarget->linkCall("connect");
    return std::make_unique<ModelDriver>();
}

inline const zern::DeviceTraits kModelTraits = {"ZERNJTAGOptions", "Jan 01 2000", "Tool", false, 128, connectModel};

}  // namespace devicecompiler
