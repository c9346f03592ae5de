#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "AbstractDevice.h"
#include "DynamicLibrary.h"
#include "TestSupport.h"

namespace {

class PluginTest : public device_tests::TempFolderTest {};

TEST_F(PluginTest, ExportsOnlyTheDeviceFunctions)
{
    const std::string command = std::string("nm -D --defined-only '") + ZERNJTAG_PATH + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        std::string name = text.substr(text.find_last_of(' ') + 1);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        symbols.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(symbols, (std::set<std::string>{"_GetDeviceVersion", "_GetDeviceInstance", "_FreeDeviceInstance"}));
}

TEST_F(PluginTest, CreatesAWorkingDeviceObject)
{
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.open(ZERNJTAG_PATH)) << library.lastError();
    EXPECT_EQ(library.function<GetDeviceVersionFn>(kGetDeviceVersionExport)(), 14);
    const auto create = library.function<GetDeviceInstanceFn>(kGetDeviceInstanceExport);
    const auto destroy = library.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport);
    destroy(nullptr);
    AbstractDevice* device = create();
    ASSERT_NE(device, nullptr);
    EXPECT_STREQ(device->GetVersionText(), "Version 1.1 (Build Date: Mar 14 2012)");
    char** captions = nullptr;
    int count = 0;
    EXPECT_EQ(device->GetDeviceMenuItems(&captions, &count), 4);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(captions[1], "JTAG Debug Log");
    destroy(device);
}

}  // namespace
