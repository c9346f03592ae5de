#include "ZernDevice.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "ChipCore.h"
#include "ConfigNumbers.h"
#include "ConfigReader.h"
#include "HexImageFile.h"
#include "LoadChunks.h"
#include "MessageBoxes.h"
#include "ProductKey.h"
#include "Registry.h"

namespace zern {
namespace {

using tolvane::kStatusDone;
using tolvane::kStatusFailed;

constexpr char kDefaultConfigFile[] = "ZERN7100.cfg";
constexpr char kDefaultPort[] = "COM1";
constexpr char kConfigFilePrefix[] = "Config File = ";
constexpr char kJtagClockPrefix[] = "JTAG Clock = ";
constexpr int kFlagsRegister = 8 * 32 + 4;
// Bounds a single memory or code transfer the IDE may ask for.
constexpr unsigned kMaxTransferWords = 1u << 20;
constexpr size_t kMaxTransferBytes = size_t{16} << 20;
// Bounds the code image a configuration can ask a program load to allocate.
constexpr int32_t kMaxImageWords = 1 << 24;

bool startsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

ZernDevice::ZernDevice(const DeviceTraits& traits)
    : traits_(traits), linkLog_(traits.makeLinkLog ? traits.makeLinkLog() : std::make_unique<NoLinkLog>())
{
    versionText_ = std::string("Version 1.1 (Build Date: ") + traits_.buildDate + ")";
    deviceMenuItems_.assign({kDataBreakpointCaption, traits_.toolMenuCaption});
    configFilePath_ = kDefaultConfigFile;
    if (auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, optionsKeyPath(), false)) {
        const auto stored = key->readString("ConfigFile");
        if (stored && !stored->empty())
            configFilePath_ = *stored;
    }
    readConfiguration();
}

ZernDevice::~ZernDevice()
{
    closeLink();
}

std::string ZernDevice::optionsKeyPath() const
{
    return std::string(tolvane::kProductKey) + "\\" + traits_.optionsKeyName + "\\";
}

void ZernDevice::report(const std::string& text) const
{
    if (messageCallback_)
        messageCallback_(text.c_str());
}

void ZernDevice::useConfigFile(const std::string& path)
{
    configFilePath_ = path;
    readConfiguration();
}

bool ZernDevice::setJtagClock(int32_t kHz)
{
    if (!validJtagClock(kHz))
        return false;
    config_.jtagClockKHz = kHz;
    return true;
}

void ZernDevice::readConfiguration()
{
    helpDocuments_.discard();
    ConfigMessages messages;
    messages.libraryPathKnown = !libraryPath_.empty();
    unheardConfigLines_.clear();
    if (messageCallback_)
        messages.report = [this](const std::string& text) { report(text); };
    else if (messages.libraryPathKnown)
        // A host that installs its callback after the library path still hears what this read found.
        messages.report = [this](const std::string& text) { unheardConfigLines_.push_back(text); };
    readDeviceConfigFile(configFilePath_, libraryPath_, optionsKeyPath(), config_, messages, traits_.configDialect);
    compilers_.configurationChanged();
}

int ZernDevice::runState() const
{
    return std::atomic_ref<int>(const_cast<int&>(runState_)).load();
}

void ZernDevice::setRunState(int state)
{
    std::atomic_ref<int>(runState_).store(state);
}

std::string ZernDevice::portName() const
{
    auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, optionsKeyPath(), false);
    if (!key)
        return kDefaultPort;
    const auto stored = key->readString("SerialPort");
    if (stored && !stored->empty())
        return *stored;
    key->writeString("SerialPort", kDefaultPort);
    return kDefaultPort;
}

bool ZernDevice::EnsureConnected()
{
    // The worker's first run and a Stop or Pause from the window thread may
    // both find the link closed: the second waits for the first one's link
    // rather than open the port again.
    std::lock_guard lock(connectMutex_);
    if (driver_)
        return true;
    const std::string port = portName();
    driver_ = traits_.connect(ConnectRequest{port, config_, messageCallback_, timing_, *linkLog_});
    if (!driver_)
        return false;
    // A half-initialised board is no base for the next operation: drop the
    // link, also when the start throws, so that the next one connects afresh.
    // Nobody else has used this driver yet, so no run needs ending first.
    try {
        driver_->setErasePending();
        if (driver_->initializeTarget() == kLinkDone)
            return true;
    } catch (...) {
        driver_.reset();
        throw;
    }
    driver_.reset();
    return false;
}

void ZernDevice::closeLink()
{
    // A run in progress ends first (within one poll), then lets go of the link.
    if (runState() == tolvane::kRunStateRunning)
        setRunState(tolvane::kRunStateIdle);
    std::lock_guard runLock(runMutex_);
    std::lock_guard connectLock(connectMutex_);
    driver_.reset();
}

// ---- Registers -------------------------------------------------------------

int ZernDevice::GetRegisterTable(int* groupCount, char*** groupNames, int* registerCount, char*** registerTable)
{
    *groupCount = 0;
    *groupNames = emptyList_.data();
    *registerCount = 0;
    *registerTable = emptyList_.data();
    return guarded(0, [&] {
        groupNames_.assign(config_.registerGroups);
        std::vector<std::string> table;
        table.reserve(kRegisterCount);
        for (const RegisterEntry& entry : config_.registers)
            table.push_back(entry.listed ? entry.tableText : std::string("0"));
        registerTable_.assign(std::move(table));
        *groupCount = groupNames_.count();
        *groupNames = groupNames_.data();
        *registerCount = kRegisterCount;
        *registerTable = registerTable_.data();
        if (!EnsureConnected())
            return 0;
        return driver_->readAllRegisters(registerCache_) ? 1 : 0;
    });
}

const char* ZernDevice::flagsRegisterName()
{
    const char* layout = config_.processorFamily == 30 ? "PSF (APZSL10OCE)" : "PSF (ZS-10OCE)";
    std::strncpy(flagsName_.data(), layout, flagsName_.size() - 1);
    const size_t first = std::strlen("PSF (");
    const size_t last = std::strlen(layout) - 2;  // the character before ')'
    const uint32_t value = static_cast<uint32_t>(registerCache_[kFlagsRegister]);
    for (size_t position = first; position <= last; ++position) {
        const size_t bit = last - position;
        if (!(value & (1u << bit)))
            flagsName_[position] = '-';
    }
    return flagsName_.data();
}

int ZernDevice::GetRegister(int idx, char** name, uint64_t* value, int* widthBits, int* address)
{
    if (!driver_ || idx < 0 || idx >= kRegisterCount)
        return kStatusFailed;
    const RegisterEntry& entry = config_.registers[static_cast<size_t>(idx)];
    *value = static_cast<uint32_t>(registerCache_[static_cast<size_t>(idx)]);
    *name = idx == kFlagsRegister ? const_cast<char*>(flagsRegisterName()) : const_cast<char*>(entry.name.c_str());
    *widthBits = entry.widthBits;
    *address = (idx % 32) * 16 + idx / 32;
    return kStatusDone;
}

int ZernDevice::SetRegister(int idx, uint64_t value)
{
    return guarded(kStatusFailed, [&] {
        if (idx < 0 || idx >= kRegisterCount || !EnsureConnected())
            return kStatusFailed;
        return driver_->writeOneRegister(idx / 32, idx % 32, static_cast<int32_t>(static_cast<uint32_t>(value)))
                   ? kStatusDone
                   : kStatusFailed;
    });
}

// ---- Memory ----------------------------------------------------------------

int ZernDevice::GetMemoryBankCount()
{
    return guarded(0, [&] {
        if (!EnsureConnected())
            return 0;
        return static_cast<int>(config_.memoryBanks.size());
    });
}

const MemoryBank* ZernDevice::usableBank(int bank) const
{
    if (bank < 0 || bank >= static_cast<int>(config_.memoryBanks.size()))
        return nullptr;
    const MemoryBank& entry = config_.memoryBanks[static_cast<size_t>(bank)];
    return entry.usable() ? &entry : nullptr;
}

int ZernDevice::GetMemoryBank(int bank, char** name, int* firstAddress, int* words, int* widthBits)
{
    return guarded(kStatusFailed, [&] {
        if (!EnsureConnected())
            return kStatusFailed;
        const MemoryBank* entry = usableBank(bank);
        if (!entry)
            return kStatusFailed;
        *name = const_cast<char*>(entry->name.c_str());
        *firstAddress = entry->firstByteAddress / entry->bytesPerWord();
        *words = entry->words;
        *widthBits = entry->widthBits;
        return kStatusDone;
    });
}

std::optional<ZernDevice::BankTransfer> ZernDevice::bankTransfer(int bank, int start, unsigned count)
{
    const MemoryBank* entry = usableBank(bank);
    if (!entry || count > kMaxTransferWords)
        return std::nullopt;
    const size_t bytesPerWord = static_cast<size_t>(entry->bytesPerWord());
    if (count * bytesPerWord > kMaxTransferBytes || !EnsureConnected())
        return std::nullopt;
    const uint64_t address = static_cast<uint64_t>(static_cast<int64_t>(start) * entry->bytesPerWord()
                                                   + entry->engineBase - entry->firstByteAddress);
    return BankTransfer{address, bytesPerWord, std::vector<uint8_t>(count * bytesPerWord)};
}

int ZernDevice::ReadMemory(int bank, int start, unsigned count, int32_t* values)
{
    return guarded(kStatusFailed, [&] {
        auto transfer = bankTransfer(bank, start, count);
        if (!transfer)
            return kStatusFailed;
        std::vector<uint8_t>& bytes = transfer->bytes;
        if (driver_->readMemoryCached(transfer->engineAddress, bytes.size(), bytes.data()) != kLinkDone)
            return kStatusFailed;
        for (unsigned word = 0; word < count; ++word) {
            uint32_t value = 0;
            for (size_t b = 0; b < transfer->bytesPerWord && b < 4; ++b)
                value |= static_cast<uint32_t>(bytes[word * transfer->bytesPerWord + b]) << (8 * b);
            values[word] = static_cast<int32_t>(value);
        }
        return kStatusDone;
    });
}

int ZernDevice::WriteMemory(int bank, int start, unsigned count, const int32_t* values)
{
    return guarded(kStatusFailed, [&] {
        auto transfer = bankTransfer(bank, start, count);
        if (!transfer)
            return kStatusFailed;
        std::vector<uint8_t>& bytes = transfer->bytes;
        for (unsigned word = 0; word < count; ++word)
            for (size_t b = 0; b < transfer->bytesPerWord; ++b)
                bytes[word * transfer->bytesPerWord + b] =
                    b < 4 ? static_cast<uint8_t>(static_cast<uint32_t>(values[word]) >> (8 * b)) : 0;
        const int written = driver_->writeMemoryBlock(transfer->engineAddress, bytes.size(), bytes.data());
        if (written == kLinkBadArgument) {
            // Refused before any traffic: no link failure has told the user why.
            char line[200];
            std::snprintf(line, sizeof line,
                          "Unable to write %s at 0x%04X: the debug engine cannot write there (code memory is "
                          "written by a program load).",
                          usableBank(bank)->name.c_str(), static_cast<unsigned>(start));
            report(line);
        }
        return written == kLinkDone ? kStatusDone : kStatusFailed;
    });
}

int ZernDevice::ReadCodeWords(uint64_t wordAddress, unsigned count, int32_t* words)
{
    return guarded(kStatusFailed, [&] {
        if (count > kMaxTransferWords || !EnsureConnected())
            return kStatusFailed;
        std::vector<uint8_t> bytes(static_cast<size_t>(count) * 2);
        if (driver_->readCodeCached(wordAddress, bytes.size(), bytes.data()) != kLinkDone)
            return kStatusFailed;
        for (unsigned word = 0; word < count; ++word)
            words[word] = bytes[2 * word] + 256 * bytes[2 * word + 1];
        return kStatusDone;
    });
}

// ---- Breakpoints and run control ------------------------------------------

bool ZernDevice::readInstructionPointer(int64_t& address)
{
    return EnsureConnected() && driver_->readInstructionPointer(address) == kLinkDone;
}

int ZernDevice::GetProgramCounter(int* pc)
{
    return guarded(kStatusFailed, [&] {
        int64_t address = 0;
        if (!readInstructionPointer(address))
            return kStatusFailed;
        *pc = static_cast<int>(static_cast<uint32_t>(address));
        return kStatusDone;
    });
}

int ZernDevice::ClearAllBreakpoints()
{
    return guarded(kStatusFailed, [&] {
        if (!EnsureConnected())
            return kStatusFailed;
        return driver_->clearAllCodeBreakpoints() == kLinkDone ? kStatusDone : kStatusFailed;
    });
}

int ZernDevice::SetBreakpoint(unsigned address)
{
    return guarded(kStatusFailed, [&] {
        if (!EnsureConnected())
            return kStatusFailed;
        return driver_->setCodeBreakpoint(address) == kLinkDone ? kStatusDone : kStatusFailed;
    });
}

int ZernDevice::ClearBreakpoint(unsigned address)
{
    return guarded(kStatusFailed, [&] {
        if (!EnsureConnected())
            return kStatusFailed;
        return driver_->clearCodeBreakpoint(address) == kLinkDone ? kStatusDone : kStatusFailed;
    });
}

int ZernDevice::IsBreakpointAtPC(bool* atBreakpoint)
{
    return guarded(kStatusFailed, [&] {
        int64_t address = 0;
        if (!readInstructionPointer(address))
            return kStatusFailed;
        *atBreakpoint = driver_->findBreakpoint(static_cast<uint64_t>(address));
        return kStatusDone;
    });
}

// The outermost run or step operation starts a new run: the run state is
// set to running before anything else, so that a Pause or Stop that comes
// while the link opens, or between the steps of a step out, is kept. The
// runs and steps that operation makes leave the state as they find it.
class ZernDevice::RunScope {
public:
    explicit RunScope(ZernDevice& device) : device_(device)
    {
        if (device_.runDepth_++ == 0)
            device_.setRunState(tolvane::kRunStateRunning);
    }
    ~RunScope() { --device_.runDepth_; }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

private:
    ZernDevice& device_;
};

std::optional<int> ZernDevice::endedBeforeStart(bool ready)
{
    if (!EnsureConnected() || !ready)
        return tolvane::kRunFailed;
    // A Pause or Stop that came first, while the link opened, ends the run
    // or step before the target starts.
    if (const int state = runState(); state != tolvane::kRunStateRunning)
        return state;
    return std::nullopt;
}

int ZernDevice::Run()
{
    return guarded(tolvane::kRunFailed, [&] {
        const RunScope scope(*this);
        std::lock_guard lock(runMutex_);
        if (const auto ended = endedBeforeStart())
            return *ended;
        if (!driver_->runTarget())
            return tolvane::kRunFailed;
        bool halted = false;
        while (!halted && runState() == tolvane::kRunStateRunning) {
            if (!driver_->pollStatus(halted))
                return tolvane::kRunFailed;
            if (!halted)
                std::this_thread::sleep_for(std::chrono::milliseconds(timing_.runPollMs));
        }
        const int state = runState();
        return state == tolvane::kRunStateRunning ? tolvane::kRunHalted : state;
    });
}

int ZernDevice::RunToAddress(unsigned address)
{
    return guarded(tolvane::kRunFailed, [&] {
        const RunScope scope(*this);
        if (!EnsureConnected())
            return tolvane::kRunFailed;
        if (driver_->findBreakpoint(address))
            return Run();
        if (driver_->setCodeBreakpoint(address) != kLinkDone)
            return tolvane::kRunFailed;
        const int result = Run();
        if (driver_ && driver_->clearCodeBreakpoint(address) != kLinkDone)
            return tolvane::kRunFailed;
        return result;
    });
}

int ZernDevice::Pause()
{
    return guarded(kStatusFailed, [&] {
        if (!EnsureConnected() || !driver_->breakTarget())
            return kStatusFailed;
        setRunState(tolvane::kRunStateHalted);
        return kStatusDone;
    });
}

int ZernDevice::Stop()
{
    return guarded(kStatusFailed, [&] {
        if (!EnsureConnected())
            return kStatusFailed;
        // Set before the break, so that a run that sees the halt reports the
        // stop; the run ends even when the target does not take the break.
        setRunState(tolvane::kRunStateIdle);
        if (!driver_->breakTarget() && traits_.stopNeedsBreak)
            return kStatusFailed;
        return kStatusDone;
    });
}

int ZernDevice::StepInstruction()
{
    return guarded(tolvane::kRunFailed, [&] {
        if (!EnsureConnected())
            return tolvane::kRunFailed;
        return driver_->singleStep() ? tolvane::kRunHalted : tolvane::kRunFailed;
    });
}

int ZernDevice::AddDataBreakpoint(int)
{
    return kStatusFailed;
}

// ---- Source-language operations, answered by the selected compiler ---------

const char* ZernDevice::GetSourceExtension()
{
    AbstractCompiler* compiler = compilers_.compiler();
    return compiler ? compiler->GetSourceExtension() : "asm";
}

int ZernDevice::LocateMessage(const char* messageLine, char** file, int* line)
{
    AbstractCompiler* compiler = compilers_.compiler();
    return compiler ? compiler->LocateMessage(messageLine, file, line) : kStatusFailed;
}

int ZernDevice::AddressToLine(unsigned address, char** file, int* line)
{
    AbstractCompiler* compiler = compilers_.compiler();
    return compiler ? compiler->AddressToLine(address, file, line) : kStatusFailed;
}

int ZernDevice::LineToAddress(const char* file, int line, unsigned* address)
{
    AbstractCompiler* compiler = compilers_.compiler();
    return compiler ? compiler->LineToAddress(file, line, address) : kStatusFailed;
}

int ZernDevice::StepInto()
{
    const RunScope scope(*this);
    AbstractCompiler* compiler = compilers_.compiler();
    return compiler ? compiler->StepInto() : tolvane::kRunFailed;
}

int ZernDevice::StepOver()
{
    return guarded(tolvane::kRunFailed, [&] {
        const RunScope scope(*this);
        AbstractCompiler* compiler = compilers_.compiler();
        if (const auto ended = endedBeforeStart(compiler != nullptr))
            return *ended;
        return compiler->StepOver();
    });
}

int ZernDevice::StepOut()
{
    return guarded(tolvane::kRunFailed, [&] {
        const RunScope scope(*this);
        AbstractCompiler* compiler = compilers_.compiler();
        if (const auto ended = endedBeforeStart(compiler != nullptr))
            return *ended;
        return compiler->StepOut();
    });
}

int ZernDevice::Build(const char* const* files, unsigned count, bool force, const char* projectPath)
{
    return guarded(kStatusFailed, [&] {
        if (!compilers_.compiler())
            return kStatusFailed;
        if (driver_)
            driver_->setErasePending();
        return compilers_.build(files, count, force, projectPath);
    });
}

int ZernDevice::GetBuildMessages(char*** lines, int* count)
{
    AbstractCompiler* compiler = compilers_.compiler();
    *lines = emptyList_.data();
    *count = 0;
    if (!compiler)
        return kStatusFailed;
    compiler->GetMessages(lines, count);
    return kStatusDone;
}

int ZernDevice::GetProgramFile(char** path)
{
    AbstractCompiler* compiler = compilers_.compiler();
    return compiler ? compiler->GetHexFile(path) : kStatusFailed;
}

void ZernDevice::SetDebugLevel(int level)
{
    if (AbstractCompiler* compiler = compilers_.compiler())
        compiler->SetDebugLevel(level);
}

int ZernDevice::GetCompilerList(char*** names, int* count)
{
    *names = emptyList_.data();
    *count = 0;
    return guarded(kStatusFailed, [&] {
        compilers_.list(names, count);
        return kStatusDone;
    });
}

void ZernDevice::SelectCompiler(const char* name)
{
    guarded([&] { compilers_.select(name); });
}

const char* ZernDevice::GetCompilerName()
{
    return guarded("", [&] { return compilers_.selectedName(); });
}

void ZernDevice::ShowCompilerOptions()
{
    guarded([&] { compilers_.showOptions(); });
}

// ---- Program load ----------------------------------------------------------

bool ZernDevice::writeProgramImage(const std::vector<uint8_t>& image, size_t size)
{
    const size_t chunk = static_cast<size_t>(traits_.programChunkBytes);
    for (size_t offset = 0; offset < size; offset += chunk) {
        const size_t count = std::min(chunk, size - offset);
        const auto first = image.begin() + static_cast<long>(offset);
        if (std::all_of(first, first + static_cast<long>(count), [](uint8_t b) { return b == kErasedByte; }))
            continue;
        char line[64];
        std::snprintf(line, sizeof line, "Loading %d bytes @ 0x%04x...", static_cast<int>(count),
                      static_cast<unsigned>(offset));
        report(line);
        if (driver_->writeProgramBlock(offset, count, image.data() + offset) != kLinkDone)
            return false;
        report("Done.");
    }
    return true;
}

bool ZernDevice::writeDataImage(const std::vector<uint8_t>& image, uint32_t size)
{
    for (const hex::LoadChunk& chunk : hex::dataChunks(size)) {
        char line[64];
        std::snprintf(line, sizeof line, "Loading data:  %u bytes @ 0x%04x...", chunk.count, chunk.offset);
        report(line);
        if (driver_->writeMemoryBlock(chunk.offset, chunk.count, image.data() + chunk.offset) != kLinkDone)
            return false;
        report("Done.");
    }
    return true;
}

bool ZernDevice::dataImageFits(uint32_t size) const
{
    const uint64_t space = chip::dataSpaceBytes(chip::coreOf(config_.processorFamily));
    if (size <= space)
        return true;
    report("The data image of " + std::to_string(size) + " bytes does not fit the data space of "
           + std::to_string(space) + " bytes.");
    return false;
}

bool ZernDevice::usableImageSize(const char* bank, int32_t size, int32_t lowest, const char* unit) const
{
    if (size >= lowest && size <= kMaxImageWords)
        return true;
    report(std::string("The ") + bank + " bank size in the configuration file (" + std::to_string(size) + " " + unit
           + ") is unusable: it must be " + std::to_string(lowest) + " to " + std::to_string(kMaxImageWords) + " "
           + unit + ".");
    return false;
}

int ZernDevice::LoadProgram(const char* hexPath)
{
    return guarded(kStatusFailed, [&] {
        config_.postLoadFlag = 1;
        // Every load starts on a fresh link; the files are opened once it is up.
        closeLink();
        if (!EnsureConnected())
            return kStatusFailed;
        const bool hasProgram = hexPath && *hexPath;
        hex::HexImageFile program;
        if (hasProgram) {
            if (!usableImageSize("code", config_.codeSize, 1, "words"))
                return kStatusFailed;
            // The whole file is checked before anything is written.
            program =
                hex::readHexImageFile(hexPath, hex::HexImageKind::Program, static_cast<uint32_t>(config_.codeSize) * 2);
            if (program.status != hex::HexFileStatus::Loaded) {
                report(program.message);
                return kStatusFailed;
            }
        }
        // The data image the last build named, checked before anything is written too.
        hex::HexImageFile data;
        char* dataPath = nullptr;
        if (AbstractCompiler* compiler = compilers_.compiler())
            compiler->GetDataHexFile(&dataPath);
        const bool hasData = dataPath && *dataPath;
        if (hasData) {
            if (!usableImageSize("data", config_.dataSize, 0, "bytes"))
                return kStatusFailed;
            data = hex::readHexImageFile(dataPath, hex::HexImageKind::Data, static_cast<uint32_t>(config_.dataSize));
            if (data.status != hex::HexFileStatus::Loaded) {
                report(data.message);
                return kStatusFailed;
            }
            if (!dataImageFits(data.size))
                return kStatusFailed;
        }
        if (hasProgram) {
            report("Program Size: " + std::to_string(program.size) + " bytes");
            if (!writeProgramImage(program.bytes, program.size))
                return kStatusFailed;
        }
        if (hasData && !writeDataImage(data.bytes, data.size))
            return kStatusFailed;
        if (config_.postLoadFlag == 1 && !driver_->runPostLoadCommands())
            return kStatusFailed;
        return driver_->initializeTarget() == kLinkDone ? kStatusDone : kStatusFailed;
    });
}

bool ZernDevice::VerifyProgram(const char*)
{
    return false;
}

// ---- Settings, project lines and fixed answers ------------------------------

void ZernDevice::SetLibraryPath(const char* libraryPath)
{
    guarded([&] {
        libraryPath_ = libraryPath ? libraryPath : "";
        readConfiguration();
    });
}

void ZernDevice::SetMessageCallback(DeviceMessageCallback callback)
{
    messageCallback_ = callback;
    guarded([&] {
        std::vector<std::string> lines;
        lines.swap(unheardConfigLines_);
        for (const std::string& line : lines)
            report(line);
    });
}

void ZernDevice::SetRegistryName(const char* deviceName)
{
    guarded([&] { settingsKey_ = std::string(tolvane::kProductKey) + (deviceName ? deviceName : ""); });
}

void ZernDevice::SetDeviceMenuCallback(DeviceMenuCallback callback)
{
    deviceMenuCallback_ = callback;
}

void ZernDevice::SetProjectOption(const char* line, const char*)
{
    guarded([&] {
        if (!line)
            return;
        if (startsWith(line, kConfigFilePrefix)) {
            useConfigFile(line + std::strlen(kConfigFilePrefix));
            return;
        }
        if (startsWith(line, kJtagClockPrefix)) {
            int32_t clock = 0;
            if (parseConfigInt(line + std::strlen(kJtagClockPrefix), clock))
                setJtagClock(clock);
            return;
        }
        if (AbstractCompiler* compiler = compilers_.compiler())
            compiler->ReadProjectLine(line);
    });
}

void ZernDevice::GetProjectOptions(int* count, char*** lines, const char*)
{
    *count = 0;
    *lines = emptyList_.data();
    guarded([&] {
        std::vector<std::string> options{kConfigFilePrefix + configFilePath_,
                                         kJtagClockPrefix + std::to_string(config_.jtagClockKHz)};
        if (AbstractCompiler* compiler = compilers_.compiler()) {
            int compilerCount = 0;
            char** compilerLines = nullptr;
            compiler->GetProjectOptions(&compilerCount, &compilerLines);
            for (int index = 0; index < compilerCount && compilerLines; ++index)
                options.emplace_back(compilerLines[index]);
        }
        projectOptionLines_.assign(std::move(options));
        *count = projectOptionLines_.count();
        *lines = projectOptionLines_.data();
    });
}

int ZernDevice::GetDeviceMenuItems(char*** captions, int* count)
{
    *captions = deviceMenuItems_.data();
    *count = deviceMenuItems_.count();
    return kStatusDone;
}

void ZernDevice::RunDeviceMenuItem(const char* caption)
{
    guarded([&] {
        if (traits_.runMenuItem && caption)
            traits_.runMenuItem(*this, caption);
    });
}

int ZernDevice::GetHelpItems(char*** titles, int* count)
{
    *titles = emptyList_.data();
    *count = 0;
    return guarded(kStatusFailed, [&] {
        TextArray& present = helpDocuments_.titles(libraryPath_, config_.deviceId);
        *titles = present.data();
        *count = present.count();
        return kStatusDone;
    });
}

void ZernDevice::OpenHelpItem(const char* title)
{
    guarded([&] {
        if (title)
            helpDocuments_.open(title, libraryPath_, config_.deviceId,
                                [this](const std::string& line) { report(line); });
    });
}

bool ZernDevice::ShowDeviceOptions(void* ownerWindow)
{
    return guarded(false, [&] { return traits_.showOptions && traits_.showOptions(*this, ownerWindow); });
}

const char* ZernDevice::GetVersionText()
{
    return versionText_.c_str();
}

bool ZernDevice::HasFeature(int feature)
{
    switch (feature) {
    case tolvane::kViewRegisters:
    case tolvane::kViewMemory:
    case tolvane::kViewBreakpoints:
    case tolvane::kFeatureDeviceOptions:
    case tolvane::kFeatureLoadProgram:
        return true;
    default:
        return false;
    }
}

bool ZernDevice::IsViewEnabled(int)
{
    return true;
}

int ZernDevice::GetAddressBits()
{
    return 16;
}

void ZernDevice::Refresh() {}

// ---- Declined features -------------------------------------------------------

int ZernDevice::GetCallStack(char***, int**, int*)
{
    return kStatusFailed;
}

int ZernDevice::GetVariableCount()
{
    return 0;
}

int ZernDevice::GetVariable(int, char**, unsigned*, int*, int*, bool*)
{
    return kStatusFailed;
}

int ZernDevice::SetVariable(int, int)
{
    return kStatusFailed;
}

int ZernDevice::GetCycleCount(uint64_t*)
{
    return kStatusFailed;
}

int ZernDevice::GetElapsedTime(float*)
{
    return kStatusFailed;
}

int ZernDevice::GetTraceInfo(int*, int*, int*)
{
    return kStatusFailed;
}

int ZernDevice::GetTraceEntry(int, char**, int*, int*, uint64_t*)
{
    return kStatusFailed;
}

int ZernDevice::StartTrace()
{
    return kStatusFailed;
}

int ZernDevice::StopTrace()
{
    return kStatusFailed;
}

int ZernDevice::SelectTraceEntry(int)
{
    return kStatusFailed;
}

int ZernDevice::SetStimulusFile(const char*)
{
    return kStatusFailed;
}

int ZernDevice::SetDataFile(const char*)
{
    return kStatusFailed;
}

int ZernDevice::ConfirmStop()
{
    return kStatusFailed;
}

}  // namespace zern
