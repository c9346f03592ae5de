#include "AsmTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Driver.h"

namespace zernasm::test {

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "zernasm-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempFolder::Write(const std::string& name, const std::string& text) const
{
    std::ofstream file(File(name), std::ios::binary);
    file << text;
}

std::optional<std::string> TempFolder::Read(const std::string& name) const
{
    std::ifstream file(File(name), std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool TempFolder::Exists(const std::string& name) const
{
    return fs::exists(File(name));
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    std::istringstream stream(text);
    while (std::getline(stream, line))
        lines.push_back(line);
    return lines;
}

bool MatchesShape(const std::string& text, const std::string& shape)
{
    if (text.size() != shape.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (shape[i]) {
        case '9':
            if (c < '0' || c > '9')
                return false;
            break;
        case '_':
            if (c != ' ' && (c < '0' || c > '9'))
                return false;
            break;
        case 'A':
            if (c < 'A' || c > 'Z')
                return false;
            break;
        case 'a':
            if (c < 'a' || c > 'z')
                return false;
            break;
        default:
            if (c != shape[i])
                return false;
        }
    }
    return true;
}

std::vector<uint16_t> RunResult::Words(uint32_t from, size_t count) const
{
    std::vector<uint16_t> words;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t address = (from + static_cast<uint32_t>(i)) * 2;
        const auto low = program.find(address);
        const auto high = program.find(address + 1);
        if (low == program.end() || high == program.end())
            break;
        words.push_back(static_cast<uint16_t>(low->second | (high->second << 8)));
    }
    return words;
}

std::vector<std::string> RunResult::ListingBody() const
{
    std::vector<std::string> lines = SplitLines(listing.value_or(""));
    if (lines.size() <= 10)
        return {};
    return {lines.begin() + 10, lines.end()};
}

namespace {

// Decodes Intel HEX records (types 00, 01, 04) as srec_cat writes them.
std::map<uint32_t, uint8_t> DecodeHex(const std::string& text)
{
    std::map<uint32_t, uint8_t> bytes;
    uint32_t upper = 0;
    for (const std::string& line : SplitLines(text)) {
        if (line.size() < 11 || line[0] != ':')
            continue;
        auto byteAt = [&](size_t index) {
            return static_cast<uint8_t>(std::stoul(line.substr(1 + index * 2, 2), nullptr, 16));
        };
        const uint8_t count = byteAt(0);
        const uint32_t address = (byteAt(1) << 8) | byteAt(2);
        const uint8_t type = byteAt(3);
        if (type == 4)
            upper = static_cast<uint32_t>((byteAt(4) << 8) | byteAt(5)) << 16;
        if (type != 0)
            continue;
        for (uint8_t i = 0; i < count; ++i)
            bytes[upper + address + i] = byteAt(4 + i);
    }
    return bytes;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs `command` in `folder` and returns its exit status (-1 when a signal ended
// it); `usage` receives the child's resource use.
int RunInFolder(const std::string& folder, const std::vector<std::string>& command, const std::string& outPath,
                const std::string& errPath, size_t memoryLimit = 0, struct rusage* usage = nullptr)
{
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        if (memoryLimit > 0) {
            const struct rlimit limit = {memoryLimit, memoryLimit};
            if (setrlimit(RLIMIT_AS, &limit) != 0)
                _exit(127);
        }
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr))
            _exit(127);
        std::vector<char*> argv;
        for (const std::string& argument : command)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage ignored {};
    wait4(child, &status, 0, usage ? usage : &ignored);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void CollectOutputs(const TempFolder& folder, const std::string& name, RunResult& result)
{
    result.programHex = folder.Read(name + ".hex");
    result.dataHex = folder.Read(name + "_d.hex");
    result.listing = folder.Read(name + ".lst");
    if (result.programHex)
        result.program = ReadHexWithSrecCat(folder.File(name + ".hex"));
    if (result.dataHex)
        result.data = ReadHexWithSrecCat(folder.File(name + "_d.hex"));
}

}  // namespace

std::map<uint32_t, uint8_t> ReadHexWithSrecCat(const std::string& path)
{
    // A program stream that never received a byte leaves an empty file, which
    // holds no record for srec_cat to read.
    if (ReadAll(path).empty())
        return {};
    TempFolder scratch;
    const std::string converted = scratch.File("readback.hex");
    const int status = RunInFolder(
        scratch.Path(), {"srec_cat", "-disable-sequence-warnings", path, "-Intel", "-o", converted, "-Intel"},
        scratch.File("out"), scratch.File("err"));
    EXPECT_EQ(status, 0) << "srec_cat refused " << path << ": " << ReadAll(scratch.File("err"));
    EXPECT_EQ(ReadAll(scratch.File("err")), "") << path;
    const std::map<uint32_t, uint8_t> bytes = DecodeHex(ReadAll(converted));
    EXPECT_EQ(bytes, DecodeHex(ReadAll(path))) << "srec_cat read other bytes from " << path;
    return bytes;
}

RunResult Assemble(const std::string& source, const std::vector<std::string>& options, SecondPass secondPass)
{
    TempFolder folder;
    folder.Write("prog.asm", source);
    std::vector<const char*> argv = {"zernasm"};
    for (const std::string& option : options)
        argv.push_back(option.c_str());
    argv.push_back("prog.asm");
    RunResult result;
    char* outText = nullptr;
    char* errText = nullptr;
    size_t outSize = 0;
    size_t errSize = 0;
    FILE* out = open_memstream(&outText, &outSize);
    FILE* err = open_memstream(&errText, &errSize);
    const std::string previous = fs::current_path().string();
    fs::current_path(folder.Path());
    result.exitStatus = RunZernAsm(static_cast<int>(argv.size()), argv.data(), Console{out, err}, secondPass);
    fs::current_path(previous);
    fclose(out);
    fclose(err);
    result.out.assign(outText, outSize);
    result.err.assign(errText, errSize);
    free(outText);
    free(errText);
    CollectOutputs(folder, "prog", result);
    return result;
}

RunResult RunProgram(const TempFolder& folder, const std::vector<std::string>& arguments, size_t memoryLimit)
{
    std::vector<std::string> command = {ZERNASM_PROGRAM};
    command.insert(command.end(), arguments.begin(), arguments.end());
    RunResult result;
    TempFolder consoles;
    struct rusage usage {};
    result.exitStatus =
        RunInFolder(folder.Path(), command, consoles.File("out"), consoles.File("err"), memoryLimit, &usage);
    result.processorSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                              + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    result.out = ReadAll(consoles.File("out"));
    result.err = ReadAll(consoles.File("err"));
    // A refused run may have been given an output name as its source.
    if (!arguments.empty() && result.exitStatus == 0) {
        std::string name = fs::path(arguments.back()).filename().string();
        name = name.substr(0, name.find_last_of('.'));
        CollectOutputs(folder, name, result);
    }
    return result;
}

}  // namespace zernasm::test
