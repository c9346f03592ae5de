// The device's help documents: which titles the "Docs" folder beside the
// plug-in offers for the configured chip, and what opening one does.

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DesktopDocuments.h"
#include "HelpDocuments.h"
#include "TestSupport.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace {

using device_tests::MessageRecorder;
namespace fs = std::filesystem;

// What the desktop was asked to open, and its answer.
std::vector<std::string> openedDocuments;
platform::DesktopOpen desktopAnswer = platform::DesktopOpen::Opened;

platform::DesktopOpen recordOpen(const std::string& path)
{
    openedDocuments.push_back(path);
    return desktopAnswer;
}

class HelpDocumentsTest : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        previousOpener_ = platform::setDocumentOpener(recordOpen);
        openedDocuments.clear();
        desktopAnswer = platform::DesktopOpen::Opened;
        fs::create_directories(folder_ / "plugin" / "Docs");
        useChip("AB");
        device_ = std::make_unique<zern::ZernDevice>(zern::kZernJtagTraits);
        device_->SetMessageCallback(&MessageRecorder::callback);
        device_->SetLibraryPath((folder_ / "plugin" / "libZernJTAG.so").c_str());
        MessageRecorder::take();
    }
    void TearDown() override
    {
        device_.reset();
        platform::setDocumentOpener(previousOpener_);
        TempFolderTest::TearDown();
    }

    void useChip(const std::string& deviceId)
    {
        setOption("ConfigFile", writeFile("chip" + deviceId + ".cfg", "[DEVICE]\n" + deviceId + "\n"));
    }
    fs::path document(const std::string& file) const { return folder_ / "plugin" / "Docs" / file; }
    void addDocument(const std::string& file) const
    {
        fs::create_directories(document(file).parent_path());
        std::ofstream(document(file)) << "document";
    }
    std::vector<std::string> titles()
    {
        char** list = nullptr;
        int count = -1;
        EXPECT_EQ(device_->GetHelpItems(&list, &count), tolvane::kStatusDone);
        return std::vector<std::string>(list, list + count);
    }

    std::unique_ptr<zern::ZernDevice> device_;
    platform::DocumentOpener previousOpener_ = nullptr;
};

TEST(ChipId, AtLeastFourUpperCaseHexDigits)
{
    const std::pair<int32_t, const char*> cases[] = {
        {0xAB, "00AB"}, {0xFFFF, "FFFF"}, {0x7100, "7100"}, {0x12ABC, "12ABC"}, {0, "0000"}};
    for (const auto& [id, text] : cases)
        EXPECT_EQ(zern::chipIdText(id), text) << id;
}

TEST_F(HelpDocumentsTest, AnEmptyDocsFolderOffersNothing)
{
    EXPECT_TRUE(titles().empty());
    fs::remove(folder_ / "plugin" / "Docs");
    device_->useConfigFile(device_->configFilePath());
    EXPECT_TRUE(titles().empty());
}

TEST_F(HelpDocumentsTest, PresentDocumentsAreListedInTableOrderForTheChip)
{
    addDocument("ZERN00AB_UG.pdf");
    EXPECT_EQ(titles(), std::vector<std::string>{"ZERN Family User's Guide: ZERN00AB Supplement"});

    for (const char* file : {"ZERN00AB-Kit.pdf", "zernug.pdf", "ZERN00AB_QuickRef/home.html", "ZernCoreAsm.pdf",
                             "GettingStartedWithTolvane.pdf", "ZERN0AB_UG.pdf", "ZERNB.pdf"})
        addDocument(file);
    // The list stays as it was built until the configuration is read again.
    EXPECT_EQ(titles().size(), 1u);
    device_->useConfigFile(device_->configFilePath());
    EXPECT_EQ(titles(),
              (std::vector<std::string>{"Getting Started with Tolvane", "ZERN Family User's Guide",
                                        "ZERN Assembly Guide", "ZERN Family User's Guide: ZERN00AB Supplement",
                                        "ZERN00AB Quick Reference", "ZERN00AB EVKit Guide"}));
}

TEST_F(HelpDocumentsTest, AnotherChipsConfigurationListsItsDocuments)
{
    addDocument("ZERN00AB_UG.pdf");
    addDocument("ZERN7100_UG.pdf");
    ASSERT_EQ(titles(), std::vector<std::string>{"ZERN Family User's Guide: ZERN00AB Supplement"});
    useChip("7100");
    device_->useConfigFile(*option("ConfigFile"));
    EXPECT_EQ(titles(), std::vector<std::string>{"ZERN Family User's Guide: ZERN7100 Supplement"});
}

TEST_F(HelpDocumentsTest, OpeningHandsTheFileToTheDesktopOrSaysWhyNot)
{
    addDocument("zernug.pdf");
    addDocument("ZERN00AB_QuickRef/home.html");
    fs::create_directories(document("ZernCoreAsm.pdf"));
    addDocument("GettingStartedWithTolvane.pdf");
    ::chmod(document("GettingStartedWithTolvane.pdf").c_str(), 0);
    struct Case {
        const char* title;
        platform::DesktopOpen answer;
        std::string opened;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"ZERN Family User's Guide", platform::DesktopOpen::Opened, document("zernug.pdf"), {}},
        {"ZERN00AB Quick Reference", platform::DesktopOpen::Opened, document("ZERN00AB_QuickRef/home.html"), {}},
        {"Not A Document", platform::DesktopOpen::Opened, "", {}},
        {"zern family user's guide", platform::DesktopOpen::Opened, "", {}},
        {"ZERN00AB EVKit Guide", platform::DesktopOpen::Opened, "", {"Unable to find help file."}},
        {"ZERN Assembly Guide", platform::DesktopOpen::Opened, "", {"Unable to open help file."}},
        {"ZERN Family User's Guide",
         platform::DesktopOpen::NoHandler,
         document("zernug.pdf"),
         {"No file association for file."}},
        {"ZERN Family User's Guide",
         platform::DesktopOpen::NoDesktop,
         document("zernug.pdf"),
         {"Unable to open help file."}},
    };
    for (const Case& c : cases) {
        openedDocuments.clear();
        desktopAnswer = c.answer;
        device_->OpenHelpItem(c.title);
        EXPECT_EQ(openedDocuments, c.opened.empty() ? std::vector<std::string>{} : std::vector{c.opened}) << c.title;
        EXPECT_EQ(MessageRecorder::take(), c.messages) << c.title;
    }
    // Permissions do not hold the superuser back.
    if (::geteuid() != 0) {
        openedDocuments.clear();
        device_->OpenHelpItem("Getting Started with Tolvane");
        EXPECT_TRUE(openedDocuments.empty());
        EXPECT_EQ(MessageRecorder::take(), std::vector<std::string>{"Unable to access help file."});
    }
}

}  // namespace
