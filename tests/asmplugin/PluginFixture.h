#pragma once
// A temporary IDE folder with the tool folder, a temporary registry and a
// recorded message callback for each test of the assembler plug-in.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "QuorinAssembler.h"
#include "Registry.h"

namespace asmtest {

namespace fs = std::filesystem;

inline const char kDeviceKey[] = "\\Software\\Quorin Semiconductor\\TolvaneZERN7100";
inline const char kIdeKey[] = "\\Software\\Quorin Semiconductor\\Tolvane";

// The message callback is a plain function: it records into this list.
inline std::vector<std::string>& reported()
{
    static std::vector<std::string> messages;
    return messages;
}

inline void recordMessage(const char* text)
{
    reported().emplace_back(text);
}

inline std::string allReported()
{
    std::string text;
    for (const std::string& message : reported())
        text += message;
    return text;
}

inline void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            previous_ = old, hadValue_ = true;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment()
    {
        if (hadValue_)
            setenv(name_, previous_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string previous_;
    bool hadValue_ = false;
};

class PluginFixture : public ::testing::Test {
protected:
    PluginFixture()
        : root_(makeRoot()),
          programDir_("TOLVANE_PROGRAM_DIR", (root_ / "ide").string()),
          configHome_("XDG_CONFIG_HOME", (root_ / "config").string()),
          temporaryDir_("TMPDIR", (root_ / "tmp").string())
    {
        fs::create_directories(toolDir());
        fs::create_directories(root_ / "tmp");
        fs::create_symlink(MACRO_PATH, toolDir() / "macro");
        fs::create_symlink(FAKE_TOOL_PATH, toolDir() / "ZernAsm");
        writeFile(toolDir() / "macroversion.bin", std::string("\x00\x01", 2));
        writeFile(toolDir() / "zernasmversion.bin", std::string("\x00\x02", 2));
        reported().clear();
    }
    ~PluginFixture() override
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    static fs::path makeRoot()
    {
        std::string pattern = (fs::temp_directory_path() / "asmplugin-XXXXXX").string();
        return mkdtemp(pattern.data());
    }

    fs::path toolDir() const { return root_ / "ide" / "Compilers" / "QuorinAssembler"; }
    fs::path root() const { return root_; }

    // Scripts the fake assembler (or another fake tool placed in the tool folder).
    void scriptTool(const std::string& name, const std::string& script)
    {
        if (!fs::exists(toolDir() / name))
            fs::create_symlink(FAKE_TOOL_PATH, toolDir() / name);
        writeFile(toolDir() / (name + ".script"), script);
    }

    void initialize(int family = 20, int romSize = 0x1000, const char* key = kDeviceKey)
    {
        std::string keyCopy = key ? key : "";
        CompilerSettings settings{romSize,        0x800,  "/opt/device/libZernJTAG.so",
                                  &recordMessage, family, key ? keyCopy.c_str() : nullptr,
                                  &runState_};
        compiler_.Initialize(nullptr, &settings);
    }

    void setDeviceValue(const std::string& name, const std::string& value)
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kDeviceKey, true);
        ASSERT_TRUE(key);
        key->writeString(name, value);
    }

    // Build with the files as the plug-in's caller hands them over.
    int buildProject(const std::vector<fs::path>& files, bool force, const fs::path& projectFile)
    {
        std::vector<std::string> texts;
        for (const auto& file : files)
            texts.push_back(file.string());
        std::vector<const char*> pointers;
        for (const auto& text : texts)
            pointers.push_back(text.c_str());
        const std::string projectPath = projectFile.string();
        return compiler_.Build(pointers.data(), static_cast<unsigned>(pointers.size()), force, projectPath.c_str());
    }

    std::vector<std::string> messages()
    {
        char** lines = nullptr;
        int count = -1;
        compiler_.GetMessages(&lines, &count);
        return count > 0 ? std::vector<std::string>(lines, lines + count) : std::vector<std::string>{};
    }

    fs::path root_;
    ScopedEnvironment programDir_;
    ScopedEnvironment configHome_;
    ScopedEnvironment temporaryDir_;
    int runState_ = 1;
    asmplugin::QuorinAssembler compiler_;
};

// A listing as ZernAsm writes it for the combined source: every line that
// is not empty, a marker, a comment or "end" gets the next code address.
inline std::string listingFor(const std::vector<std::string>& combined, int family = 20, unsigned firstAddress = 0,
                              const std::string& closing = "Parser terminated successfully.")
{
    std::string text =
        "+---------------------------------------------------------------+\n\n"
        "+---------------------------------------------------------------+\n"
        "Last build Jan 01 2026 at 00:00:00\n\n"
        "Command line: -l -q -b x.glb \n"
        "Assembling x.glb for ZERNB,using 16 accumulators, Thu Jan  1 00:00:00 2026\n\n"
        "    Line: Addr: Opcode\n"
        "======================\n";
    unsigned address = firstAddress;
    char line[512];
    for (std::size_t i = 0; i < combined.size(); ++i) {
        const std::string& source = combined[i];
        const bool noCode = source.empty() || source[0] == ';' || source[0] == '$' || source == "end"
                            || source.find("SEGMENT") != std::string::npos;
        if (noCode)
            std::snprintf(line, sizeof line, "%8zu:             %s\n", i + 1, source.c_str());
        else if (family == 30)
            std::snprintf(line, sizeof line, "%8zu: %06X: 3A00  %s\n", i + 1, address++, source.c_str());
        else
            std::snprintf(line, sizeof line, "%8zu: %04X: 3A00  %s\n", i + 1, address++, source.c_str());
        text += line;
    }
    return text + "\n" + closing + "\n";
}

}  // namespace asmtest
