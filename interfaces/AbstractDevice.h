#pragma once
// The boundary between the IDE and a device plug-in library, and the way a
// compiler plug-in calls back into its device. The order of the virtual
// operations is part of the binary contract: never reorder, insert or remove.

#include <cstdint>

#include "PluginExport.h"

namespace tolvane {

inline constexpr int kDeviceInterfaceVersion = 14;

// Status codes of both plug-in interfaces.
inline constexpr int kStatusDone = 4;
inline constexpr int kStatusFailed = 5;

// Results of Run, StepInto, StepOver, StepOut, RunToAddress and StepInstruction.
inline constexpr int kRunHalted = 0;
inline constexpr int kRunStopped = 1;
inline constexpr int kRunFailed = 5;
inline constexpr int kRunConfirmStop = 43;

// The device's run-state word (shared with the compiler plug-in).
inline constexpr int kRunStateHalted = 0;
inline constexpr int kRunStateIdle = 1;
inline constexpr int kRunStateRunning = 2;

// Feature ids for HasFeature and window ids for IsViewEnabled.
inline constexpr int kViewProject = 21;
inline constexpr int kViewMessages = 22;
inline constexpr int kViewCallStack = 23;
inline constexpr int kViewRegisters = 24;
inline constexpr int kViewMemory = 25;
inline constexpr int kViewStatistics = 26;
inline constexpr int kViewVariables = 27;
inline constexpr int kViewBreakpoints = 28;
inline constexpr int kViewTrace = 29;
inline constexpr int kViewFindInFiles = 30;
inline constexpr int kViewWatches = 31;
inline constexpr int kFeatureDeviceOptions = 34;
inline constexpr int kFeatureLoadProgram = 35;
inline constexpr int kFeatureVerifyProgram = 36;
inline constexpr int kFeatureStimulusFile = 37;
inline constexpr int kFeatureDataFile = 38;
inline constexpr int kFeatureMemoryBreakpoint = 43;

// SetDebugLevel arguments.
inline constexpr int kDebugLevelHigh = 32;
inline constexpr int kDebugLevelLow = 33;

inline constexpr int kRegisterModules = 16;
inline constexpr int kRegistersPerModule = 32;
inline constexpr int kRegisterTableSize = kRegisterModules * kRegistersPerModule;

}  // namespace tolvane

// One line (or several separated by line breaks) for the IDE's Messages window.
using DeviceMessageCallback = void (*)(const char* line);
// Adds a checked entry with this caption at this index of the IDE's Device menu.
using DeviceMenuCallback = void (*)(const char* caption, int index);

// Texts and arrays handed out through char** / char*** stay owned by the
// plug-in until the next call of the same operation or its destruction; the
// caller copies them at once. Texts passed in stay the caller's.
class AbstractDevice {
public:
    virtual int GetCallStack(char*** names, int** values, int* count) = 0;  // 0
    virtual int GetRegisterTable(int* groupCount, char*** groupNames, int* registerCount,
                                 char*** registerTable) = 0;                                           // 1
    virtual int GetRegister(int idx, char** name, uint64_t* value, int* widthBits, int* address) = 0;  // 2
    virtual int SetRegister(int idx, uint64_t value) = 0;                                              // 3
    virtual int GetVariableCount() = 0;                                                                // 4
    virtual int GetVariable(int index, char** name, unsigned* value, int* bits, int* address,
                            bool* isSigned) = 0;                                                           // 5
    virtual int SetVariable(int index, int value) = 0;                                                     // 6
    virtual int GetMemoryBankCount() = 0;                                                                  // 7
    virtual int GetMemoryBank(int bank, char** name, int* firstAddress, int* words, int* widthBits) = 0;   // 8
    virtual int ReadMemory(int bank, int start, unsigned count, int32_t* values) = 0;                      // 9
    virtual int WriteMemory(int bank, int start, unsigned count, const int32_t* values) = 0;               // 10
    virtual int LocateMessage(const char* messageLine, char** file, int* line) = 0;                        // 11
    virtual int AddressToLine(unsigned address, char** file, int* line) = 0;                               // 12
    virtual int LineToAddress(const char* file, int line, unsigned* address) = 0;                          // 13
    virtual int GetProgramCounter(int* pc) = 0;                                                            // 14
    virtual int GetCycleCount(uint64_t* cycles) = 0;                                                       // 15
    virtual int GetElapsedTime(float* microseconds) = 0;                                                   // 16
    virtual int ClearAllBreakpoints() = 0;                                                                 // 17
    virtual int SetBreakpoint(unsigned address) = 0;                                                       // 18
    virtual int ClearBreakpoint(unsigned address) = 0;                                                     // 19
    virtual int GetAddressBits() = 0;                                                                      // 20
    virtual const char* GetSourceExtension() = 0;                                                          // 21
    virtual int Run() = 0;                                                                                 // 22
    virtual int StepInto() = 0;                                                                            // 23
    virtual int StepOver() = 0;                                                                            // 24
    virtual int StepOut() = 0;                                                                             // 25
    virtual int RunToAddress(unsigned address) = 0;                                                        // 26
    virtual int Pause() = 0;                                                                               // 27
    virtual int Stop() = 0;                                                                                // 28
    virtual int StepInstruction() = 0;                                                                     // 29
    virtual int Build(const char* const* files, unsigned count, bool force, const char* projectPath) = 0;  // 30
    virtual int GetBuildMessages(char*** lines, int* count) = 0;                                           // 31
    virtual int GetProgramFile(char** path) = 0;                                                           // 32
    virtual int LoadProgram(const char* hexPath) = 0;                                                      // 33
    virtual void SetDebugLevel(int level) = 0;                                                             // 34
    virtual void SetLibraryPath(const char* libraryPath) = 0;                                              // 35
    virtual bool HasFeature(int feature) = 0;                                                              // 36
    virtual bool ShowDeviceOptions(void* ownerWindow) = 0;                                                 // 37
    virtual int GetTraceInfo(int* entries, int* wordBits, int* third) = 0;                                 // 38
    virtual int GetTraceEntry(int index, char** text, int* number, int* address, uint64_t* data) = 0;      // 39
    virtual int StartTrace() = 0;                                                                          // 40
    virtual int StopTrace() = 0;                                                                           // 41
    virtual int SelectTraceEntry(int index) = 0;                                                           // 42
    virtual bool VerifyProgram(const char* hexPath) = 0;                                                   // 43
    virtual const char* GetVersionText() = 0;                                                              // 44
    virtual int SetStimulusFile(const char* path) = 0;                                                     // 45
    virtual int SetDataFile(const char* text) = 0;                                                         // 46
    virtual void SetMessageCallback(DeviceMessageCallback callback) = 0;                                   // 47
    virtual int ConfirmStop() = 0;                                                                         // 48
    virtual int AddDataBreakpoint(int address) = 0;                                                        // 49
    virtual bool IsViewEnabled(int view) = 0;                                                              // 50
    virtual int GetHelpItems(char*** titles, int* count) = 0;                                              // 51
    virtual void OpenHelpItem(const char* title) = 0;                                                      // 52
    virtual int GetDeviceMenuItems(char*** captions, int* count) = 0;                                      // 53
    virtual void RunDeviceMenuItem(const char* caption) = 0;                                               // 54
    virtual void SetRegistryName(const char* deviceName) = 0;                                              // 55
    virtual void SetDeviceMenuCallback(DeviceMenuCallback callback) = 0;                                   // 56
    virtual void Refresh() = 0;                                                                            // 57
    virtual void SetProjectOption(const char* line, const char* projectPath) = 0;                          // 58
    virtual void GetProjectOptions(int* count, char*** lines, const char* projectPath) = 0;                // 59
    virtual int GetCompilerList(char*** names, int* count) = 0;                                            // 60
    virtual void SelectCompiler(const char* name) = 0;                                                     // 61
    virtual const char* GetCompilerName() = 0;                                                             // 62
    virtual void ShowCompilerOptions() = 0;                                                                // 63
    virtual int ReadCodeWords(uint64_t wordAddress, unsigned count, int32_t* words) = 0;                   // 64
    virtual int IsBreakpointAtPC(bool* atBreakpoint) = 0;                                                  // 65
    virtual ~AbstractDevice() = default;                                                                   // 66
};

using GetDeviceVersionFn = int (*)();
using GetDeviceInstanceFn = AbstractDevice* (*)();
using FreeDeviceInstanceFn = void (*)(AbstractDevice*);

inline constexpr const char kGetDeviceVersionExport[] = "_GetDeviceVersion";
inline constexpr const char kGetDeviceInstanceExport[] = "_GetDeviceInstance";
inline constexpr const char kFreeDeviceInstanceExport[] = "_FreeDeviceInstance";
