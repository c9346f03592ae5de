#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "AbstractDevice.h"
#include "DynamicLibrary.h"
#include "ExportedSymbols.h"

namespace {

TEST(PluginLoading, LoadsByPathAndAnswersTheExports)
{
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.open(TEST_PLUGIN_PATH)) << library.lastError();
    auto version = library.function<GetDeviceVersionFn>(kGetDeviceVersionExport);
    auto create = library.function<GetDeviceInstanceFn>(kGetDeviceInstanceExport);
    auto destroy = library.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport);
    ASSERT_NE(version, nullptr);
    ASSERT_NE(create, nullptr);
    ASSERT_NE(destroy, nullptr);
    EXPECT_EQ(version(), 14);

    destroy(nullptr);
    AbstractDevice* device = create();
    ASSERT_NE(device, nullptr);
    EXPECT_STREQ(device->GetSourceExtension(), "asm");
    EXPECT_EQ(device->Run(), tolvane::kRunFailed);
    destroy(device);
}

TEST(PluginLoading, MissingLibraryAndMissingExportAreReported)
{
    platform::DynamicLibrary library;
    EXPECT_FALSE(library.open("/nonexistent/libNothing.so"));
    EXPECT_FALSE(library.lastError().empty());
    ASSERT_TRUE(library.open(TEST_PLUGIN_PATH));
    EXPECT_EQ(library.symbol("_GetCompilerVersion"), nullptr);
}

TEST(PluginLoading, OnlyTheExportsAreVisible)
{
    EXPECT_EQ(test_support::exportedSymbols(TEST_PLUGIN_PATH),
              (std::set<std::string>{"_GetDeviceVersion", "_GetDeviceInstance", "_FreeDeviceInstance"}));
}

}  // namespace
