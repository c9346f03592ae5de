#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "AbstractCompiler.h"
#include "DynamicLibrary.h"
#include "ExportedSymbols.h"
#include "MessageBoxes.h"
#include "QuorinAssembler.h"

namespace asmtest {
namespace {

TEST(CompilerObject, AnswersBeforeAnyBuild)
{
    asmplugin::QuorinAssembler compiler;
    EXPECT_STREQ(compiler.GetSourceExtension(), "asm");
    char** lines = reinterpret_cast<char**>(&compiler);
    int count = -1;
    compiler.GetMessages(&lines, &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(lines, reinterpret_cast<char**>(&compiler)) << "lines is left alone without messages";

    char* path = reinterpret_cast<char*>(&compiler);
    EXPECT_EQ(compiler.GetDataHexFile(&path), 4);
    EXPECT_EQ(path, nullptr);
    EXPECT_EQ(compiler.GetHexFile(&path), 4);
    EXPECT_STREQ(path, "");
    unsigned address = 0;
    EXPECT_EQ(compiler.LineToAddress("/x.asm", 1, &address), 5);
    EXPECT_EQ(compiler.LocateMessage(nullptr, &path, &count), 5);
    EXPECT_EQ(compiler.Initialize(nullptr, nullptr), 4);
}

TEST(CompilerObject, BuildSwitchesComeFromTheProjectLine)
{
    asmplugin::QuorinAssembler compiler;
    compiler.ReadProjectLine("BUILD SWITCHES: -acc=8");
    EXPECT_EQ(compiler.buildSwitches(), "-acc=8");
    compiler.ReadProjectLine("BUILD SWITCHES:-c");
    compiler.ReadProjectLine("[DEVICE] ZERN7100");
    compiler.ReadProjectLine(nullptr);
    EXPECT_EQ(compiler.buildSwitches(), "-acc=8");
    compiler.ReadProjectLine("BUILD SWITCHES: ");
    EXPECT_EQ(compiler.buildSwitches(), "");
}

TEST(CompilerObject, OptionsShowTheNoOptionsBox)
{
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes installed(boxes);
    asmplugin::QuorinAssembler compiler;
    compiler.ShowOptions();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Compiler Options");
    EXPECT_EQ(boxes.boxes[0].text, "The selected compiler has no options.");
    EXPECT_EQ(boxes.boxes[0].buttons, platform::BoxButtons::Ok);
}

TEST(CompilerLibrary, ExportsCreateAndFreeTheObject)
{
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.open(PLUGIN_PATH)) << library.lastError();
    const auto compilerVersion = library.function<GetCompilerVersionFn>(kGetCompilerVersionExport);
    const auto deviceVersion = library.function<GetCompilerDeviceVersionFn>(kGetCompilerDeviceVersionExport);
    const auto create = library.function<GetCompilerInstanceFn>(kGetCompilerInstanceExport);
    const auto destroy = library.function<FreeCompilerInstanceFn>(kFreeCompilerInstanceExport);
    ASSERT_TRUE(compilerVersion && deviceVersion && create && destroy);
    EXPECT_EQ(compilerVersion(), 2);
    EXPECT_EQ(deviceVersion(), 14);
    destroy(nullptr);
    AbstractCompiler* compiler = create();
    ASSERT_NE(compiler, nullptr);
    EXPECT_STREQ(compiler->GetSourceExtension(), "asm");
    EXPECT_EQ(compiler->Build(nullptr, 0, false, ""), 5);
    char** lines = nullptr;
    int count = 0;
    compiler->GetMessages(&lines, &count);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(lines[0], "Project is empty.");
    destroy(compiler);
}

TEST(CompilerLibrary, OnlyTheFourExportsAreVisible)
{
    EXPECT_EQ(test_support::exportedSymbols(PLUGIN_PATH),
              (std::set<std::string>{"_GetCompilerVersion", "_GetDeviceVersion", "_GetCompilerInstance",
                                     "_FreeCompilerInstance"}));
}

}  // namespace
}  // namespace asmtest
