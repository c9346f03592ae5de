#pragma once
// The compiler object for assembly sources: builds through the macro
// preprocessor and ZernAsm, maps addresses to source lines from the listing,
// and steps through source lines on top of the device's machine steps.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "AbstractCompiler.h"
#include "ListingReader.h"
#include "PreprocessorRun.h"
#include "SourceModules.h"

namespace asmplugin {

class QuorinAssembler final : public AbstractCompiler {
public:
    QuorinAssembler() = default;
    ~QuorinAssembler() = default;
    QuorinAssembler(const QuorinAssembler&) = delete;
    QuorinAssembler& operator=(const QuorinAssembler&) = delete;

    const char* GetSourceExtension() override;
    int Build(const char* const* files, unsigned count, bool force, const char* projectPath) override;
    void GetMessages(char*** lines, int* count) override;
    int LocateMessage(const char* message, char** file, int* line) override;
    int GetHexFile(char** path) override;
    int GetDataHexFile(char** path) override;
    int AddressToLine(unsigned address, char** file, int* line) override;
    int LineToAddress(const char* file, int line, unsigned* address) override;
    void SetDebugLevel(int level) override;
    void GetProjectOptions(int* count, char*** lines) override;
    void ReadProjectLine(const char* line) override;
    void ShowOptions() override;
    int Initialize(AbstractDevice* device, CompilerSettings* settings) override;
    int StepInto() override;
    int StepOver() override;
    int StepOut() override;
    int ReservedQuery(int first, int second, int third, int* result) override;
    int ReservedCount() override;
    int ReservedActionA() override;
    int ReservedActionB() override;

    const std::string& buildSwitches() const { return buildSwitches_; }

private:
    // Build steps (BuildPipeline.cpp).
    int build(const std::vector<std::string>& files, bool force, const std::string& projectPath);
    bool skipsBuilding(bool force) const;
    bool preprocessSources(const std::vector<std::string>& files, std::string& combined);
    bool takePreprocessed(const std::string& sourcePath, const PreprocessorRun& run, std::string& combined);
    bool writeCombinedSource(const std::string& combined, const std::string& outputFolder,
                             const std::string& projectName);
    std::vector<std::string> assemblerCommand() const;
    bool readListing();
    bool runPostCompileCommand();
    std::optional<int> runTool(const std::vector<std::string>& arguments, const std::string& workingFolder);

    // Source map (SourceMap.cpp).
    int locateInCombinedSource(int messageLine, char** file, int* line);
    std::optional<int> romMappingBase() const;
    static int handOutLocation(std::string& handed, const std::string& path, int lineNumber, char** file, int* line);

    // Stepping (Stepping.cpp).
    int codeWordAtProgramCounter(unsigned& pc, int32_t& word);
    // Shared with the device, whose Pause and Stop write it from the window
    // thread while a step out runs on the worker thread.
    std::atomic_ref<int> runStateWord() const { return std::atomic_ref<int>(*runState_); }

    void report(const std::string& text) const;
    std::optional<std::string> settingsString(const char* name) const;
    bool settingsHasValue(const char* name) const;

    // Settings copied in Initialize.
    AbstractDevice* device_ = nullptr;
    int32_t romSize_ = 0;
    int32_t codeSize_ = 0;
    std::string libraryPath_;
    DeviceMessageCallback messageCallback_ = nullptr;
    int32_t processorFamily_ = 0;
    std::string settingsKey_;
    int* runState_ = nullptr;

    // The last build.
    bool firstBuild_ = true;
    std::string buildSwitches_;
    std::vector<Module> modules_;
    std::string combinedSourcePath_;
    std::string programFilePath_;
    std::string listingPath_;
    std::string dataFilePath_;
    bool hasDataFile_ = false;
    std::vector<std::string> messages_;
    std::vector<std::string> sourceFiles_;
    std::vector<MapEntry> map_;

    // What was handed out last, valid until the next call of the same operation.
    std::vector<std::string> handedMessages_;
    std::vector<char*> handedMessagePointers_;
    std::string handedProgramFile_;
    std::string handedDataFile_;
    std::string handedMessageFile_;
    std::string handedAddressFile_;
};

}  // namespace asmplugin
