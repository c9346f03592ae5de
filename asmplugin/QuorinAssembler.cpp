#include "QuorinAssembler.h"

#include <string_view>

#include "MessageBoxes.h"
#include "PluginBoundary.h"
#include "Registry.h"

namespace asmplugin {

using tolvane::guarded;
namespace {

constexpr std::string_view kBuildSwitchesPrefix = "BUILD SWITCHES: ";

}  // namespace

const char* QuorinAssembler::GetSourceExtension()
{
    return "asm";
}

int QuorinAssembler::Build(const char* const* files, unsigned count, bool force, const char* projectPath)
{
    return guarded(tolvane::kStatusFailed, [&] {
        std::vector<std::string> paths;
        for (unsigned i = 0; i < count && files; ++i)
            paths.emplace_back(files[i] ? files[i] : "");
        return build(paths, force, projectPath ? projectPath : "");
    });
}

void QuorinAssembler::GetMessages(char*** lines, int* count)
{
    guarded([&] {
        handedMessages_ = messages_;
        handedMessagePointers_.clear();
        for (std::string& message : handedMessages_)
            handedMessagePointers_.push_back(message.data());
        if (count)
            *count = static_cast<int>(handedMessagePointers_.size());
        if (lines && !handedMessagePointers_.empty())
            *lines = handedMessagePointers_.data();
    });
}

int QuorinAssembler::GetHexFile(char** path)
{
    handedProgramFile_ = programFilePath_;
    if (path)
        *path = handedProgramFile_.data();
    return tolvane::kStatusDone;
}

int QuorinAssembler::GetDataHexFile(char** path)
{
    handedDataFile_ = hasDataFile_ ? dataFilePath_ : std::string();
    if (path)
        *path = hasDataFile_ ? handedDataFile_.data() : nullptr;
    return tolvane::kStatusDone;
}

void QuorinAssembler::SetDebugLevel(int) {}

void QuorinAssembler::GetProjectOptions(int* count, char***)
{
    if (count)
        *count = 0;
}

void QuorinAssembler::ReadProjectLine(const char* line)
{
    guarded([&] {
        const std::string_view text = line ? line : "";
        if (text.starts_with(kBuildSwitchesPrefix))
            buildSwitches_ = text.substr(kBuildSwitchesPrefix.size());
    });
}

void QuorinAssembler::ShowOptions()
{
    guarded([] {
        platform::messageBoxes().show("Compiler Options", "The selected compiler has no options.",
                                      platform::BoxButtons::Ok, platform::BoxIcon::None);
    });
}

int QuorinAssembler::Initialize(AbstractDevice* device, CompilerSettings* settings)
{
    return guarded(tolvane::kStatusFailed, [&] {
        // New settings for the same device leave the map of the last build:
        // the program on the target is still that build's.
        if (device != device_) {
            map_.clear();
            sourceFiles_.clear();
        }
        device_ = device;
        if (settings) {
            // The record lives only for this call: keep copies, never its pointers to text.
            romSize_ = settings->romSize;
            codeSize_ = settings->codeSize;
            libraryPath_ = settings->libraryPath ? settings->libraryPath : "";
            messageCallback_ = settings->messageCallback;
            processorFamily_ = settings->processorFamily;
            settingsKey_ = settings->settingsKey ? settings->settingsKey : "";
            runState_ = settings->runState;
        }
        return tolvane::kStatusDone;
    });
}

int QuorinAssembler::ReservedQuery(int, int, int, int* result)
{
    if (result)
        *result = 0;
    return tolvane::kStatusDone;
}

int QuorinAssembler::ReservedCount()
{
    return 0;
}

int QuorinAssembler::ReservedActionA()
{
    return tolvane::kStatusFailed;
}

int QuorinAssembler::ReservedActionB()
{
    return tolvane::kStatusFailed;
}

void QuorinAssembler::report(const std::string& text) const
{
    if (messageCallback_)
        messageCallback_(text.c_str());
}

bool QuorinAssembler::settingsHasValue(const char* name) const
{
    if (settingsKey_.empty())
        return false;
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, settingsKey_, false);
    return key && key->hasValue(name);
}

std::optional<std::string> QuorinAssembler::settingsString(const char* name) const
{
    if (settingsKey_.empty())
        return std::nullopt;
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, settingsKey_, false);
    return key ? key->readString(name) : std::nullopt;
}

}  // namespace asmplugin
