// A second link driver assembled from the shared pieces over another
// transport: the chip's transport-neutral debug port, without the adapter
// board. It takes the chip's commands from device/chip and its caches,
// breakpoint slots, passwords, command lists and start-up from device/link,
// and writes only what its own transport does: how a command reaches the
// chip and how the answer comes back.

#include <gtest/gtest.h>

#include "BreakpointSlots.h"
#include "ChipModel.h"
#include "CommandLists.h"
#include "ContextPasswords.h"
#include "DebugCommands.h"
#include "LinkDriver.h"
#include "LinkMessages.h"
#include "LoaderCommands.h"
#include "PageCache.h"
#include "RegisterDumpLayout.h"
#include "TargetStartup.h"
#include "TargetState.h"
#include "TestSupport.h"
#include "WordWrites.h"

namespace {

using device_tests::MessageRecorder;
using zern::kLinkBadArgument;
using zern::kLinkDone;
using zern::kLinkFailure;
using zern::TargetState;
using zern::chip::Bytes;
namespace debug = zern::chip::debug;
namespace loader = zern::chip::loader;
namespace dump = zern::chip::dump;

class PortLinkDriver final : public zern::LinkDriver, private zern::StartupSteps {
public:
    PortLinkDriver(zern::chipmodel::ChipModel& chip, zern::DeviceConfig& config, DeviceMessageCallback log)
        : chip_(chip),
          config_(config),
          messages_(log),
          passwords_(config.loaderPasswords),
          commandLists_(messages_, [this](const zern::CommandRecord& record, uint8_t& status) {
              chip_.debugCommand(record);
              status = loaderStatus();
              return true;
          })
    {
        passwords_.ensureOne();
    }

    int initializeTarget() override
    {
        caches_.invalidateAll();
        const zern::BreakpointSlots::Addresses before = breakpoints_.addresses();
        return zern::startTarget(*this, {0, config_.startupDelayMs, 1}, before, messages_);
    }
    void setErasePending() override { erasePending_ = true; }

    bool readAllRegisters(std::array<int32_t, zern::kRegisterCount>& values) override
    {
        if (!caches_.registers.valid()) {
            if (!halt())
                return false;
            auto& registers = caches_.registers.values();
            const int count = ask(debug::registerDump(), debug::registerDumpCountBytes(core())).back();
            for (int first = 0, module = 0; first < count; first += dump::kRegistersPerChunk, ++module) {
                const int registersInChunk = std::min(dump::kRegistersPerChunk, count - first);
                dump::placeRegisterChunk(core(), clockOut(registersInChunk * zern::chip::registerBytes(core())), module,
                                         registers);
            }
            dump::placeSpecialRegisters(core(), clockOut(dump::specialRegisterBytes(core())), registers);
            caches_.registers.markValid();
        }
        values = caches_.registers.values();
        return true;
    }
    bool writeOneRegister(int module, int index, int32_t value) override
    {
        caches_.registers.invalidate();
        chip_.debugCommand(
            debug::registerWrite(core(), static_cast<uint8_t>(module), static_cast<uint8_t>(index), value));
        return true;
    }
    int readInstructionPointer(int64_t& address) override
    {
        if (!halt())
            return kLinkFailure;
        address = debug::registerValue(core(), ask(debug::registerRead(12, 0), 2));
        return kLinkDone;
    }
    int readMemoryCached(uint64_t byteAddress, size_t count, uint8_t* buffer) override
    {
        return caches_.data.read(byteAddress, count, buffer, [this](uint64_t address, zern::PageCache::Page& page) {
            return readPage(address, page);
        });
    }
    int writeMemoryBlock(uint64_t byteAddress, size_t count, const uint8_t* data) override
    {
        caches_.data.invalidate();
        if (!halt())
            return kLinkFailure;
        const int result = zern::writeAsWords(
            byteAddress, std::span(data, count),
            [this](uint64_t even, uint8_t low, uint8_t high) {
                const auto command = debug::memoryWrite(core(), even / 2, low, high);
                return command && !chip_.debugCommand(*command).empty();
            },
            [this](uint64_t even, uint8_t(&word)[2]) { return readMemoryCached(even, 2, word) == kLinkDone; });
        caches_.data.invalidate();
        return result;
    }
    int readCodeCached(uint64_t wordAddress, size_t byteCount, uint8_t* buffer) override
    {
        // Code sits above the data memory in the engine's data space.
        return caches_.code.readWords(
            wordAddress, byteCount, buffer,
            [this](uint64_t address, zern::PageCache::Page& page) { return readPage(address + 0x10000, page); });
    }

    int setCodeBreakpoint(uint64_t address) override
    {
        if (!zern::takesBreakpoints(state_) && !resumeTarget())
            return kLinkFailure;
        return breakpoints_.set(address, [this](int slot, uint64_t at) {
            const auto command = debug::setCodeBreakpoint(core(), slot, at);
            return command && !chip_.debugCommand(*command).empty() ? kLinkDone : kLinkBadArgument;
        });
    }
    int clearCodeBreakpoint(uint64_t address) override { return breakpoints_.clear(address, clearSlot()); }
    int clearAllCodeBreakpoints() override { return breakpoints_.clearAll(clearSlot()); }
    bool findBreakpoint(uint64_t address) override { return breakpoints_.holds(address); }
    bool setDataBreakpoint(int which, uint32_t address) override
    {
        return !chip_.debugCommand(debug::setDataBreakpoint(which, address)).empty();
    }

    bool runTarget() override { return resumeTarget(); }
    bool pollStatus(bool& halted) override
    {
        switch (zern::pollAnswer(state_)) {
        case zern::PollAnswer::NotHalted:
            halted = false;
            return true;
        case zern::PollAnswer::Halted:
            halted = true;
            return true;
        case zern::PollAnswer::UnknownMode:
            return false;
        case zern::PollAnswer::AskTarget:
            break;
        }
        halted = engineHalted();
        return !halted || enterHalted();
    }
    bool breakTarget() override { return halt(); }
    bool singleStep() override
    {
        if (!halt())
            return false;
        chip_.debugCommand(debug::step());
        caches_.invalidateAll();
        return enterHalted();
    }

    int writeProgramBlock(uint64_t byteAddress, size_t count, const uint8_t* data) override
    {
        caches_.code.invalidate();
        const auto header =
            loader::variableWriteHeader(loader::Form::Bytes16, loader::Target::Code, byteAddress, count);
        if (count == 0 || count > 255 || !header)
            return kLinkBadArgument;
        if (state_ != TargetState::Loader)
            enterLoader();
        if (erasePending_ && !erase())
            return kLinkFailure;
        chip_.debugCommand(*header);
        chip_.debugCommand(Bytes(data, data + count));
        passwords_.capture(byteAddress, std::span(data, count));
        return loaderStatus() == 0 ? kLinkDone : kLinkFailure;
    }
    bool runPostLoadCommands() override
    {
        return commandLists_.runPostLoad(config_.postLoadCommands, config_.postLoadDelayMs, state_,
                                         [this] { return enterLoader(); });
    }

private:
    // The transport: a command and the fillers that clock out its answer,
    // sent together; the answer's data bytes.
    Bytes ask(const Bytes& command, size_t answerBytes)
    {
        Bytes bytes = command;
        bytes.insert(bytes.end(), debug::kReplyLatency + answerBytes, debug::kFiller);
        return dataBytes(chip_.debugCommand(bytes), command.size() + debug::kReplyLatency);
    }
    Bytes clockOut(size_t bytes) { return dataBytes(chip_.debugCommand(Bytes(bytes, debug::kFiller)), 0); }
    static Bytes dataBytes(const Bytes& reply, size_t firstPair)
    {
        Bytes data;
        for (size_t at = 2 * firstPair + 1; at < reply.size(); at += 2)
            data.push_back(reply[at]);
        return data;
    }
    bool engineHalted() { return chip_.debugCommand(debug::status())[0] == 1; }
    // The loader answers its status in the last of four bytes, its prompt in the last of one.
    uint8_t loaderStatus()
    {
        Bytes command = loader::status();
        command.resize(4, 0x00);
        return chip_.debugCommand(command).back();
    }
    bool loaderReady() { return chip_.debugCommand(loader::prompt()).back() == loader::kReady; }

    zern::chip::Core core() const { return zern::chip::coreOf(config_.processorFamily); }
    zern::BreakpointSlots::ClearSlot clearSlot()
    {
        return [this](int slot) { return !chip_.debugCommand(debug::clearCodeBreakpoint(core(), slot)).empty(); };
    }
    bool readPage(uint64_t byteAddress, zern::PageCache::Page& page)
    {
        const auto command = debug::blockRead(core(), byteAddress / 2, page.size() / 2);
        if (!zern::PageCache::wholePage(byteAddress, page.size(), messages_) || !command || !halt())
            return false;
        const Bytes data = ask(*command, page.size());
        std::copy(data.begin(), data.end(), page.begin());
        return true;
    }
    bool halt()
    {
        if (state_ == TargetState::Halted)
            return true;
        if (state_ == TargetState::Loader)
            chip_.debugCommand(loader::quit());
        chip_.debugCommand(debug::breakRequest());
        return engineHalted() && enterHalted();
    }
    bool enterHalted()
    {
        state_ = TargetState::Halted;
        using Answer = zern::ContextPasswords::Answer;
        return passwords_.select(
            [this](const zern::ContextPasswords::Password& password) {
                chip_.debugCommand(debug::contextPassword(password));
                const Bytes value = ask(debug::registerRead(8, 0), 2);
                return value[0] == debug::kFiller && value[1] == debug::kFiller ? Answer::Refused : Answer::Accepted;
            },
            messages_);
    }
    bool enterLoader()
    {
        chip_.holdInReset();
        chip_.releaseReset(true);
        state_ = TargetState::Loader;
        return true;
    }
    bool erase()
    {
        if (!commandLists_.run(config_.preEraseCommands, "Pre-Erase Command: "))
            return false;
        chip_.debugCommand(loader::masterErase());
        passwords_.resetToErased();
        for (int tries = 0; tries < 10; ++tries)
            if (loaderReady()) {
                erasePending_ = false;
                return loaderStatus() == 0 && commandLists_.run(config_.postEraseCommands, "Post-Erase Command: ");
            }
        return false;
    }

    // The start-up steps over the chip's own reset.
    bool holdTargetInReset() override
    {
        chip_.holdInReset();
        caches_.invalidateAll();
        state_ = TargetState::NotInDebug;
        return true;
    }
    bool resumeTarget() override
    {
        caches_.invalidateAll();
        if (state_ == TargetState::Halted)
            chip_.debugCommand(debug::go());
        if (engineHalted())
            return enterHalted();
        state_ = TargetState::Running;
        return true;
    }
    bool releaseTarget() override
    {
        chip_.releaseReset(false);
        return true;
    }

    zern::chipmodel::ChipModel& chip_;
    zern::DeviceConfig& config_;
    zern::LinkMessages messages_;
    zern::TargetCaches caches_;
    zern::BreakpointSlots breakpoints_;
    zern::ContextPasswords passwords_;
    zern::CommandListRunner commandLists_;
    TargetState state_ = TargetState::NotInDebug;
    bool erasePending_ = true;
};

TEST(SecondLinkDriver, ComposesTheSharedPiecesOverAnotherTransport)
{
    zern::chipmodel::ChipSettings settings;
    settings.loaderFlags = loader::kVariableLength;
    settings.instructionsPerPoll = 16;
    zern::chipmodel::ChipModel chip(settings);
    zern::DeviceConfig config;
    config.startupDelayMs = 50;
    config.postLoadCommands = {{0x07, 0x01}};
    MessageRecorder::take();
    PortLinkDriver driver(chip, config, &MessageRecorder::callback);

    const std::vector<uint8_t> code = {0x11, 0x22, 0x33, 0x44, 0x55};
    ASSERT_EQ(driver.writeProgramBlock(0x40, code.size(), code.data()), kLinkDone);
    EXPECT_EQ(chip.code(0x40, code.size()), code);
    ASSERT_TRUE(driver.runPostLoadCommands());
    EXPECT_EQ(MessageRecorder::take(), (std::vector<std::string>{"Post-Load Command: 07, 01, Status: 00",
                                                                 "Post-Load Delay: 0", "Delay Complete"}));

    // The start halts at the start of user code and keeps the breakpoints set before.
    ASSERT_EQ(driver.initializeTarget(), kLinkDone);
    ASSERT_EQ(driver.setCodeBreakpoint(0x30), kLinkDone);
    ASSERT_EQ(driver.initializeTarget(), kLinkDone);
    EXPECT_TRUE(chip.halted());
    EXPECT_EQ(chip.programCounter(), 0u);
    EXPECT_EQ(chip.codeBreakpoints()[0], 0x30u);
    ASSERT_TRUE(driver.runTarget());
    bool halted = false;
    for (int polls = 0; polls < 10 && !halted; ++polls)
        ASSERT_TRUE(driver.pollStatus(halted));
    int64_t pc = 0;
    ASSERT_EQ(driver.readInstructionPointer(pc), kLinkDone);
    EXPECT_EQ(pc, 0x30);

    uint8_t read[5] = {};
    ASSERT_EQ(driver.readCodeCached(0x20, sizeof read, read), kLinkDone);
    EXPECT_EQ(std::vector<uint8_t>(read, read + 5), code);
    const uint8_t data[] = {0xA1, 0xB2, 0xC3};
    ASSERT_EQ(driver.writeMemoryBlock(0x101, sizeof data, data), kLinkDone);
    EXPECT_EQ(chip.data(0x100, 4), (std::vector<uint8_t>{0x00, 0xA1, 0xB2, 0xC3}));
    chip.setRegister(9, 3, 0x1234);
    std::array<int32_t, zern::kRegisterCount> registers{};
    ASSERT_TRUE(driver.readAllRegisters(registers));
    EXPECT_EQ(registers[9 * 32 + 3], 0x1234);
    EXPECT_TRUE(MessageRecorder::take().empty());
}

}  // namespace
