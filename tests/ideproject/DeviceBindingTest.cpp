#include <QFile>
#include <QListWidget>
#include <QTimer>
#include <dlfcn.h>

#include "DeviceFixture.h"
#include "TDialogAbout.h"
#include "TDialogAddDevice.h"
#include "TDialogRemoveFiles.h"

namespace {

using platform::RegistryRoot;

bool libraryIsLoaded(const char* path)
{
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

using DeviceBindingTest = DeviceFixture;

TEST_F(DeviceBindingTest, SelectionCallsTheDeviceInTheDocumentedOrder)
{
    script_.compilers = {"QuorinAssembler", "QuorinCompiler"};
    installAndLoad({{"Fake", FAKE_DEVICE}});
    lowLevel_->setChecked(true);
    binding_->SelectDeviceByName("fake");
    EXPECT_EQ(script_.takeCalls(), std::vector<std::string>({"_GetDeviceVersion",     "_GetDeviceInstance",
                                                             "SetMessageCallback",    "SetRegistryName",
                                                             "SetDeviceMenuCallback", "SetLibraryPath",
                                                             "GetAddressBits",        "SetDebugLevel 33",
                                                             "HasFeature 24",         "HasFeature 23",
                                                             "HasFeature 35",         "HasFeature 36",
                                                             "HasFeature 37",         "HasFeature 38",
                                                             "HasFeature 25",         "HasFeature 26",
                                                             "HasFeature 29",         "HasFeature 34",
                                                             "GetHelpItems",          "GetDeviceMenuItems",
                                                             "GetCompilerList",       "SelectCompiler QuorinAssembler",
                                                             "GetSourceExtension",    "HasFeature 27",
                                                             "HasFeature 31"}));
    EXPECT_EQ(script_.registryName, "Fake");
    EXPECT_EQ(script_.libraryPath, FAKE_DEVICE);
    EXPECT_NE(binding_->device(), nullptr);
    EXPECT_EQ(binding_->deviceName(), "Fake");
    EXPECT_EQ(binding_->compilerName(), "QuorinAssembler");
    EXPECT_EQ(checkedDeviceItems(), QStringList({"Fake"}));
    EXPECT_EQ(host_.clears, 1);
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(DeviceBindingTest, TheCompilerChosenBeforeIsChosenAgainWhenOffered)
{
    script_.compilers = {"QuorinAssembler", "QuorinCompiler"};
    installAndLoad({{"Fake", FAKE_DEVICE}, {"Other", FAKE_DEVICE}});
    binding_->SelectDeviceByName("Fake");
    binding_->SelectCompilerByName("QuorinCompiler");
    binding_->SelectDeviceByName("Other");
    EXPECT_EQ(script_.selectedCompiler, "QuorinCompiler");
    EXPECT_EQ(binding_->deviceCompilerName(), "QuorinCompiler");
    EXPECT_EQ(captions(compilerMenu_), QStringList({"QuorinAssembler", "QuorinCompiler", "-", "Options..."}));
    EXPECT_TRUE(compilerMenu_.actions()[1]->isChecked());
}

TEST_F(DeviceBindingTest, ABadVersionIsRefusedAndTheOldDeviceIsGone)
{
    installAndLoad({{"Good", FAKE_DEVICE}, {"Old", FAKE_DEVICE_VERSION_13}, {"Bare", FAKE_DEVICE_NO_VERSION}});
    binding_->SelectDeviceByName("Good");
    ASSERT_NE(binding_->device(), nullptr);
    binding_->SelectDeviceByName("Old");
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "Error! - Tolvane");
    EXPECT_EQ(boxes_.boxes[0].text, "Unable to select device.\r\nIncorrect device version (13 != 14).");
    EXPECT_EQ(binding_->device(), nullptr);
    EXPECT_EQ(binding_->deviceName(), "");
    EXPECT_EQ(script_.liveDevices, 0);
    EXPECT_EQ(host_.devices.size(), 2);
    EXPECT_EQ(host_.devices.last(), nullptr);
    EXPECT_FALSE(libraryIsLoaded(FAKE_DEVICE_VERSION_13));
    EXPECT_TRUE(checkedDeviceItems().isEmpty());

    binding_->SelectDeviceByName("Bare");
    EXPECT_EQ(boxes_.boxes.back().text, "Unable to select device.\r\nIncorrect device version (0 != 14).");
    EXPECT_TRUE(checkedDeviceItems().isEmpty());
}

TEST_F(DeviceBindingTest, AnUnreadableListKeepsTheSelectedDevice)
{
    installAndLoad({{"A", FAKE_DEVICE}, {"B", FAKE_DEVICE}});
    binding_->SelectDeviceByName("A");
    // A configuration folder that is a plain file: the list cannot be opened.
    const QString blocker = folder_.filePath("blocker");
    QFile(blocker).open(QIODevice::WriteOnly);
    setenv("XDG_CONFIG_HOME", (blocker + "/inside").toLocal8Bit().constData(), 1);
    binding_->SelectDeviceByName("B");
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, "Unable to select device.\r\nCould not read registry settings.");
    EXPECT_EQ(binding_->deviceName(), "A");
    EXPECT_NE(binding_->device(), nullptr);
    EXPECT_EQ(checkedDeviceItems(), QStringList({"A"}));
}

TEST_F(DeviceBindingTest, ALibraryThatGivesNoObjectLeavesNoDeviceAndIsUnloaded)
{
    installAndLoad({{"Null", FAKE_DEVICE_NULL_INSTANCE},
                    {"NoInstance", FAKE_DEVICE_NO_INSTANCE},
                    {"NoFree", FAKE_DEVICE_NO_FREE},
                    {"Missing", "/nonexistent/libMissing.so"}});
    for (const char* name : {"Null", "NoInstance", "NoFree"}) {
        boxes_.boxes.clear();
        binding_->SelectDeviceByName(name);
        EXPECT_EQ(binding_->device(), nullptr) << name;
        ASSERT_EQ(boxes_.boxes.size(), 1u) << name;
        EXPECT_EQ(boxes_.boxes[0].text, "Unable to select device.\r\nCould not create the device object.");
        EXPECT_TRUE(checkedDeviceItems().isEmpty()) << name;
    }
    EXPECT_EQ(script_.liveDevices, 0);
    EXPECT_FALSE(libraryIsLoaded(FAKE_DEVICE_NULL_INSTANCE));
    EXPECT_FALSE(libraryIsLoaded(FAKE_DEVICE_NO_INSTANCE));
    EXPECT_FALSE(libraryIsLoaded(FAKE_DEVICE_NO_FREE));

    binding_->SelectDeviceByName("Missing");
    EXPECT_EQ(boxes_.boxes.back().text, "Unable to select device.\r\nCould not load device library.");
}

TEST_F(DeviceBindingTest, FeatureAnswersShowAndHideActionsAndCloseWindows)
{
    script_.features = {24, 35, 31};
    installAndLoad({{"Fake", FAKE_DEVICE}});
    binding_->SelectDeviceByName("Fake");
    EXPECT_TRUE(showRegisters_->isVisible());
    EXPECT_TRUE(loadProgram_->isVisible());
    EXPECT_TRUE(showWatches_->isVisible());
    EXPECT_FALSE(showMemory_->isVisible());
    EXPECT_FALSE(deviceOptions_->isVisible());
    EXPECT_FALSE(menus_.separatorA->isVisible());
    EXPECT_EQ(host_.closedWindows, QList<int>({23, 25, 26, 29, 27}));
}

TEST_F(DeviceBindingTest, MenusAreBuiltFromTheDevice)
{
    script_.features = {34};
    script_.helpItems = {"Device Manual", "Chip & Board"};
    script_.deviceMenuItems = {"Reset Target", "Link Log"};
    script_.compilers = {"QuorinAssembler"};
    installAndLoad({{"Zeta", FAKE_DEVICE}, {"alpha", FAKE_DEVICE}, {"Beta", FAKE_DEVICE}});
    binding_->SelectDeviceByName("Beta");
    EXPECT_EQ(
        captions(deviceMenu_),
        QStringList({"alpha", "Beta", "Zeta", "-", "Load...", "Verify...", "Set Stimulus File...", "Set Data File...",
                     "Options...", "-", "Reset Target", "Link Log", "-", "Install New Device...", "Remove Device..."}));
    EXPECT_TRUE(menus_.separatorB->isVisible());
    EXPECT_EQ(captions(helpMenu_), QStringList({"&Contents", "Device Manual", "Chip && Board", "-", "&About..."}));
    EXPECT_TRUE(compilerMenu_.menuAction()->isVisible());

    // Opening a menu asks again; the earlier answers are overwritten by the
    // device by then, and the menus still show the right text.
    helpMenu_.aboutToShow();
    deviceMenu_.aboutToShow();
    compilerMenu_.aboutToShow();
    EXPECT_EQ(captions(helpMenu_), QStringList({"&Contents", "Device Manual", "Chip && Board", "-", "&About..."}));
    EXPECT_EQ(captions(deviceMenu_)[10], "Reset Target");
    EXPECT_EQ(captions(compilerMenu_), QStringList({"QuorinAssembler", "-", "Options..."}));
    EXPECT_TRUE(compilerMenu_.actions()[0]->isChecked());

    helpMenu_.actions()[2]->trigger();
    deviceMenu_.actions()[11]->trigger();
    const auto calls = script_.takeCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "OpenHelpItem Chip & Board"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "RunDeviceMenuItem Link Log"), calls.end());
    EXPECT_EQ(host_.menuItemsDone, 1);

    script_.deviceMenuItems.clear();
    script_.compilers.clear();
    binding_->SelectDeviceByName("Zeta");
    EXPECT_FALSE(menus_.separatorB->isVisible());
    EXPECT_FALSE(compilerMenu_.menuAction()->isVisible());
    EXPECT_EQ(captions(compilerMenu_), QStringList({"-", "Options..."}));
}

TEST_F(DeviceBindingTest, TheFirstStartCopiesTheMachineWideList)
{
    install(RegistryRoot::LocalMachine, {{"Zern/JTAG", FAKE_DEVICE}, {"brel", FAKE_DEVICE}});
    ASSERT_TRUE(binding_->LoadDeviceList());
    EXPECT_EQ(captions(deviceMenu_).mid(0, 3), QStringList({"brel", "Zern/JTAG", "-"}));
    EXPECT_TRUE(platform::RegistryKey::exists(RegistryRoot::CurrentUser, devices::kDevicesKey));
    EXPECT_TRUE(boxes_.boxes.empty());
    binding_->SelectFirstDevice();
    EXPECT_EQ(binding_->deviceName(), "brel");

    // The name holding "/" is one device, also as the device's registry name.
    binding_->SelectDeviceByName("Zern/JTAG");
    EXPECT_EQ(script_.registryName, "Zern/JTAG");
    EXPECT_EQ(checkedDeviceItems(), QStringList({"Zern/JTAG"}));

    // Later changes go to the user's copy only.
    EXPECT_EQ(devices::installDevice("Third", FAKE_DEVICE).outcome, devices::InstallOutcome::Installed);
    auto machine = platform::RegistryKey::open(RegistryRoot::LocalMachine, devices::kDevicesKey, false);
    EXPECT_EQ(machine->valueNames().size(), 2u);
}

TEST_F(DeviceBindingTest, WithoutAnyListTheProgramMustEnd)
{
    EXPECT_FALSE(binding_->LoadDeviceList());
    ASSERT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(boxes_.boxes[0].text, "HKLM does not exist.");
    EXPECT_EQ(boxes_.boxes[1].text, "No devices found in the registry!");
}

TEST_F(DeviceBindingTest, InstallingChecksTheEntryAndKeepsTheMenuSorted)
{
    installAndLoad({{"Alpha", FAKE_DEVICE}, {"Gamma", FAKE_DEVICE}});
    using devices::InstallOutcome;
    EXPECT_EQ(devices::installDevice("", FAKE_DEVICE).outcome, InstallOutcome::AskAgain);
    EXPECT_EQ(devices::installDevice("New", "").outcome, InstallOutcome::AskAgain);
    EXPECT_EQ(devices::installDevice("New", "/nonexistent.so").outcome, InstallOutcome::AskAgain);
    EXPECT_EQ(devices::installDevice("ALPHA", FAKE_DEVICE).outcome, InstallOutcome::AskAgain);
    std::vector<std::string> texts;
    for (const auto& box : boxes_.boxes)
        texts.push_back(box.text);
    EXPECT_EQ(texts, std::vector<std::string>(
                         {"You must specify a name for the device.", "You must specify a device file.",
                          "The selected device file does not exist.", "A device already exists with this name."}));
    const auto result = devices::installDevice("beta", FAKE_DEVICE);
    EXPECT_EQ(result.outcome, InstallOutcome::Installed);
    EXPECT_EQ(result.menuIndex, 1);
    EXPECT_EQ(devices::sortedDeviceNames(), QStringList({"Alpha", "beta", "Gamma"}));
}

TEST_F(DeviceBindingTest, TheInstallDialogComesBackUntilAnEntryIsAccepted)
{
    installAndLoad({{"Alpha", FAKE_DEVICE}, {"Gamma", FAKE_DEVICE}});
    QStringList entries = {"ALPHA", "Beta"};
    std::function<void()> fill = [&] {
        auto* dialog = qobject_cast<TDialogAddDevice*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(5, fill);
            return;
        }
        EXPECT_EQ(dialog->windowTitle(), "Add Device");
        dialog->SetEntries(entries.takeFirst(), FAKE_DEVICE);
        if (!entries.isEmpty())
            QTimer::singleShot(0, fill);
        dialog->accept();
    };
    QTimer::singleShot(0, fill);
    binding_->ActionInstallDeviceExecute();
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, "A device already exists with this name.");
    EXPECT_EQ(captions(deviceMenu_).mid(0, 4), QStringList({"Alpha", "Beta", "Gamma", "-"}));
    // The new device is not selected.
    EXPECT_EQ(binding_->device(), nullptr);
}

TEST_F(DeviceBindingTest, RemovingSeveralDevicesWorksFromTheBottomUp)
{
    installAndLoad({{"A", FAKE_DEVICE}, {"B", FAKE_DEVICE}, {"C", FAKE_DEVICE}, {"D", FAKE_DEVICE}});
    binding_->SelectDeviceByName("B");
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TDialogRemoveFiles*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Remove devices");
        dialog->List()->item(1)->setSelected(true);
        dialog->List()->item(3)->setSelected(true);
        dialog->accept();
    });
    binding_->ActionRemoveDeviceExecute();
    EXPECT_EQ(captions(deviceMenu_).mid(0, 3), QStringList({"A", "C", "-"}));
    EXPECT_EQ(devices::sortedDeviceNames(), QStringList({"A", "C"}));
    // The selected device stays loaded.
    EXPECT_NE(binding_->device(), nullptr);
}

TEST_F(DeviceBindingTest, TheDeviceCanAddACheckedMenuEntry)
{
    installAndLoad({{"A", FAKE_DEVICE}, {"B", FAKE_DEVICE}});
    binding_->SelectDeviceByName("A");
    script_.menuCallback("Emulated", 1);
    EXPECT_EQ(captions(deviceMenu_).mid(0, 4), QStringList({"A", "Emulated", "B", "-"}));
    EXPECT_EQ(checkedDeviceItems(), QStringList({"Emulated"}));
    EXPECT_EQ(binding_->deviceName(), "Emulated");
}

TEST_F(DeviceBindingTest, CommandsWithoutADeviceDoNothingHarmful)
{
    binding_->ActionCompilerOptionsExecute();
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "Error");
    EXPECT_EQ(boxes_.boxes[0].text, "You must first choose a valid device.");
    EXPECT_EQ(boxes_.boxes[0].icon, platform::BoxIcon::Error);
    binding_->ActionDeviceOptionsExecute();
    binding_->MenuDeviceClick();
    binding_->MenuHelpClick();
    binding_->MenuCompilerClick();
    QString file;
    int line = 0;
    EXPECT_FALSE(binding_->LocateMessage("x", &file, &line));
    EXPECT_EQ(binding_->VersionText(), "");
}

TEST_F(DeviceBindingTest, TheAboutBoxLabelsAThreeLineVersionText)
{
    EXPECT_EQ(TDialogAbout::VersionLines("Fake 1.2\r\nServer 3\r\nBoard B"),
              QStringList({"Fake 1.2", "ICE Server Version:  Server 3", "ICE Hardware Version:  Board B"}));
    EXPECT_EQ(TDialogAbout::VersionLines("Fake 1.2\nServer 3"), QStringList({"Fake 1.2", "Server 3"}));

    script_.versionText = "Fake 1.2\nServer 3\nBoard B";
    installAndLoad({{"Fake", FAKE_DEVICE}});
    binding_->SelectDeviceByName("Fake");
    TDialogAbout about(*binding_);
    about.show();
    binding_->VersionText();  // overwrites what the About box was given
    EXPECT_EQ(about.MemoText(), "Fake 1.2\nICE Server Version:  Server 3\nICE Hardware Version:  Board B");
    EXPECT_EQ(about.DevicePanelText(), "Currently Selected Device: Fake");
}

}  // namespace
