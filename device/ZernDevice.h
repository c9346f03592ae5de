#pragma once
// The device object of the ZERN device plug-ins: answers the IDE's device
// operations from the configuration and through a link driver that it opens
// on first use.

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "AbstractDevice.h"
#include "CompilerBinding.h"
#include "DeviceConfig.h"
#include "DeviceTraits.h"
#include "HelpDocuments.h"
#include "LinkDriver.h"
#include "LinkLog.h"
#include "LinkTiming.h"
#include "PluginBoundary.h"
#include "TextArray.h"

namespace zern {

class ZernDevice final : public AbstractDevice {
public:
    explicit ZernDevice(const DeviceTraits& traits);
    ~ZernDevice() override;
    ZernDevice(const ZernDevice&) = delete;
    ZernDevice& operator=(const ZernDevice&) = delete;

    int GetCallStack(char*** names, int** values, int* count) override;
    int GetRegisterTable(int* groupCount, char*** groupNames, int* registerCount, char*** registerTable) override;
    int GetRegister(int idx, char** name, uint64_t* value, int* widthBits, int* address) override;
    int SetRegister(int idx, uint64_t value) override;
    int GetVariableCount() override;
    int GetVariable(int index, char** name, unsigned* value, int* bits, int* address, bool* isSigned) override;
    int SetVariable(int index, int value) override;
    int GetMemoryBankCount() override;
    int GetMemoryBank(int bank, char** name, int* firstAddress, int* words, int* widthBits) override;
    int ReadMemory(int bank, int start, unsigned count, int32_t* values) override;
    int WriteMemory(int bank, int start, unsigned count, const int32_t* values) override;
    int LocateMessage(const char* messageLine, char** file, int* line) override;
    int AddressToLine(unsigned address, char** file, int* line) override;
    int LineToAddress(const char* file, int line, unsigned* address) override;
    int GetProgramCounter(int* pc) override;
    int GetCycleCount(uint64_t* cycles) override;
    int GetElapsedTime(float* microseconds) override;
    int ClearAllBreakpoints() override;
    int SetBreakpoint(unsigned address) override;
    int ClearBreakpoint(unsigned address) override;
    int GetAddressBits() override;
    const char* GetSourceExtension() override;
    int Run() override;
    int StepInto() override;
    int StepOver() override;
    int StepOut() override;
    int RunToAddress(unsigned address) override;
    int Pause() override;
    int Stop() override;
    int StepInstruction() override;
    int Build(const char* const* files, unsigned count, bool force, const char* projectPath) override;
    int GetBuildMessages(char*** lines, int* count) override;
    int GetProgramFile(char** path) override;
    int LoadProgram(const char* hexPath) override;
    void SetDebugLevel(int level) override;
    void SetLibraryPath(const char* libraryPath) override;
    bool HasFeature(int feature) override;
    bool ShowDeviceOptions(void* ownerWindow) override;
    int GetTraceInfo(int* entries, int* wordBits, int* third) override;
    int GetTraceEntry(int index, char** text, int* number, int* address, uint64_t* data) override;
    int StartTrace() override;
    int StopTrace() override;
    int SelectTraceEntry(int index) override;
    bool VerifyProgram(const char* hexPath) override;
    const char* GetVersionText() override;
    int SetStimulusFile(const char* path) override;
    int SetDataFile(const char* text) override;
    void SetMessageCallback(DeviceMessageCallback callback) override;
    int ConfirmStop() override;
    int AddDataBreakpoint(int address) override;
    bool IsViewEnabled(int view) override;
    int GetHelpItems(char*** titles, int* count) override;
    void OpenHelpItem(const char* title) override;
    int GetDeviceMenuItems(char*** captions, int* count) override;
    void RunDeviceMenuItem(const char* caption) override;
    void SetRegistryName(const char* deviceName) override;
    void SetDeviceMenuCallback(DeviceMenuCallback callback) override;
    void Refresh() override;
    void SetProjectOption(const char* line, const char* projectPath) override;
    void GetProjectOptions(int* count, char*** lines, const char* projectPath) override;
    int GetCompilerList(char*** names, int* count) override;
    void SelectCompiler(const char* name) override;
    const char* GetCompilerName() override;
    void ShowCompilerOptions() override;
    int ReadCodeWords(uint64_t wordAddress, unsigned count, int32_t* words) override;
    int IsBreakpointAtPC(bool* atBreakpoint) override;

    // Creates the driver and opens the link on first use; false after
    // reporting why.
    bool EnsureConnected();
    // Drops the driver and its link; the next operation connects again.
    void closeLink();
    bool linkOpen() const { return driver_ != nullptr; }
    // The open link for the plug-in's dialogs; null when none is open (this
    // does not connect).
    LinkDriver* link() const { return driver_.get(); }

    const DeviceConfig& config() const { return config_; }
    const std::string& configFilePath() const { return configFilePath_; }
    // Reads the named configuration file from now on.
    void useConfigFile(const std::string& path);
    // Takes a clock the adapter can run at; false leaves the clock as it is.
    bool setJtagClock(int32_t kHz);
    // What the plug-in's dialogs keep between uses; released with the device object.
    std::shared_ptr<void>& dialogMemory() { return dialogMemory_; }
    const std::string& settingsKey() const { return settingsKey_; }
    int* runStateWord() { return &runState_; }
    LinkLog& trafficLog() { return *linkLog_; }
    void setLinkTiming(const LinkTiming& timing) { timing_ = timing; }
    // The registry key of the plug-in's options, with the trailing backslash.
    std::string optionsKeyPath() const;
    // A line to the Messages window.
    void report(const std::string& text) const;

private:
    // Passes the line on as it is: nothing to allocate when memory ran out.
    auto boundaryReport() const
    {
        return [this](const char* line) {
            if (messageCallback_)
                messageCallback_(line);
        };
    }
    // Every slot that allocates or parses runs through here: an exception
    // becomes the slot's failure value and a line in the Messages window,
    // never a throw into the host.
    template <typename Result, typename Operation>
    Result guarded(Result failure, Operation&& operation) noexcept
    {
        return tolvane::guardedReporting(failure, boundaryReport(), std::forward<Operation>(operation));
    }
    template <typename Operation>
    void guarded(Operation&& operation) noexcept
    {
        tolvane::guardedReporting(boundaryReport(), std::forward<Operation>(operation));
    }

    void readConfiguration();
    std::string portName() const;
    const char* flagsRegisterName();
    bool readInstructionPointer(int64_t& address);
    // The bank when it exists and has a width; null otherwise.
    const MemoryBank* usableBank(int bank) const;
    // A memory transfer of `count` words of a bank from word `start`: the
    // engine's byte address and room for the bytes; none when the bank, the
    // count or the link do not allow it.
    struct BankTransfer {
        uint64_t engineAddress;
        size_t bytesPerWord;
        std::vector<uint8_t> bytes;
    };
    std::optional<BankTransfer> bankTransfer(int bank, int start, unsigned count);
    int runState() const;
    void setRunState(int state);
    class RunScope;
    // What a run or step ends with before it starts: failure when the link
    // does not connect or the operation is not `ready`, the run state when a
    // Pause or Stop came first; nothing when it may start.
    std::optional<int> endedBeforeStart(bool ready = true);

    // Whether a configured image size can be loaded; says why not.
    bool usableImageSize(const char* bank, int32_t size, int32_t lowest, const char* unit) const;
    // Writes the code image in chunks, skipping erased ones.
    bool writeProgramImage(const std::vector<uint8_t>& image, size_t size);
    // Writes the data image from its start.
    bool writeDataImage(const std::vector<uint8_t>& image, uint32_t size);
    // Whether a data image of this size lies within the debug engine's data
    // space (above it lies the code flash); says why not.
    bool dataImageFits(uint32_t size) const;

    const DeviceTraits& traits_;
    // Held by Run for its whole run, so that the link is never dropped under it.
    std::recursive_mutex runMutex_;
    // Held while the link is opened: whoever comes second uses the first one's link.
    std::recursive_mutex connectMutex_;
    int runState_ = tolvane::kRunStateIdle;
    // Run and step operations under way on the worker thread, the compiler's
    // steps and the runs they make included.
    std::atomic<int> runDepth_{0};
    std::array<int32_t, kRegisterCount> registerCache_{};
    std::unique_ptr<LinkDriver> driver_;
    std::string libraryPath_;
    DeviceMessageCallback messageCallback_ = nullptr;
    // What the last configuration read found while no callback was installed.
    std::vector<std::string> unheardConfigLines_;
    std::string settingsKey_;
    DeviceMenuCallback deviceMenuCallback_ = nullptr;
    std::string configFilePath_;
    std::array<char, 20> flagsName_{};
    DeviceConfig config_;
    LinkTiming timing_;
    std::unique_ptr<LinkLog> linkLog_;
    std::string versionText_;
    HelpDocuments helpDocuments_;
    std::shared_ptr<void> dialogMemory_;

    TextArray groupNames_;
    TextArray registerTable_;
    TextArray projectOptionLines_;
    TextArray deviceMenuItems_;
    TextArray emptyList_;
    // Last, so that the compiler is released before the values it was told about.
    CompilerBinding compilers_{CompilerHost{*this, config_, libraryPath_, messageCallback_, settingsKey_, &runState_}};
};

}  // namespace zern
