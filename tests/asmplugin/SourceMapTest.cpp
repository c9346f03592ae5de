#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PluginFixture.h"

namespace asmtest {
namespace {

using ::testing::ElementsAre;

// Builds one source through a fake preprocessor that hands back a prepared
// ".mpp", so that each test controls the combined source line by line.
class SourceMap : public PluginFixture {
protected:
    void buildWith(const std::vector<std::string>& preprocessed, int family = 20, int romSize = 0x1000)
    {
        initialize(family, romSize);
        std::string mpp;
        for (const auto& line : preprocessed)
            mpp += line + "\n";
        writeFile(root() / "prepared.mpp", mpp);
        fs::remove(toolDir() / "macro");
        scriptTool("macro", "copy .mpp " + (root() / "prepared.mpp").string() + "\n");
        auto combined = preprocessed;
        combined.emplace_back("end");
        writeFile(root() / "listing.txt", listingFor(combined, family));
        scriptTool("ZernAsm", "copy .lst " + (root() / "listing.txt").string() + "\n");
        writeFile(source_, "; source\n");
        const std::string sourcePath = source_.string();
        const char* files[] = {sourcePath.c_str()};
        const std::string projectPath = (root() / "proj" / "demo.prj").string();
        fs::create_directories(root() / "proj");
        ASSERT_EQ(compiler_.Build(files, 1, true, projectPath.c_str()), 4) << allReported();
    }

    int locate(const std::string& message)
    {
        char* file = nullptr;
        file_.clear();
        line_ = 0;
        const int result = compiler_.LocateMessage(message.c_str(), &file, &line_);
        if (file)
            file_ = file;
        return result;
    }

    std::string glb() const { return (root() / "proj" / "demo.glb").string(); }

    void setMapRomAddresses(int base)
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kIdeKey, true);
        ASSERT_TRUE(key);
        key->writeInteger("MapROMAddresses", base);
    }

    fs::path source_ = root() / "src" / "main.asm";
    std::string file_;
    int line_ = 0;
};

TEST_F(SourceMap, CombinedSourceMessagesWalkBackToModuleAndLineMarker)
{
    buildWith({"; one", "; two", "$BEGIN_MODULE(main)", "; four", "  NOP", "; six", "  NOP", "; eight", ";LINE(40)",
               "  NOP", "  NOP", "  NOP"});
    EXPECT_EQ(locate(glb() + ": Line 12\nError: bad operand"), 4);
    EXPECT_EQ(file_, source_.string());
    EXPECT_EQ(line_, 40);

    EXPECT_EQ(locate("File: " + glb() + ": LINE 8 "), 4) << "no marker below the module line";
    EXPECT_EQ(line_, -1);

    EXPECT_EQ(locate(glb() + ": Line 2"), 5) << "no module line above";
    EXPECT_EQ(locate(glb() + ": Line 0"), 5);
    EXPECT_EQ(locate(glb() + ": Line 14"), 5) << "beyond the combined source";
}

TEST_F(SourceMap, MessagesWithoutALineNumberOrKnownNameAreNotLocated)
{
    buildWith({"$BEGIN_MODULE(main.asm)", ";LINE(1)", "  NOP"});
    EXPECT_EQ(locate(glb() + ": Line 3"), 4) << "a module name with extension falls back to its stem";
    EXPECT_EQ(line_, 1);
    EXPECT_EQ(locate("no location here"), 5);
    EXPECT_EQ(locate(glb() + ": line x12"), 5);
    EXPECT_EQ(locate("MAIN: line 7abc"), 4) << "module names compare without regard to case";
    EXPECT_EQ(line_, 7);
    EXPECT_EQ(locate("other: line 7"), 5);
}

TEST_F(SourceMap, FirstEntryOfALineWinsAndUnknownFilesFail)
{
    buildWith({"$BEGIN_MODULE(main)", ";LINE(5)", "  PFX", "  CALL x", ";LINE(6)", "  NOP"});
    unsigned address = 0;
    EXPECT_EQ(compiler_.LineToAddress(source_.c_str(), 5, &address), 4);
    EXPECT_EQ(address, 0u);
    const std::string indirect = (root() / "src" / ".." / "src" / "main.asm").string();
    EXPECT_EQ(compiler_.LineToAddress(indirect.c_str(), 6, &address), 4) << "paths compare canonically";
    EXPECT_EQ(address, 2u);
    address = 77;
    EXPECT_EQ(compiler_.LineToAddress("/elsewhere/main.asm", 5, &address), 5);
    EXPECT_EQ(address, 77u);
    char* file = nullptr;
    int line = 0;
    EXPECT_EQ(compiler_.AddressToLine(1, &file, &line), 4);
    EXPECT_EQ(line, 5);
    EXPECT_EQ(compiler_.AddressToLine(3, &file, &line), 5);
}

TEST_F(SourceMap, EntriesBeforeAnyKnownModuleHaveNoFile)
{
    buildWith({"  NOP", "$BEGIN_MODULE(main)", ";LINE(1)", "  NOP"});
    char* file = nullptr;
    int line = 0;
    EXPECT_EQ(compiler_.AddressToLine(0, &file, &line), 5);
    EXPECT_EQ(compiler_.AddressToLine(1, &file, &line), 4);
}

TEST_F(SourceMap, RomAddressesAreMappedForDisplay)
{
    buildWith({"$BEGIN_MODULE(main)", ";LINE(1)", "  NOP", ";LINE(2)", "  NOP"}, 20, 0x1000);
    setMapRomAddresses(0);
    char* file = nullptr;
    int line = 0;
    ASSERT_EQ(compiler_.AddressToLine(0x8001, &file, &line), 4);
    EXPECT_EQ(line, 2);
    EXPECT_THAT(reported(), ElementsAre("Mapping ROM address:  0x8001 to 0x0001"));
    EXPECT_EQ(compiler_.AddressToLine(0x9000, &file, &line), 5) << "outside the ROM range";

    reported().clear();
    unsigned address = 0;
    ASSERT_EQ(compiler_.LineToAddress(source_.c_str(), 2, &address), 4);
    EXPECT_EQ(address, 0x8001u);
    EXPECT_THAT(reported(), ElementsAre("Mapping ROM address:  0x000001 to 0x008001"));
}

TEST_F(SourceMap, WideFamilyMapsSixDigitRomAddresses)
{
    buildWith({"$BEGIN_MODULE(main)", ";LINE(1)", "  NOP", ";LINE(2)", "  NOP"}, 30, 0x10000);
    setMapRomAddresses(0);
    char* file = nullptr;
    int line = 0;
    ASSERT_EQ(compiler_.AddressToLine(0x800001, &file, &line), 4);
    EXPECT_EQ(line, 2);
    EXPECT_THAT(reported(), ElementsAre("Mapping ROM address:  0x800001 to 0x000001"));
}

}  // namespace
}  // namespace asmtest
