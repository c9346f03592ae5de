// The slot of every operation is part of the binary contract with plug-ins
// built elsewhere: this table is written from the interface documentation,
// not from the header, so moving one declaration fails here.
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <new>

#include "AbstractCompiler.h"
#include "AbstractDevice.h"
#include "DecliningDevice.h"

namespace {

// Itanium C++ ABI: a pointer to a virtual member function holds
// 1 + the byte offset of its vtable entry.
template <typename Member>
long slotOf(Member member)
{
    struct {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    } raw;
    static_assert(sizeof(member) == sizeof(raw));
    std::memcpy(&raw, &member, sizeof(raw));
    if ((raw.pointer & 1) == 0)
        return -1;
    return static_cast<long>((raw.pointer - 1) / sizeof(void*));
}

#define EXPECT_SLOT(Class, operation, slot) EXPECT_EQ(slotOf(&Class::operation), slot) << #operation

TEST(DeviceInterface, EveryOperationSitsInItsSlot)
{
    EXPECT_SLOT(AbstractDevice, GetCallStack, 0);
    EXPECT_SLOT(AbstractDevice, GetRegisterTable, 1);
    EXPECT_SLOT(AbstractDevice, GetRegister, 2);
    EXPECT_SLOT(AbstractDevice, SetRegister, 3);
    EXPECT_SLOT(AbstractDevice, GetVariableCount, 4);
    EXPECT_SLOT(AbstractDevice, GetVariable, 5);
    EXPECT_SLOT(AbstractDevice, SetVariable, 6);
    EXPECT_SLOT(AbstractDevice, GetMemoryBankCount, 7);
    EXPECT_SLOT(AbstractDevice, GetMemoryBank, 8);
    EXPECT_SLOT(AbstractDevice, ReadMemory, 9);
    EXPECT_SLOT(AbstractDevice, WriteMemory, 10);
    EXPECT_SLOT(AbstractDevice, LocateMessage, 11);
    EXPECT_SLOT(AbstractDevice, AddressToLine, 12);
    EXPECT_SLOT(AbstractDevice, LineToAddress, 13);
    EXPECT_SLOT(AbstractDevice, GetProgramCounter, 14);
    EXPECT_SLOT(AbstractDevice, GetCycleCount, 15);
    EXPECT_SLOT(AbstractDevice, GetElapsedTime, 16);
    EXPECT_SLOT(AbstractDevice, ClearAllBreakpoints, 17);
    EXPECT_SLOT(AbstractDevice, SetBreakpoint, 18);
    EXPECT_SLOT(AbstractDevice, ClearBreakpoint, 19);
    EXPECT_SLOT(AbstractDevice, GetAddressBits, 20);
    EXPECT_SLOT(AbstractDevice, GetSourceExtension, 21);
    EXPECT_SLOT(AbstractDevice, Run, 22);
    EXPECT_SLOT(AbstractDevice, StepInto, 23);
    EXPECT_SLOT(AbstractDevice, StepOver, 24);
    EXPECT_SLOT(AbstractDevice, StepOut, 25);
    EXPECT_SLOT(AbstractDevice, RunToAddress, 26);
    EXPECT_SLOT(AbstractDevice, Pause, 27);
    EXPECT_SLOT(AbstractDevice, Stop, 28);
    EXPECT_SLOT(AbstractDevice, StepInstruction, 29);
    EXPECT_SLOT(AbstractDevice, Build, 30);
    EXPECT_SLOT(AbstractDevice, GetBuildMessages, 31);
    EXPECT_SLOT(AbstractDevice, GetProgramFile, 32);
    EXPECT_SLOT(AbstractDevice, LoadProgram, 33);
    EXPECT_SLOT(AbstractDevice, SetDebugLevel, 34);
    EXPECT_SLOT(AbstractDevice, SetLibraryPath, 35);
    EXPECT_SLOT(AbstractDevice, HasFeature, 36);
    EXPECT_SLOT(AbstractDevice, ShowDeviceOptions, 37);
    EXPECT_SLOT(AbstractDevice, GetTraceInfo, 38);
    EXPECT_SLOT(AbstractDevice, GetTraceEntry, 39);
    EXPECT_SLOT(AbstractDevice, StartTrace, 40);
    EXPECT_SLOT(AbstractDevice, StopTrace, 41);
    EXPECT_SLOT(AbstractDevice, SelectTraceEntry, 42);
    EXPECT_SLOT(AbstractDevice, VerifyProgram, 43);
    EXPECT_SLOT(AbstractDevice, GetVersionText, 44);
    EXPECT_SLOT(AbstractDevice, SetStimulusFile, 45);
    EXPECT_SLOT(AbstractDevice, SetDataFile, 46);
    EXPECT_SLOT(AbstractDevice, SetMessageCallback, 47);
    EXPECT_SLOT(AbstractDevice, ConfirmStop, 48);
    EXPECT_SLOT(AbstractDevice, AddDataBreakpoint, 49);
    EXPECT_SLOT(AbstractDevice, IsViewEnabled, 50);
    EXPECT_SLOT(AbstractDevice, GetHelpItems, 51);
    EXPECT_SLOT(AbstractDevice, OpenHelpItem, 52);
    EXPECT_SLOT(AbstractDevice, GetDeviceMenuItems, 53);
    EXPECT_SLOT(AbstractDevice, RunDeviceMenuItem, 54);
    EXPECT_SLOT(AbstractDevice, SetRegistryName, 55);
    EXPECT_SLOT(AbstractDevice, SetDeviceMenuCallback, 56);
    EXPECT_SLOT(AbstractDevice, Refresh, 57);
    EXPECT_SLOT(AbstractDevice, SetProjectOption, 58);
    EXPECT_SLOT(AbstractDevice, GetProjectOptions, 59);
    EXPECT_SLOT(AbstractDevice, GetCompilerList, 60);
    EXPECT_SLOT(AbstractDevice, SelectCompiler, 61);
    EXPECT_SLOT(AbstractDevice, GetCompilerName, 62);
    EXPECT_SLOT(AbstractDevice, ShowCompilerOptions, 63);
    EXPECT_SLOT(AbstractDevice, ReadCodeWords, 64);
    EXPECT_SLOT(AbstractDevice, IsBreakpointAtPC, 65);
}

// The destructor follows the last operation: the complete-object destructor
// takes slot 66 (and the deleting destructor 67).
TEST(DeviceInterface, DestructorFollowsTheLastOperation)
{
    static bool destroyed = false;
    struct Probe final : DecliningDevice {
        ~Probe() override { destroyed = true; }
    };
    alignas(Probe) unsigned char storage[sizeof(Probe)];
    auto* probe = new (storage) Probe;
    using Destructor = void (*)(AbstractDevice*);
    void** vtable = *reinterpret_cast<void***>(static_cast<AbstractDevice*>(probe));
    reinterpret_cast<Destructor>(vtable[66])(probe);
    EXPECT_TRUE(destroyed);
}

TEST(CompilerInterface, EveryOperationSitsInItsSlot)
{
    EXPECT_SLOT(AbstractCompiler, GetSourceExtension, 0);
    EXPECT_SLOT(AbstractCompiler, Build, 1);
    EXPECT_SLOT(AbstractCompiler, GetMessages, 2);
    EXPECT_SLOT(AbstractCompiler, LocateMessage, 3);
    EXPECT_SLOT(AbstractCompiler, GetHexFile, 4);
    EXPECT_SLOT(AbstractCompiler, GetDataHexFile, 5);
    EXPECT_SLOT(AbstractCompiler, AddressToLine, 6);
    EXPECT_SLOT(AbstractCompiler, LineToAddress, 7);
    EXPECT_SLOT(AbstractCompiler, SetDebugLevel, 8);
    EXPECT_SLOT(AbstractCompiler, GetProjectOptions, 9);
    EXPECT_SLOT(AbstractCompiler, ReadProjectLine, 10);
    EXPECT_SLOT(AbstractCompiler, ShowOptions, 11);
    EXPECT_SLOT(AbstractCompiler, Initialize, 12);
    EXPECT_SLOT(AbstractCompiler, StepInto, 13);
    EXPECT_SLOT(AbstractCompiler, StepOver, 14);
    EXPECT_SLOT(AbstractCompiler, StepOut, 15);
    EXPECT_SLOT(AbstractCompiler, ReservedQuery, 16);
    EXPECT_SLOT(AbstractCompiler, ReservedCount, 17);
    EXPECT_SLOT(AbstractCompiler, ReservedActionA, 18);
    EXPECT_SLOT(AbstractCompiler, ReservedActionB, 19);
}

TEST(CompilerInterface, HasNoPublicVirtualDestructor)
{
    static_assert(!std::has_virtual_destructor_v<AbstractCompiler>);
    static_assert(!std::is_destructible_v<AbstractCompiler>);
}

TEST(CompilerInterface, SettingsRecordKeepsItsFieldOrder)
{
    EXPECT_LT(offsetof(CompilerSettings, romSize), offsetof(CompilerSettings, codeSize));
    EXPECT_LT(offsetof(CompilerSettings, codeSize), offsetof(CompilerSettings, libraryPath));
    EXPECT_LT(offsetof(CompilerSettings, libraryPath), offsetof(CompilerSettings, messageCallback));
    EXPECT_LT(offsetof(CompilerSettings, messageCallback), offsetof(CompilerSettings, processorFamily));
    EXPECT_LT(offsetof(CompilerSettings, processorFamily), offsetof(CompilerSettings, settingsKey));
    EXPECT_LT(offsetof(CompilerSettings, settingsKey), offsetof(CompilerSettings, runState));
}

}  // namespace
