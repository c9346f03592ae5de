#pragma once
// The compiler plug-in a device object works with: lists the compiler
// libraries installed beside the IDE, loads and checks the one the user picks,
// initialises it with values of the device, and releases it again.

#include <string>

#include "AbstractCompiler.h"
#include "DeviceConfig.h"
#include "DynamicLibrary.h"
#include "TextArray.h"

namespace zern {

// The record the outside C compiler plug-in takes in place of CompilerSettings;
// like that one it lives only for the duration of Initialize.
struct QuorinCompilerSettings {
    const char* libraryPath;
    int32_t processorFamily;
    int32_t accumulators;
    int* runState;
    int32_t codeSize;
    int32_t dataSize;
};

// The device values a compiler is told about.
struct CompilerHost {
    AbstractDevice& device;
    const DeviceConfig& config;
    const std::string& libraryPath;
    const DeviceMessageCallback& messageCallback;
    const std::string& settingsKey;
    int* runState;
};

// What a compiler was last told, as either settings record carries it.
struct CompilerValues {
    int32_t romSize;
    int32_t codeSize;
    int32_t dataSize;
    int32_t processorFamily;
    int32_t accumulators;
    std::string libraryPath;
    std::string settingsKey;
    DeviceMessageCallback messageCallback;
    int* runState;
    bool operator==(const CompilerValues&) const = default;
};

struct KnownCompiler;

class CompilerBinding {
public:
    explicit CompilerBinding(const CompilerHost& host) : host_(host) {}
    ~CompilerBinding() { release(); }
    CompilerBinding(const CompilerBinding&) = delete;
    CompilerBinding& operator=(const CompilerBinding&) = delete;

    // The installed compilers, found once per device object.
    void list(char*** listed, int* count);
    // Releases the current compiler, then loads, checks and initialises the named one.
    void select(const char* name);
    const char* selectedName();
    // Null when no compiler is selected.
    AbstractCompiler* compiler() const { return compiler_; }
    // The device's configuration was read again: the compiler hears of the
    // values that changed; unchanged ones leave it as it is, map and all.
    void configurationChanged();
    // The compiler's build with the configured switches; its messages go to the
    // message callback in order. Only with a compiler selected.
    int build(const char* const* files, unsigned count, bool force, const char* projectPath);
    void showOptions();

private:
    const TextArray& names();
    void release();
    bool load(const KnownCompiler& known);
    bool versionsMatch();
    CompilerValues currentValues() const;
    void initialize();

    CompilerHost host_;
    platform::DynamicLibrary library_;
    AbstractCompiler* compiler_ = nullptr;
    FreeCompilerInstanceFn freeInstance_ = nullptr;
    const KnownCompiler* loaded_ = nullptr;
    int selectedIndex_ = 0;
    bool listed_ = false;
    TextArray names_;
    CompilerValues told_{};
};

}  // namespace zern
