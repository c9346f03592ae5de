#pragma once
// Helpers of the assembler tests: a fresh folder per run, the assembler run in
// process or as the installed program, and HEX files read back by srec_cat.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Driver.h"

namespace zernasm::test {

// A temporary folder that is removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    void Write(const std::string& name, const std::string& text) const;
    std::optional<std::string> Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string path_;
};

struct RunResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
    std::optional<std::string> programHex;
    std::optional<std::string> dataHex;
    std::optional<std::string> listing;
    // Bytes by byte address, as srec_cat read the HEX files back.
    std::map<uint32_t, uint8_t> program;
    std::map<uint32_t, uint8_t> data;
    // The program's own processor time (RunProgram only).
    double processorSeconds = 0;

    // Little-endian code words from word address `from`, `count` of them.
    std::vector<uint16_t> Words(uint32_t from, size_t count) const;
    // Listing lines from the first statement line on (the header skipped).
    std::vector<std::string> ListingBody() const;
};

// Assembles `source` (written as "prog.asm") in a fresh folder with the given
// options, in process. Every HEX file produced is read back by srec_cat.
RunResult Assemble(const std::string& source, const std::vector<std::string>& options = {"-q", "-l"},
                   SecondPass secondPass = SecondPass::ComposeKeptLines);
// Runs the ZernAsm program in `folder` with the arguments (the last one is the
// source path as typed), its address space limited to `memoryLimit` bytes when
// that is not 0.
RunResult RunProgram(const TempFolder& folder, const std::vector<std::string>& arguments, size_t memoryLimit = 0);

// Reads an Intel HEX file with srec_cat; fails the current test on any complaint.
std::map<uint32_t, uint8_t> ReadHexWithSrecCat(const std::string& path);

std::vector<std::string> SplitLines(const std::string& text);

// Character-class match: in `shape`, '9' is a digit, '_' a digit or blank,
// 'A' an upper-case and 'a' a lower-case letter; anything else matches itself.
bool MatchesShape(const std::string& text, const std::string& shape);

}  // namespace zernasm::test
