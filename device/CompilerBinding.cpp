#include "CompilerBinding.h"

#include <filesystem>
#include <vector>

#include "MessageBoxes.h"
#include "ProgramFolder.h"

namespace zern {

enum class SettingsRecord { Assembler, CCompiler };

struct KnownCompiler {
    const char* listName;
    // Relative to the folder of the IDE's program file.
    const char* library;
    SettingsRecord record;
};

namespace {

constexpr KnownCompiler kKnownCompilers[] = {
    {"Quorin Assembler", "Compilers/QuorinAssembler/libQuorinAssembler.so", SettingsRecord::Assembler},
    {"Quorin Compiler", "Compilers/QuorinCompiler/libQuorinCompiler.so", SettingsRecord::CCompiler},
};

constexpr char kBuildSwitchesPrefix[] = "BUILD SWITCHES: ";

std::string libraryPath(const KnownCompiler& known)
{
    return platform::programFolder() + known.library;
}

// A missing or different version export shows its box.
bool versionMatches(int (*exported)(), int expected, const char* what)
{
    const std::string wanted = std::to_string(expected);
    if (!exported) {
        platform::showError(std::string("Unable to select device.\r\nIncorrect ") + what + " version (0 != " + wanted
                            + ").");
        return false;
    }
    const int version = exported();
    if (version == expected)
        return true;
    platform::showError(std::string("Unable to select compiler.\r\nIncorrect ") + what + " version ("
                        + std::to_string(version) + " != " + wanted + ").");
    return false;
}

}  // namespace

const TextArray& CompilerBinding::names()
{
    if (!listed_) {
        std::vector<std::string> found;
        std::error_code error;
        for (const KnownCompiler& known : kKnownCompilers)
            if (std::filesystem::exists(libraryPath(known), error))
                found.emplace_back(known.listName);
        names_.assign(std::move(found));
        listed_ = true;
    }
    return names_;
}

void CompilerBinding::list(char*** listed, int* count)
{
    *count = names().count();
    *listed = names_.data();
}

void CompilerBinding::release()
{
    if (compiler_)
        freeInstance_(compiler_);
    compiler_ = nullptr;
    freeInstance_ = nullptr;
    loaded_ = nullptr;
    library_.close();
}

void CompilerBinding::select(const char* name)
{
    release();
    const std::string wanted = name ? name : "";
    selectedIndex_ = 0;
    for (int index = 0; index < names().count(); ++index)
        if (wanted == names_.data()[index]) {
            selectedIndex_ = index;
            break;
        }
    for (const KnownCompiler& known : kKnownCompilers)
        if (wanted == known.listName && load(known)) {
            initialize();
            return;
        }
}

bool CompilerBinding::load(const KnownCompiler& known)
{
    if (!library_.open(libraryPath(known)))
        return false;
    if (versionsMatch()) {
        const auto create = library_.function<GetCompilerInstanceFn>(kGetCompilerInstanceExport);
        freeInstance_ = library_.function<FreeCompilerInstanceFn>(kFreeCompilerInstanceExport);
        // A library that cannot both create and free its object is refused like a wrong version.
        compiler_ = create && freeInstance_ ? create() : nullptr;
    }
    if (!compiler_) {
        release();
        return false;
    }
    loaded_ = &known;
    return true;
}

bool CompilerBinding::versionsMatch()
{
    return versionMatches(library_.function<GetCompilerVersionFn>(kGetCompilerVersionExport),
                          tolvane::kCompilerInterfaceVersion, "compiler")
           && versionMatches(library_.function<GetCompilerDeviceVersionFn>(kGetCompilerDeviceVersionExport),
                             tolvane::kDeviceInterfaceVersion, "device");
}

CompilerValues CompilerBinding::currentValues() const
{
    const DeviceConfig& config = host_.config;
    return {config.romSize,    config.codeSize,   config.dataSize,       config.processorFamily, config.accumulators,
            host_.libraryPath, host_.settingsKey, host_.messageCallback, host_.runState};
}

// The record follows the library actually loaded, so a compiler never gets
// the other plug-in's layout.
void CompilerBinding::initialize()
{
    told_ = currentValues();
    const CompilerValues& v = told_;
    if (loaded_->record == SettingsRecord::Assembler) {
        CompilerSettings settings{v.romSize,         v.codeSize,        v.libraryPath.c_str(),
                                  v.messageCallback, v.processorFamily, v.settingsKey.c_str(),
                                  v.runState};
        compiler_->Initialize(&host_.device, &settings);
        return;
    }
    QuorinCompilerSettings settings{
        v.libraryPath.c_str(), v.processorFamily, v.accumulators, v.runState, v.codeSize, v.dataSize};
    compiler_->Initialize(&host_.device, reinterpret_cast<CompilerSettings*>(&settings));
}

const char* CompilerBinding::selectedName()
{
    if (loaded_)
        return loaded_->listName;
    return selectedIndex_ < names().count() ? names_.data()[selectedIndex_] : "";
}

// Initialize may start a compiler afresh, map of the last build and all, so
// it is called again only when there is something new to tell.
void CompilerBinding::configurationChanged()
{
    if (compiler_ && currentValues() != told_)
        initialize();
}

int CompilerBinding::build(const char* const* files, unsigned count, bool force, const char* projectPath)
{
    compiler_->ReadProjectLine((kBuildSwitchesPrefix + host_.config.buildSwitches).c_str());
    const int result = compiler_->Build(files, count, force, projectPath);
    char** lines = nullptr;
    int lineCount = 0;
    compiler_->GetMessages(&lines, &lineCount);
    if (host_.messageCallback && lines)
        for (int index = 0; index < lineCount; ++index)
            host_.messageCallback(lines[index]);
    return result;
}

void CompilerBinding::showOptions()
{
    if (compiler_)
        compiler_->ShowOptions();
    else
        platform::messageBoxes().show("Error", "No compiler has been selected", platform::BoxButtons::Ok,
                                      platform::BoxIcon::Error);
}

}  // namespace zern
