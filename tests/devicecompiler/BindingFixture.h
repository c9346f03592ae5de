#pragma once
// A temporary IDE folder for each test: its compiler folders, its own
// settings, and a device object whose message callback records its lines.

#include <dlfcn.h>
#include <filesystem>
#include <memory>
#include <string>

#include "MessageBoxes.h"
#include "TestSupport.h"
#include "ZernDevice.h"

namespace devicecompiler {

namespace fs = std::filesystem;

inline const char kAssemblerLibrary[] = "Compilers/QuorinAssembler/libQuorinAssembler.so";
inline const char kCCompilerLibrary[] = "Compilers/QuorinCompiler/libQuorinCompiler.so";

inline std::string fakeCompilerPath(const std::string& variant)
{
    return std::string(FAKE_COMPILER_DIR) + "/lib" + variant + ".so";
}

// Whether the process still has the library mapped.
inline bool libraryMapped(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

class BindingFixture : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        setenv("TOLVANE_PROGRAM_DIR", ide().c_str(), 1);
    }
    void TearDown() override
    {
        device_.reset();
        unsetenv("TOLVANE_PROGRAM_DIR");
        TempFolderTest::TearDown();
    }

    fs::path ide() const { return folder_ / "ide"; }

    void install(const std::string& target, const char* relative) const
    {
        fs::create_directories((ide() / relative).parent_path());
        fs::create_symlink(target, ide() / relative);
    }

    zern::ZernDevice& makeDevice(const std::string& configText, const zern::DeviceTraits& traits)
    {
        setOption("ConfigFile", writeFile("chip.cfg", configText));
        device_ = std::make_unique<zern::ZernDevice>(traits);
        device_->SetMessageCallback(&device_tests::MessageRecorder::callback);
        device_->SetRegistryName("ZERN7100");
        device_->SetLibraryPath((folder_ / "libZernJTAG.so").c_str());
        device_->setLinkTiming(device_tests::quickLinkTiming());
        device_tests::MessageRecorder::take();
        return *device_;
    }

    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes boxGuard_{boxes_};
    std::unique_ptr<zern::ZernDevice> device_;
};

}  // namespace devicecompiler
