// A scriptable device plug-in for the IDE's tests. One source, built into
// variants by the definitions FAKE_DEVICE_VERSION, FAKE_DEVICE_NO_VERSION,
// FAKE_DEVICE_NO_INSTANCE, FAKE_DEVICE_NO_FREE and FAKE_DEVICE_NULL_INSTANCE.
// Every text or array it hands out is scribbled over on the next call of the
// same operation, so a caller that keeps the pointer shows wrong text.
#include <cstring>
#include <deque>
#include <memory>
#include <new>

#include "DecliningDevice.h"
#include "FakeDeviceScript.h"

#ifndef FAKE_DEVICE_VERSION
#define FAKE_DEVICE_VERSION 14
#endif

namespace {

FakeDeviceScript& script()
{
    static FakeDeviceScript standalone;
    const char* address = std::getenv(kFakeDeviceScriptVariable);
    if (address && *address)
        return *static_cast<FakeDeviceScript*>(reinterpret_cast<void*>(std::strtoull(address, nullptr, 16)));
    return standalone;
}

// Texts of one operation; the previous answer is overwritten (kept mapped,
// so a stale reader sees garbage rather than crashing).
class HandedOut {
public:
    char* text(const std::string& value)
    {
        scribble();
        current_.push_back(std::make_unique<std::string>(value));
        return current_.back()->data();
    }
    char** array(const std::vector<std::string>& values)
    {
        scribble();
        for (const std::string& value : values)
            current_.push_back(std::make_unique<std::string>(value));
        pointers_.emplace_back();
        for (auto& stored : current_)
            pointers_.back().push_back(stored->data());
        pointers_.back().push_back(nullptr);
        return pointers_.back().data();
    }

private:
    void scribble()
    {
        for (auto& stored : current_) {
            std::memset(stored->data(), 'X', stored->size());
            retired_.push_back(std::move(stored));
        }
        current_.clear();
        for (auto& array : pointers_)
            for (char*& pointer : array)
                if (pointer)
                    pointer = scribbled_;
    }

    std::vector<std::unique_ptr<std::string>> current_;
    std::vector<std::unique_ptr<std::string>> retired_;
    std::deque<std::vector<char*>> pointers_;
    char scribbled_[8] = "XXXXXXX";
};

class FakeDevice final : public DecliningDevice {
public:
    FakeDevice()
    {
        std::lock_guard lock(script().mutex);
        ++script().liveDevices;
    }
    ~FakeDevice() override
    {
        std::lock_guard lock(script().mutex);
        --script().liveDevices;
        script().calls.push_back("~FakeDevice");
    }

    int LocateMessage(const char* messageLine, char** file, int* line) override
    {
        script().log(std::string("LocateMessage ") + messageLine);
        const auto found = script().locations.find(messageLine);
        if (found == script().locations.end())
            return tolvane::kStatusFailed;
        *file = locate_.text(found->second.first);
        *line = found->second.second;
        return tolvane::kStatusDone;
    }
    int GetAddressBits() override
    {
        script().log("GetAddressBits");
        return script().addressBits;
    }
    const char* GetSourceExtension() override
    {
        script().log("GetSourceExtension");
        return extension_.text(script().sourceExtension);
    }
    // Declines to build, after recording the files it was handed.
    int Build(const char* const* files, unsigned count, bool force, const char*) override
    {
        std::string call = force ? "Build force" : "Build";
        for (unsigned i = 0; i < count; ++i)
            call += std::string(" ") + files[i];
        script().log(call);
        return tolvane::kStatusFailed;
    }
    int Run() override
    {
        script().log("Run");
        std::unique_lock lock(script().mutex);
        script().runChanged.wait(lock, [] { return script().runReleased || script().stopRequested; });
        const bool stopped = script().stopRequested;
        script().runReleased = false;
        script().stopRequested = false;
        return stopped ? tolvane::kRunStopped : tolvane::kRunHalted;
    }
    int Stop() override
    {
        script().log("Stop");
        std::lock_guard lock(script().mutex);
        script().stopRequested = true;
        script().runChanged.notify_all();
        return tolvane::kStatusDone;
    }
    void SetDebugLevel(int level) override { script().log("SetDebugLevel " + std::to_string(level)); }
    void SetLibraryPath(const char* path) override
    {
        script().log("SetLibraryPath");
        std::lock_guard lock(script().mutex);
        script().libraryPath = path;
    }
    bool HasFeature(int feature) override
    {
        script().log("HasFeature " + std::to_string(feature));
        return script().features.count(feature) > 0;
    }
    const char* GetVersionText() override
    {
        script().log("GetVersionText");
        return version_.text(script().versionText);
    }
    int SetStimulusFile(const char* path) override
    {
        script().log(std::string("SetStimulusFile ") + (path ? path : "(null)"));
        return script().stimulusResult;
    }
    void SetMessageCallback(DeviceMessageCallback callback) override
    {
        script().log("SetMessageCallback");
        std::lock_guard lock(script().mutex);
        script().messageCallback = callback;
    }
    bool IsViewEnabled(int view) override
    {
        script().log("IsViewEnabled " + std::to_string(view));
        return script().enabledViews.count(view) > 0;
    }
    int GetHelpItems(char*** titles, int* count) override
    {
        script().log("GetHelpItems");
        *titles = help_.array(script().helpItems);
        *count = static_cast<int>(script().helpItems.size());
        return tolvane::kStatusDone;
    }
    void OpenHelpItem(const char* title) override { script().log(std::string("OpenHelpItem ") + title); }
    int GetDeviceMenuItems(char*** captions, int* count) override
    {
        script().log("GetDeviceMenuItems");
        *captions = menu_.array(script().deviceMenuItems);
        *count = static_cast<int>(script().deviceMenuItems.size());
        return tolvane::kStatusDone;
    }
    void RunDeviceMenuItem(const char* caption) override { script().log(std::string("RunDeviceMenuItem ") + caption); }
    void SetRegistryName(const char* name) override
    {
        script().log("SetRegistryName");
        std::lock_guard lock(script().mutex);
        script().registryName = name;
    }
    void SetDeviceMenuCallback(DeviceMenuCallback callback) override
    {
        script().log("SetDeviceMenuCallback");
        std::lock_guard lock(script().mutex);
        script().menuCallback = callback;
    }
    void SetProjectOption(const char* line, const char* projectPath) override
    {
        script().log(std::string("SetProjectOption ") + line + " " + projectPath);
        script().projectOptionsReceived.push_back(line);
    }
    void GetProjectOptions(int* count, char*** lines, const char*) override
    {
        script().log("GetProjectOptions");
        *lines = options_.array(script().projectOptions);
        *count = static_cast<int>(script().projectOptions.size());
    }
    int GetCompilerList(char*** names, int* count) override
    {
        script().log("GetCompilerList");
        *names = compilers_.array(script().compilers);
        *count = static_cast<int>(script().compilers.size());
        return tolvane::kStatusDone;
    }
    void SelectCompiler(const char* name) override
    {
        script().log(std::string("SelectCompiler ") + name);
        std::lock_guard lock(script().mutex);
        script().selectedCompiler = name;
    }
    const char* GetCompilerName() override
    {
        script().log("GetCompilerName");
        return compilerName_.text(script().selectedCompiler);
    }
    bool ShowDeviceOptions(void*) override
    {
        script().log("ShowDeviceOptions");
        return true;
    }
    void ShowCompilerOptions() override { script().log("ShowCompilerOptions"); }

private:
    HandedOut locate_, extension_, version_, help_, menu_, options_, compilers_, compilerName_;
};

}  // namespace

#ifndef FAKE_DEVICE_NO_VERSION
TOLVANE_PLUGIN_EXPORT int _GetDeviceVersion()
{
    script().log("_GetDeviceVersion");
    return FAKE_DEVICE_VERSION;
}
#endif

#ifndef FAKE_DEVICE_NO_INSTANCE
TOLVANE_PLUGIN_EXPORT AbstractDevice* _GetDeviceInstance()
{
    script().log("_GetDeviceInstance");
#ifdef FAKE_DEVICE_NULL_INSTANCE
    return nullptr;
#else
    return new (std::nothrow) FakeDevice;
#endif
}
#endif

#ifndef FAKE_DEVICE_NO_FREE
TOLVANE_PLUGIN_EXPORT void _FreeDeviceInstance(AbstractDevice* device)
{
    script().log("_FreeDeviceInstance");
    delete device;
}
#endif
