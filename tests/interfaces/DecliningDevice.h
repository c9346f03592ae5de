#pragma once
// A device that declines every operation: the base of test plug-ins.
#include "AbstractDevice.h"

class DecliningDevice : public AbstractDevice {
public:
    int GetCallStack(char***, int**, int*) override { return tolvane::kStatusFailed; }
    int GetRegisterTable(int*, char***, int*, char***) override { return 0; }
    int GetRegister(int, char**, uint64_t*, int*, int*) override { return tolvane::kStatusFailed; }
    int SetRegister(int, uint64_t) override { return tolvane::kStatusFailed; }
    int GetVariableCount() override { return 0; }
    int GetVariable(int, char**, unsigned*, int*, int*, bool*) override { return tolvane::kStatusFailed; }
    int SetVariable(int, int) override { return tolvane::kStatusFailed; }
    int GetMemoryBankCount() override { return 0; }
    int GetMemoryBank(int, char**, int*, int*, int*) override { return tolvane::kStatusFailed; }
    int ReadMemory(int, int, unsigned, int32_t*) override { return tolvane::kStatusFailed; }
    int WriteMemory(int, int, unsigned, const int32_t*) override { return tolvane::kStatusFailed; }
    int LocateMessage(const char*, char**, int*) override { return tolvane::kStatusFailed; }
    int AddressToLine(unsigned, char**, int*) override { return tolvane::kStatusFailed; }
    int LineToAddress(const char*, int, unsigned*) override { return tolvane::kStatusFailed; }
    int GetProgramCounter(int*) override { return tolvane::kStatusFailed; }
    int GetCycleCount(uint64_t*) override { return tolvane::kStatusFailed; }
    int GetElapsedTime(float*) override { return tolvane::kStatusFailed; }
    int ClearAllBreakpoints() override { return tolvane::kStatusFailed; }
    int SetBreakpoint(unsigned) override { return tolvane::kStatusFailed; }
    int ClearBreakpoint(unsigned) override { return tolvane::kStatusFailed; }
    int GetAddressBits() override { return 16; }
    const char* GetSourceExtension() override { return "asm"; }
    int Run() override { return tolvane::kRunFailed; }
    int StepInto() override { return tolvane::kRunFailed; }
    int StepOver() override { return tolvane::kRunFailed; }
    int StepOut() override { return tolvane::kRunFailed; }
    int RunToAddress(unsigned) override { return tolvane::kRunFailed; }
    int Pause() override { return tolvane::kStatusFailed; }
    int Stop() override { return tolvane::kStatusFailed; }
    int StepInstruction() override { return tolvane::kRunFailed; }
    int Build(const char* const*, unsigned, bool, const char*) override { return tolvane::kStatusFailed; }
    int GetBuildMessages(char***, int* count) override
    {
        *count = 0;
        return tolvane::kStatusFailed;
    }
    int GetProgramFile(char**) override { return tolvane::kStatusFailed; }
    int LoadProgram(const char*) override { return tolvane::kStatusFailed; }
    void SetDebugLevel(int) override {}
    void SetLibraryPath(const char*) override {}
    bool HasFeature(int) override { return false; }
    bool ShowDeviceOptions(void*) override { return false; }
    int GetTraceInfo(int*, int*, int*) override { return tolvane::kStatusFailed; }
    int GetTraceEntry(int, char**, int*, int*, uint64_t*) override { return tolvane::kStatusFailed; }
    int StartTrace() override { return tolvane::kStatusFailed; }
    int StopTrace() override { return tolvane::kStatusFailed; }
    int SelectTraceEntry(int) override { return tolvane::kStatusFailed; }
    bool VerifyProgram(const char*) override { return false; }
    const char* GetVersionText() override { return "declining device"; }
    int SetStimulusFile(const char*) override { return tolvane::kStatusFailed; }
    int SetDataFile(const char*) override { return tolvane::kStatusFailed; }
    void SetMessageCallback(DeviceMessageCallback) override {}
    int ConfirmStop() override { return tolvane::kStatusFailed; }
    int AddDataBreakpoint(int) override { return tolvane::kStatusFailed; }
    bool IsViewEnabled(int) override { return false; }
    int GetHelpItems(char***, int* count) override
    {
        *count = 0;
        return tolvane::kStatusFailed;
    }
    void OpenHelpItem(const char*) override {}
    int GetDeviceMenuItems(char***, int* count) override
    {
        *count = 0;
        return tolvane::kStatusFailed;
    }
    void RunDeviceMenuItem(const char*) override {}
    void SetRegistryName(const char*) override {}
    void SetDeviceMenuCallback(DeviceMenuCallback) override {}
    void Refresh() override {}
    void SetProjectOption(const char*, const char*) override {}
    void GetProjectOptions(int* count, char***, const char*) override { *count = 0; }
    int GetCompilerList(char***, int* count) override
    {
        *count = 0;
        return tolvane::kStatusFailed;
    }
    void SelectCompiler(const char*) override {}
    const char* GetCompilerName() override { return ""; }
    void ShowCompilerOptions() override {}
    int ReadCodeWords(uint64_t, unsigned, int32_t*) override { return tolvane::kStatusFailed; }
    int IsBreakpointAtPC(bool*) override { return tolvane::kStatusFailed; }
};
