#pragma once
// The boundary between a device plug-in and a compiler plug-in library. The
// order of the virtual operations is part of the binary contract.

#include <cstdint>

#include "AbstractDevice.h"

namespace tolvane {
inline constexpr int kCompilerInterfaceVersion = 2;
}

// Lives only for the duration of AbstractCompiler::Initialize: the compiler
// copies whatever it keeps.
struct CompilerSettings {
    int32_t romSize;
    int32_t codeSize;
    const char* libraryPath;
    DeviceMessageCallback messageCallback;
    int32_t processorFamily;  // 10, 20 or 30
    const char* settingsKey;  // registry path of this device's settings
    int* runState;            // the device's run-state word
};

// No public destructor: objects are destroyed only through _FreeCompilerInstance.
class AbstractCompiler {
public:
    virtual const char* GetSourceExtension() = 0;                                                          // 0
    virtual int Build(const char* const* files, unsigned count, bool force, const char* projectPath) = 0;  // 1
    virtual void GetMessages(char*** lines, int* count) = 0;                                               // 2
    virtual int LocateMessage(const char* message, char** file, int* line) = 0;                            // 3
    virtual int GetHexFile(char** path) = 0;                                                               // 4
    virtual int GetDataHexFile(char** path) = 0;                                                           // 5
    virtual int AddressToLine(unsigned address, char** file, int* line) = 0;                               // 6
    virtual int LineToAddress(const char* file, int line, unsigned* address) = 0;                          // 7
    virtual void SetDebugLevel(int level) = 0;                                                             // 8
    virtual void GetProjectOptions(int* count, char*** lines) = 0;                                         // 9
    virtual void ReadProjectLine(const char* line) = 0;                                                    // 10
    virtual void ShowOptions() = 0;                                                                        // 11
    virtual int Initialize(AbstractDevice* device, CompilerSettings* settings) = 0;                        // 12
    virtual int StepInto() = 0;                                                                            // 13
    virtual int StepOver() = 0;                                                                            // 14
    virtual int StepOut() = 0;                                                                             // 15
    // Slots 16 to 19 are kept for peers built against the full table; no
    // deliverable calls them.
    virtual int ReservedQuery(int first, int second, int third, int* result) = 0;  // 16
    virtual int ReservedCount() = 0;                                               // 17
    virtual int ReservedActionA() = 0;                                             // 18
    virtual int ReservedActionB() = 0;                                             // 19

protected:
    ~AbstractCompiler() = default;
};

using GetCompilerVersionFn = int (*)();
using GetCompilerDeviceVersionFn = int (*)();
using GetCompilerInstanceFn = AbstractCompiler* (*)();
using FreeCompilerInstanceFn = void (*)(AbstractCompiler*);

inline constexpr const char kGetCompilerVersionExport[] = "_GetCompilerVersion";
inline constexpr const char kGetCompilerDeviceVersionExport[] = "_GetDeviceVersion";
inline constexpr const char kGetCompilerInstanceExport[] = "_GetCompilerInstance";
inline constexpr const char kFreeCompilerInstanceExport[] = "_FreeCompilerInstance";
