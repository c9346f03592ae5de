#include <gtest/gtest.h>

#include "PluginFixture.h"

namespace asmtest {
namespace {

// Two sources whose paths differ in length, built through the real
// preprocessor stand-in and a listing that gives each one code address.
class HandedTexts : public PluginFixture {
protected:
    HandedTexts()
    {
        writeFile(shortSource_, "        NOP\n");
        writeFile(longSource_, "        NOP\n");
        writeFile(root() / "listing.txt",
                  listingFor({"$BEGIN_MODULE(a)", ";LINE(1)", "        NOP", "$BEGIN_MODULE(" + longStem() + ")",
                              ";LINE(1)", "        NOP", "end"}));
        scriptTool("ZernAsm", "copy .lst " + (root() / "listing.txt").string() + "\n");
        initialize();
        EXPECT_EQ(buildProject({shortSource_, longSource_}, true, root() / "proj" / "demo.prj"), 4) << allReported();
    }

    std::string longStem() const { return longSource_.stem().string(); }

    // A message about line 1 of the named module.
    char* locate(const std::string& module)
    {
        char* file = nullptr;
        int line = 0;
        const std::string message = module + ": line 1";
        EXPECT_EQ(compiler_.LocateMessage(message.c_str(), &file, &line), 4);
        return file;
    }

    char* addressLine(unsigned address)
    {
        char* file = nullptr;
        int line = 0;
        EXPECT_EQ(compiler_.AddressToLine(address, &file, &line), 4);
        return file;
    }

    fs::path shortSource_ = root() / "proj" / "a.asm";
    fs::path longSource_ = root() / "proj" / "a-source-whose-name-is-far-longer-than-the-first-one.asm";
};

TEST_F(HandedTexts, EachOperationKeepsItsOwnTextUntilItsOwnNextCall)
{
    const char* fromAddress = addressLine(0);
    EXPECT_EQ(std::string(locate(longStem())), longSource_.string());
    EXPECT_EQ(std::string(fromAddress), shortSource_.string()) << "AddressToLine's text outlived a LocateMessage";

    const char* fromMessage = locate("a");
    EXPECT_EQ(std::string(addressLine(1)), longSource_.string());
    EXPECT_EQ(std::string(fromMessage), shortSource_.string()) << "LocateMessage's text outlived an AddressToLine";
}

}  // namespace
}  // namespace asmtest
