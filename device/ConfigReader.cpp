#include "ConfigReader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#include "ConfigNumbers.h"
#include "ProgramFolder.h"
#include "Registry.h"
#include "UserFile.h"

namespace zern {
namespace {

enum class Section {
    None,
    Ignored,
    Device,
    Accumulators,
    StackDepth,
    ProcessorFamily,
    RegisterGroups,
    Registers,
    ExpectedEraseTime,
    UpaDebugging,
    JtagClock,
    MemoryBanks,
    PreErase,
    PostErase,
    PostLoad,
    AacceHandler,
    StartupDelay,
    ZncWorkaround,
    PostLoadDelay,
    BuildSwitches,
    ContextSwitches,
    TestMode,
    RlaPort,
    EraseLastPage,
    UserCodeStart,
    Hyperdrive,
    DebugTrace,
};

struct Keyword {
    const char* text;
    Section section;
};

constexpr Keyword kKeywords[] = {
    {"[DEVICE]", Section::Device},
    {"[ACCUMULATORS]", Section::Accumulators},
    {"[STACK_DEPTH]", Section::StackDepth},
    {"[PROCESSOR_FAMILY]", Section::ProcessorFamily},
    {"[REGISTER_GROUPS]", Section::RegisterGroups},
    {"[REGISTERS]", Section::Registers},
    {"[EXPECTED ERASE TIME]", Section::ExpectedEraseTime},
    {"[UPA DEBUGGING]", Section::UpaDebugging},
    {"[JTAG CLOCK]", Section::JtagClock},
    {"[MEMORY BANKS]", Section::MemoryBanks},
    {"[PRE-ERASE COMMANDS]", Section::PreErase},
    {"[POST-ERASE COMMANDS]", Section::PostErase},
    {"[POST-LOAD COMMANDS]", Section::PostLoad},
    {"[AACCE HANDLER]", Section::AacceHandler},
    {"[STARTUP DELAY]", Section::StartupDelay},
    {"[ZNC JTAG WORKAROUND]", Section::ZncWorkaround},
    {"[POST_LOAD_DELAY]", Section::PostLoadDelay},
    {"[BUILD SWITCHES]", Section::BuildSwitches},
    {"[HANDLE CONTEXT SWITCHES]", Section::ContextSwitches},
    {"[ENTER TEST MODE]", Section::TestMode},
    {"[RLA PORT]", Section::RlaPort},
    {"[ERASE LAST PAGE]", Section::EraseLastPage},
    {"[USER CODE START]", Section::UserCodeStart},
    {"[HYPERDRIVE]", Section::Hyperdrive},
    {"[DEBUG]", Section::DebugTrace},
};

// A configuration describes one chip in a few hundred lines.
constexpr std::uint64_t kMaxConfigFileBytes = 16 * platform::kMegabyte;
bool readBy(Section section, const ConfigDialect& dialect)
{
    switch (section) {
    case Section::EraseLastPage:
        return dialect.eraseLastPage;
    case Section::UserCodeStart:
        return dialect.userCodeStart;
    case Section::Hyperdrive:
        return dialect.hyperdrive;
    case Section::DebugTrace:
        return dialect.debugTrace;
    default:
        return true;
    }
}

constexpr size_t kMaxNameLength = 99;
constexpr size_t kMaxBuildSwitchesLength = 103;
constexpr size_t kMaxRlaPortNameLength = 34;

bool equalsIgnoringCase(const std::string& text, const char* keyword)
{
    size_t i = 0;
    for (; keyword[i]; ++i) {
        if (i >= text.size()
            || std::toupper(static_cast<unsigned char>(text[i]))
                   != std::toupper(static_cast<unsigned char>(keyword[i])))
            return false;
    }
    return i == text.size();
}

std::optional<Section> sectionOf(const std::string& line, const ConfigDialect& dialect)
{
    for (const Keyword& keyword : kKeywords)
        if (equalsIgnoringCase(line, keyword.text) && readBy(keyword.section, dialect))
            return keyword.section;
    // Known keywords whose lines are not used, and unknown bracketed ones.
    if (line[0] == '[')
        return Section::Ignored;
    return std::nullopt;
}

// Fields are separated by commas; consecutive commas count as one separator.
std::vector<std::string> splitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    for (char c : line + ',') {
        if (c != ',') {
            field += c;
            continue;
        }
        field = trimmed(field);
        if (!field.empty())
            fields.push_back(field);
        field.clear();
    }
    return fields;
}

std::string fieldOrEmpty(const std::vector<std::string>& fields, size_t index)
{
    return index < fields.size() ? fields[index] : std::string();
}

class Reader {
public:
    Reader(DeviceConfig& config, const ConfigMessages& messages, const ConfigDialect& dialect)
        : config_(config), messages_(messages), dialect_(dialect)
    {}

    void clearPrevious()
    {
        for (RegisterEntry& entry : config_.registers)
            entry = RegisterEntry{};
        config_.registerMasks.fill(0);
        config_.preEraseCommands.clear();
        config_.postEraseCommands.clear();
        config_.postLoadCommands.clear();
        config_.aacceFlag = 0;
    }

    void line(std::string text)
    {
        ++lineNumber_;
        text = trimmed(text);
        if (text.empty())
            return;
        if (const auto section = sectionOf(text, dialect_)) {
            section_ = *section;
            linesInSection_ = 0;
            return;
        }
        if (text[0] == '#')
            return;
        valueLine(text);
        ++linesInSection_;
    }

private:
    void warn()
    {
        if (messages_.libraryPathKnown && messages_.report)
            messages_.report("Warning: Unable to parse configuration file (Line " + std::to_string(lineNumber_) + ")");
    }

    // A whole-line integer; a warning and nothing when the line is no number.
    std::optional<int32_t> integer(const std::string& text)
    {
        int32_t value = 0;
        if (parseConfigInt(text, value))
            return value;
        warn();
        return std::nullopt;
    }

    void setInteger(const std::string& text, int32_t& target)
    {
        if (const auto value = integer(text))
            target = *value;
    }

    void valueLine(const std::string& text)
    {
        switch (section_) {
        case Section::None:
        case Section::Ignored:
            return;
        case Section::Device:
            setInteger("0x" + text, config_.deviceId);
            return;
        case Section::Accumulators:
            setInteger(text, config_.accumulators);
            return;
        case Section::StackDepth:
            setInteger(text, config_.stackDepth);
            return;
        case Section::ProcessorFamily:
            setInteger(text, config_.processorFamily);
            return;
        case Section::RegisterGroups:
            registerGroupLine(text);
            return;
        case Section::Registers:
            registerLine(text);
            return;
        case Section::ExpectedEraseTime:
            setInteger(text, config_.expectedEraseTime);
            return;
        case Section::UpaDebugging:
            if (linesInSection_ == 0)
                setInteger(text, config_.debugReadCount);
            else if (config_.debugReadCount != 0)
                setInteger(text, config_.mailboxAddress);
            return;
        case Section::JtagClock:
            if (const auto clock = integer(text)) {
                if (validJtagClock(*clock))
                    config_.jtagClockKHz = *clock;
                else
                    warn();
            }
            return;
        case Section::MemoryBanks:
            memoryBankLine(text);
            return;
        case Section::PreErase:
            commandLine(text, config_.preEraseCommands);
            return;
        case Section::PostErase:
            commandLine(text, config_.postEraseCommands);
            return;
        case Section::PostLoad:
            commandLine(text, config_.postLoadCommands);
            return;
        case Section::AacceHandler: {
            const auto fields = splitFields(text);
            config_.aacceFlag = static_cast<uint8_t>(parseConfigNum(fieldOrEmpty(fields, 0)));
            config_.aacceValue = parseConfigNum(fieldOrEmpty(fields, 1));
            return;
        }
        case Section::StartupDelay:
            setInteger(text, config_.startupDelayMs);
            return;
        case Section::ZncWorkaround:
            if (const auto value = integer(text))
                config_.zncWorkaround = static_cast<uint8_t>(*value);
            return;
        case Section::PostLoadDelay:
            setInteger(text, config_.postLoadDelayMs);
            return;
        case Section::BuildSwitches:
            config_.buildSwitches = text.substr(0, kMaxBuildSwitchesLength);
            return;
        case Section::ContextSwitches:
            contextSwitchLine(text);
            return;
        case Section::TestMode: {
            const auto fields = splitFields(text);
            for (size_t i = 0; i < config_.testModeValues.size(); ++i)
                config_.testModeValues[i] = parseConfigNum(fieldOrEmpty(fields, i));
            config_.testModeFlag = 1;
            return;
        }
        case Section::RlaPort:
            config_.rlaPortFlag = 1;
            config_.rlaPortName = text.substr(0, kMaxRlaPortNameLength);
            return;
        case Section::EraseLastPage:
            if (const auto value = integer(text))
                config_.eraseLastPage = static_cast<uint8_t>(*value);
            return;
        case Section::UserCodeStart:
            setInteger(text, config_.userCodeStart);
            return;
        case Section::Hyperdrive:
            setInteger(text, config_.hyperdrive);
            return;
        case Section::DebugTrace:
            setInteger(text, config_.debugTrace);
            return;
        }
    }

    void registerGroupLine(const std::string& text)
    {
        if (linesInSection_ == 0) {
            const auto count = integer(text);
            if (!count)
                return;
            if (*count < 0 || *count > kMaxRegisterGroups) {
                warn();
                return;
            }
            config_.registerGroups.assign(static_cast<size_t>(*count), std::string());
            for (RegisterEntry& entry : config_.registers)
                entry.listed = false;
            groupsRead_ = 0;
            return;
        }
        if (groupsRead_ < config_.registerGroups.size())
            config_.registerGroups[groupsRead_++] = text;
    }

    void registerLine(const std::string& text)
    {
        const auto fields = splitFields(text);
        const int32_t module = parseConfigDec(fieldOrEmpty(fields, 0));
        const int32_t offset = parseConfigDec(fieldOrEmpty(fields, 1));
        if (module < 0 || module >= kModuleCount || offset < 0 || offset >= 32) {
            if (messages_.report)
                messages_.report("Bad config file entry on line " + std::to_string(lineNumber_)
                                 + ": Module number must be less than 16 and offset must be less than 32.");
            return;
        }
        RegisterEntry& entry = config_.registers[static_cast<size_t>(module * 32 + offset)];
        entry.name = fieldOrEmpty(fields, 2).substr(0, kMaxNameLength);
        entry.tableText = fieldOrEmpty(fields, 3).substr(0, kMaxNameLength);
        entry.widthBits = parseConfigDec(fieldOrEmpty(fields, 4));
        entry.listed = true;
        config_.registerMasks[static_cast<size_t>(module)] |= 1u << offset;
    }

    void memoryBankLine(const std::string& text)
    {
        if (linesInSection_ == 0) {
            const auto count = integer(text);
            if (!count)
                return;
            if (*count < 0 || *count > kMaxMemoryBanks) {
                warn();
                return;
            }
            config_.memoryBanks.clear();
            announcedBanks_ = *count;
            return;
        }
        if (static_cast<int32_t>(config_.memoryBanks.size()) >= announcedBanks_)
            return;
        const auto fields = splitFields(text);
        MemoryBank bank;
        bank.name = fieldOrEmpty(fields, 0).substr(0, kMaxNameLength);
        bank.firstByteAddress = parseConfigNum(fieldOrEmpty(fields, 2));
        const std::string base = fieldOrEmpty(fields, 3);
        bank.widthBits = parseConfigNum(fieldOrEmpty(fields, 4));
        bank.words = parseConfigNum(fieldOrEmpty(fields, 5));
        const std::string type = fieldOrEmpty(fields, 6);
        if (type.find("code") != std::string::npos)
            config_.codeSize = bank.words;
        else if (type.find("data") != std::string::npos)
            config_.dataSize = bank.words;
        else if (type.find("rom") != std::string::npos)
            config_.romSize = bank.words;
        if (base.find("null") != std::string::npos) {
            --announcedBanks_;
            return;
        }
        bank.engineBase = parseConfigNum(base);
        if (!bank.usable())
            warn();
        config_.memoryBanks.push_back(std::move(bank));
    }

    void commandLine(const std::string& text, CommandList& list)
    {
        const auto fields = splitFields(text);
        if (fields.empty())
            return;
        if (fields.size() > static_cast<size_t>(kMaxCommandRecordBytes))
            warn();
        CommandRecord record;
        for (size_t i = 0; i < fields.size() && i < static_cast<size_t>(kMaxCommandRecordBytes); ++i)
            record.push_back(static_cast<uint8_t>(parseConfigNum(fields[i])));
        list.push_back(std::move(record));
    }

    void contextSwitchLine(const std::string& text)
    {
        const auto fields = splitFields(text);
        int32_t byteCount = parseConfigNum(fieldOrEmpty(fields, 0));
        if (byteCount < 0) {
            warn();
            return;
        }
        byteCount = std::min(byteCount, kMaxContextSwitchBytes);
        const size_t after = 1 + static_cast<size_t>(byteCount);
        const int32_t contexts = parseConfigNum(fieldOrEmpty(fields, after));
        if (contexts > kMaxContexts) {
            warn();
            return;
        }
        config_.contextSwitchByteCount = byteCount;
        config_.contextSwitchBytes.fill(0);
        for (int32_t i = 0; i < byteCount; ++i)
            config_.contextSwitchBytes[static_cast<size_t>(i)] =
                static_cast<uint8_t>(parseConfigNum(fieldOrEmpty(fields, 1 + static_cast<size_t>(i))));
        config_.contextCount = std::max(contexts, 1);
        config_.loaderPasswords.assign(static_cast<size_t>(config_.contextCount) * kPasswordBytes, kErasedByte);
        config_.contextParameters[0] = parseConfigNum(fieldOrEmpty(fields, after + 1));
        config_.contextParameters[1] = parseConfigNum(fieldOrEmpty(fields, after + 2));
    }

    DeviceConfig& config_;
    const ConfigMessages& messages_;
    const ConfigDialect& dialect_;
    Section section_ = Section::None;
    int lineNumber_ = 0;
    int linesInSection_ = 0;
    size_t groupsRead_ = 0;
    int32_t announcedBanks_ = 0;
};

}  // namespace

void parseDeviceConfig(std::istream& text, DeviceConfig& config, const ConfigMessages& messages,
                       const ConfigDialect& dialect)
{
    Reader reader(config, messages, dialect);
    reader.clearPrevious();
    std::string line;
    while (std::getline(text, line))
        reader.line(line);
}

bool readDeviceConfigFile(const std::string& configPath, const std::string& libraryPath,
                          const std::string& optionsKeyPath, DeviceConfig& config, const ConfigMessages& messages,
                          const ConfigDialect& dialect)
{
    // A relative path names a file beside the plug-in; the process's current
    // folder is the host's and stays as it is.
    std::error_code error;
    std::filesystem::path resolved = configPath;
    if (!libraryPath.empty() && resolved.is_relative())
        resolved = std::filesystem::path(platform::folderOf(libraryPath)) / resolved;
    resolved = std::filesystem::absolute(resolved, error).lexically_normal();
    platform::UserFileCheck check;
    const auto text = platform::readUserFile(resolved.string(), kMaxConfigFileBytes, &check);
    if (!text) {
        if (!libraryPath.empty() && messages.report) {
            if (check.state == platform::UserFileState::Missing)
                messages.report("Unable to find configuration file: " + resolved.string());
            else
                messages.report("Unable to read configuration file " + resolved.string() + ": " + check.reason + ".");
        }
        return false;
    }
    std::istringstream file(*text);
    parseDeviceConfig(file, config, messages, dialect);
    if (auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, optionsKeyPath, true))
        key->writeString("ConfigFile", configPath);
    return true;
}

}  // namespace zern
