// A compiler plug-in that records what its device asks of it. One source,
// built into variants by FAKE_COMPILER_VERSION, FAKE_DEVICE_VERSION,
// FAKE_NO_COMPILER_VERSION, FAKE_NO_DEVICE_VERSION and FAKE_NO_INSTANCE.
// Texts it hands out are overwritten on the next call, as the boundary allows.
#include <cstdlib>
#include <cstring>
#include <new>

#include "CompilerBinding.h"
#include "FakeCompilerScript.h"

#ifndef FAKE_COMPILER_VERSION
#define FAKE_COMPILER_VERSION 2
#endif
#ifndef FAKE_DEVICE_VERSION
#define FAKE_DEVICE_VERSION 14
#endif

namespace {

FakeCompilerScript& script()
{
    static FakeCompilerScript standalone;
    const char* address = std::getenv(kFakeCompilerScriptVariable);
    if (address && *address)
        return *static_cast<FakeCompilerScript*>(reinterpret_cast<void*>(std::strtoull(address, nullptr, 16)));
    return standalone;
}

class FakeCompiler final : public AbstractCompiler {
public:
    ~FakeCompiler() { ++script().freed; }

    const char* GetSourceExtension() override { return hand(extension_, "fasm"); }
    int Build(const char* const* files, unsigned count, bool force, const char* projectPath) override
    {
        std::string call = "Build";
        for (unsigned i = 0; i < count; ++i)
            call += std::string(" ") + files[i];
        note(call + (force ? " force " : " ") + projectPath);
        return script().buildResult;
    }
    void GetMessages(char*** lines, int* count) override
    {
        note("GetMessages");
        *count = handList(messages_, script().messages, lines);
    }
    int LocateMessage(const char* message, char** file, int* line) override
    {
        note(std::string("LocateMessage ") + message);
        *file = hand(file_, "located.asm");
        *line = 7;
        return 4;
    }
    int GetHexFile(char** path) override { return *path = hand(hex_, "program.hex"), 4; }
    int GetDataHexFile(char** path) override
    {
        *path = script().dataHexFile.empty() ? nullptr : hand(data_, script().dataHexFile);
        return 4;
    }
    int AddressToLine(unsigned address, char** file, int* line) override
    {
        *file = hand(file_, "mapped.asm");
        *line = static_cast<int>(address) + 1;
        return 4;
    }
    int LineToAddress(const char*, int line, unsigned* address) override
    {
        *address = static_cast<unsigned>(line) * 2;
        return 4;
    }
    void SetDebugLevel(int level) override { note("SetDebugLevel " + std::to_string(level)); }
    void GetProjectOptions(int* count, char*** lines) override
    {
        *count = handList(options_, script().projectOptions, lines);
    }
    void ReadProjectLine(const char* line) override { note(std::string("ReadProjectLine ") + line); }
    void ShowOptions() override { note("ShowOptions"); }
    int Initialize(AbstractDevice* device, CompilerSettings* settings) override
    {
        FakeInitialization record;
        record.device = device;
        record.sixValueRecord = script().sixValueRecord;
        if (record.sixValueRecord) {
            const auto* six = reinterpret_cast<const zern::QuorinCompilerSettings*>(settings);
            record.libraryPath = six->libraryPath;
            record.processorFamily = six->processorFamily;
            record.accumulators = six->accumulators;
            record.runState = six->runState;
            record.codeSize = six->codeSize;
            record.dataSize = six->dataSize;
        } else {
            record.romSize = settings->romSize;
            record.codeSize = settings->codeSize;
            record.libraryPath = settings->libraryPath;
            record.messageCallback = settings->messageCallback;
            record.processorFamily = settings->processorFamily;
            record.settingsKey = settings->settingsKey;
            record.runState = settings->runState;
        }
        script().initializations.push_back(record);
        return 4;
    }
    int StepInto() override { return note("StepInto"), 0; }
    int StepOver() override { return note("StepOver"), 0; }
    int StepOut() override { return note("StepOut"), 1; }
    int ReservedQuery(int, int, int, int* result) override { return *result = 0, 4; }
    int ReservedCount() override { return 0; }
    int ReservedActionA() override { return 5; }
    int ReservedActionB() override { return 5; }

private:
    static void note(const std::string& call) { script().calls.push_back(call); }
    // The previous answer is scribbled over first, so a caller that kept it reads garbage.
    static char* hand(std::string& slot, const std::string& text)
    {
        std::memset(slot.data(), '#', slot.size());
        slot = text;
        return slot.data();
    }

    struct HandedList {
        std::vector<std::string> texts;
        std::vector<char*> pointers;
    };
    static int handList(HandedList& slot, const std::vector<std::string>& texts, char*** lines)
    {
        slot.texts = texts;
        slot.pointers.clear();
        for (std::string& text : slot.texts)
            slot.pointers.push_back(text.data());
        *lines = slot.pointers.data();
        return static_cast<int>(slot.pointers.size());
    }

    std::string extension_, file_, hex_, data_;
    HandedList messages_, options_;
};

}  // namespace

#ifndef FAKE_NO_COMPILER_VERSION
TOLVANE_PLUGIN_EXPORT int _GetCompilerVersion()
{
    return FAKE_COMPILER_VERSION;
}
#endif

#ifndef FAKE_NO_DEVICE_VERSION
TOLVANE_PLUGIN_EXPORT int _GetDeviceVersion()
{
    return FAKE_DEVICE_VERSION;
}
#endif

#ifndef FAKE_NO_INSTANCE
TOLVANE_PLUGIN_EXPORT AbstractCompiler* _GetCompilerInstance()
{
    ++script().created;
    return new (std::nothrow) FakeCompiler();
}
#endif

TOLVANE_PLUGIN_EXPORT void _FreeCompilerInstance(AbstractCompiler* compiler)
{
    delete static_cast<FakeCompiler*>(compiler);
}
