#pragma once
// What the fake compiler plug-in records and answers; the test hands its
// address to the library through an environment variable.

#include <string>
#include <vector>

#include "AbstractCompiler.h"

inline constexpr char kFakeCompilerScriptVariable[] = "FAKE_COMPILER_SCRIPT";

struct FakeInitialization {
    AbstractDevice* device = nullptr;
    bool sixValueRecord = false;
    int32_t romSize = 0;
    int32_t codeSize = 0;
    int32_t dataSize = 0;
    int32_t accumulators = 0;
    std::string libraryPath;
    DeviceMessageCallback messageCallback = nullptr;
    int32_t processorFamily = 0;
    std::string settingsKey;
    int* runState = nullptr;
};

struct FakeCompilerScript {
    // The record layout Initialize reads: the outside C compiler's six values.
    bool sixValueRecord = false;
    std::vector<std::string> calls;
    std::vector<FakeInitialization> initializations;
    std::vector<std::string> messages;
    std::vector<std::string> projectOptions;
    std::string dataHexFile;
    int buildResult = 4;
    int created = 0;
    int freed = 0;
};
