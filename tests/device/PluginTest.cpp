#include <cstdio>
#include <gtest/gtest.h>
#include <set>

#include "AbstractDevice.h"
#include "DynamicLibrary.h"
#include "ExportedSymbols.h"
#include "TestSupport.h"

namespace {

class PluginTest : public device_tests::TempFolderTest {};

TEST_F(PluginTest, ExportsOnlyTheDeviceFunctions)
{
    EXPECT_EQ(test_support::exportedSymbols(ZERNJTAG_PATH),
              (std::set<std::string>{"_GetDeviceVersion", "_GetDeviceInstance", "_FreeDeviceInstance"}));
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
