// ZernJTAG's Options, Data BP and Debug Log dialogs, filled in and closed as a
// user would, over the board emulator with the chip model behind it.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <fstream>
#include <sstream>

#include "ChipBoardEmulator.h"
#include "DialogBorderCheck.h"
#include "JtagDialogTraits.h"
#include "MessageBoxes.h"
#include "ModalSteps.h"
#include "TDialogDataBP.h"
#include "TDialogDebugState.h"
#include "TDialogSerialSelector.h"
#include "TestSupport.h"
#include "TrafficLog.h"
#include "ZernDevice.h"

namespace {

using device_tests::MessageRecorder;
using zern::TDialogDataBP;
using zern::TDialogDebugState;
using zern::TDialogSerialSelector;

class JtagDialogs : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        savedHome_ = qgetenv("HOME");
        qputenv("HOME", folder_.c_str());
        setOption("ConfigFile", writeFile("chip.cfg",
                                          "[PROCESSOR_FAMILY]\n20\n[EXPECTED ERASE TIME]\n5\n"
                                          "[STARTUP DELAY]\n200\n[JTAG CLOCK]\n100\n"));
        setOption("SerialPort", board_.devicePath());
        device_ = std::make_unique<zern::ZernDevice>(zern::zernJtagTraitsWithDialogs());
        device_->SetMessageCallback(&MessageRecorder::callback);
        device_->setLinkTiming(device_tests::quickLinkTiming());
        MessageRecorder::take();
    }
    void TearDown() override
    {
        device_.reset();
        qputenv("HOME", savedHome_);
        TempFolderTest::TearDown();
    }

    std::vector<std::string> boxTexts()
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes_.boxes)
            texts.push_back(box.text);
        boxes_.boxes.clear();
        return texts;
    }
    std::string fileText(const std::string& name) const
    {
        std::ifstream file(folder_ / name, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
    // Some traffic on the link: the program counter is read.
    void someTraffic()
    {
        int pc = 0;
        ASSERT_EQ(device_->GetProgramCounter(&pc), tolvane::kStatusDone);
    }

    testing_support::ChipBoardEmulator board_;
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes scopedBoxes_{boxes_};
    std::unique_ptr<zern::ZernDevice> device_;
    QByteArray savedHome_;
};

TEST_F(JtagDialogs, OptionsRefuseAClockOutsideOneTo200AndTakeTheEnds)
{
    struct Case {
        const char* clock;
        bool accepted;
    };
    const Case cases[] = {{"0", false}, {"201", false}, {"abc", false}, {"1", true}, {"200", true}};
    for (const Case& c : cases) {
        bool stayedOpen = false;
        onNextDialog<TDialogSerialSelector>([&](TDialogSerialSelector& dialog) {
            typeInto(dialog.EditClockRate, QString::fromLatin1(c.clock));
            press(dialog.ButtonOK);
            stayedOpen = dialog.isVisible();
            if (stayedOpen)
                press(dialog.ButtonCancel);
        });
        EXPECT_EQ(device_->ShowDeviceOptions(nullptr), c.accepted) << c.clock;
        EXPECT_EQ(stayedOpen, !c.accepted) << c.clock;
        EXPECT_EQ(boxTexts(), c.accepted ? std::vector<std::string>{}
                                         : std::vector<std::string>{"JTAG Clock Rate must be between 1 and 200 kHz."})
            << c.clock;
        if (c.accepted) {
            EXPECT_EQ(device_->config().jtagClockKHz, std::atoi(c.clock));
        }
    }
}

TEST_F(JtagDialogs, OptionsShowTheStoredPortTheConfigurationAndTheClockInForce)
{
    setOption("SerialPort", "/dev/ttyUSB7");
    QStringList items;
    QString selected;
    QString configFile;
    QString clock;
    QString caption;
    onNextDialog<TDialogSerialSelector>([&](TDialogSerialSelector& dialog) {
        caption = dialog.windowTitle();
        expectDialogBorder(dialog, false);
        for (int i = 0; i < dialog.ComboBox->count(); ++i)
            items << dialog.ComboBox->itemText(i);
        selected = dialog.ComboBox->currentText();
        configFile = dialog.EditConfigFile->text();
        clock = dialog.EditClockRate->text();
        press(dialog.ButtonCancel);
    });
    EXPECT_FALSE(device_->ShowDeviceOptions(nullptr));
    EXPECT_EQ(caption, "Options");
    ASSERT_GE(items.size(), 5);
    EXPECT_EQ(items.mid(0, 4), (QStringList{"COM1", "COM2", "COM3", "COM4"}));
    EXPECT_EQ(items.last(), "/dev/ttyUSB7");
    EXPECT_EQ(selected, "/dev/ttyUSB7");
    EXPECT_EQ(configFile.toStdString(), (folder_ / "chip.cfg").string());
    EXPECT_EQ(clock, "100");

    setOption("SerialPort", "COM3");
    onNextDialog<TDialogSerialSelector>([&](TDialogSerialSelector& dialog) {
        selected = dialog.ComboBox->currentText();
        press(dialog.ButtonCancel);
    });
    device_->ShowDeviceOptions(nullptr);
    EXPECT_EQ(selected, "COM3");
}

TEST_F(JtagDialogs, OkStoresAPortNameDropsTheLinkRereadsTheConfigurationAndTakesTheClock)
{
    ASSERT_TRUE(device_->EnsureConnected());
    const std::string other = writeFile("other.cfg", "[JTAG CLOCK]\n50\n[STACK_DEPTH]\n9\n");
    onNextDialog<TDialogSerialSelector>([&](TDialogSerialSelector& dialog) {
        dialog.DialogBrowse = [&] { return QString::fromStdString(other); };
        press(dialog.ButtonBrowse);
        typeInto(dialog.ComboBox, QStringLiteral("usb1"));
        typeInto(dialog.EditClockRate, QStringLiteral("150"));
        press(dialog.ButtonOK);
    });
    ASSERT_TRUE(device_->ShowDeviceOptions(nullptr));
    EXPECT_EQ(option("SerialPort"), board_.devicePath());
    EXPECT_FALSE(device_->linkOpen());
    EXPECT_EQ(device_->configFilePath(), other);
    EXPECT_EQ(option("ConfigFile"), other);
    EXPECT_EQ(device_->config().stackDepth, 9);
    EXPECT_EQ(device_->config().jtagClockKHz, 150);

    // Browsing and cancelling leaves the file as it was.
    onNextDialog<TDialogSerialSelector>([&](TDialogSerialSelector& dialog) {
        dialog.DialogBrowse = [] { return QString(); };
        press(dialog.ButtonBrowse);
        EXPECT_EQ(dialog.EditConfigFile->text().toStdString(), other);
        typeInto(dialog.ComboBox, QStringLiteral("/dev/ttyACM3"));
        press(dialog.ButtonOK);
    });
    ASSERT_TRUE(device_->ShowDeviceOptions(nullptr));
    EXPECT_EQ(option("SerialPort"), "/dev/ttyACM3");
}

TEST_F(JtagDialogs, BrowseOffersConfigurationFilesInTheFileDialogOfThePlatform)
{
    QString caption;
    QStringList filters;
    onNextDialog<TDialogSerialSelector>([&](TDialogSerialSelector& options) {
        onNextDialog<QFileDialog>([&](QFileDialog& files) {
            caption = files.windowTitle();
            filters = files.nameFilters();
            // It keeps the size the user gives it.
            expectDialogBorder(files, true);
            files.reject();
        });
        press(options.ButtonBrowse);
        press(options.ButtonCancel);
    });
    device_->ShowDeviceOptions(nullptr);
    EXPECT_EQ(caption, "Select Configuration File");
    EXPECT_EQ(filters, (QStringList{"Tolvane Configuration Files (*.cfg)", "All Files (*)"}));
}

TEST_F(JtagDialogs, DataBreakpointActsOnlyWhileTheLinkIsOpen)
{
    bool shown = false;
    const QPointer<QTimer> step = onNextDialog<TDialogDataBP>([&](TDialogDataBP& dialog) {
        shown = true;
        press(dialog.CancelBtn);
    });
    device_->RunDeviceMenuItem("Set Data Breakpoint");
    delete step.data();
    EXPECT_FALSE(shown);
    EXPECT_EQ(MessageRecorder::take(), std::vector<std::string>{"Set Data Breakpoint: the target is not connected."});
    EXPECT_FALSE(device_->linkOpen());
}

TEST_F(JtagDialogs, DataBreakpointSetsTheChosenBreakpointToTheAddress)
{
    ASSERT_TRUE(device_->EnsureConnected());
    struct Case {
        bool second;
        const char* address;
        bool ok;
        std::array<std::optional<uint32_t>, 2> expected;
    };
    const Case cases[] = {
        {false, "0x1234", true, {0x1234u, std::nullopt}},   {true, "4660", true, {0x1234u, 0x1234u}},
        {true, "0xFFFFFFFF", true, {0x1234u, 0xFFFFFFFFu}}, {false, "0x20", false, {0x1234u, 0xFFFFFFFFu}},
        {false, "here", true, {0x1234u, 0xFFFFFFFFu}},
    };
    for (const Case& c : cases) {
        onNextDialog<TDialogDataBP>([&](TDialogDataBP& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Data BP");
            expectDialogBorder(dialog, false);
            tick((c.second ? dialog.RadioButton2 : dialog.RadioButton1), true);
            typeInto(dialog.Edit1, QString::fromLatin1(c.address));
            press((c.ok ? dialog.OKBtn : dialog.CancelBtn));
        });
        device_->RunDeviceMenuItem("Set Data Breakpoint");
        EXPECT_EQ(board_.chip().dataBreakpoints(), c.expected) << c.address;
    }
    // The dialog shows what was last accepted.
    bool second = false;
    QString address;
    onNextDialog<TDialogDataBP>([&](TDialogDataBP& dialog) {
        second = dialog.RadioButton2->isChecked();
        address = dialog.Edit1->text();
        press(dialog.CancelBtn);
    });
    device_->RunDeviceMenuItem("Set Data Breakpoint");
    EXPECT_FALSE(second);
    EXPECT_EQ(address, "here");
}

TEST_F(JtagDialogs, DebugLogStartsStopsAndClearsTheTrafficLog)
{
    ASSERT_TRUE(device_->EnsureConnected());
    auto& log = dynamic_cast<zern::TrafficLog&>(device_->trafficLog());
    const QString logFile = QString::fromStdString((folder_ / "debug.txt").string());

    // Off: the file name and Start; the default file is in the home folder.
    onNextDialog<TDialogDebugState>([&](TDialogDebugState& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Debug Log");
        expectDialogBorder(dialog, false);
        EXPECT_EQ(dialog.EditName->text(), QDir::home().filePath("jtag_debug.txt"));
        EXPECT_FALSE(dialog.EditName->isHidden());
        EXPECT_FALSE(dialog.LabelName->isHidden());
        EXPECT_TRUE(dialog.ButtonClear->isHidden());
        EXPECT_EQ(dialog.ButtonOK->text(), "Start");
        EXPECT_TRUE(dialog.CheckBoxRead->isChecked());
        EXPECT_TRUE(dialog.CheckBoxWrite->isChecked());
        typeInto(dialog.EditName, logFile);
        tick(dialog.CheckBoxRead, false);
        press(dialog.ButtonOK);
    });
    device_->RunDeviceMenuItem("JTAG Debug Log");
    ASSERT_TRUE(log.isOpen());
    EXPECT_FALSE(log.logReads);
    someTraffic();
    EXPECT_NE(fileText("debug.txt").find("W: "), std::string::npos);
    EXPECT_EQ(fileText("debug.txt").find("R: "), std::string::npos);

    // On: Stop and Clear Log. Clear empties the file; later traffic goes on into it.
    onNextDialog<TDialogDebugState>([&](TDialogDebugState& dialog) {
        EXPECT_TRUE(dialog.EditName->isHidden());
        EXPECT_TRUE(dialog.LabelName->isHidden());
        EXPECT_FALSE(dialog.ButtonClear->isHidden());
        EXPECT_EQ(dialog.ButtonOK->text(), "Stop");
        EXPECT_FALSE(dialog.CheckBoxRead->isChecked());
        press(dialog.ButtonClear);
        EXPECT_EQ(fileText("debug.txt"), "");
        EXPECT_EQ(dialog.ButtonOK->text(), "Stop");
        press(dialog.ButtonCancel);
    });
    device_->RunDeviceMenuItem("JTAG Debug Log");
    ASSERT_TRUE(log.isOpen());
    someTraffic();
    const std::string afterClear = fileText("debug.txt");
    EXPECT_EQ(afterClear.rfind("W: ", 0), 0u);

    // Stop closes it: nothing more reaches the file.
    onNextDialog<TDialogDebugState>([&](TDialogDebugState& dialog) {
        tick(dialog.CheckBoxRead, true);
        press(dialog.ButtonOK);
    });
    device_->RunDeviceMenuItem("JTAG Debug Log");
    EXPECT_FALSE(log.isOpen());
    EXPECT_TRUE(log.logReads);
    someTraffic();
    EXPECT_EQ(fileText("debug.txt"), afterClear);
    EXPECT_TRUE(boxTexts().empty());
}

TEST_F(JtagDialogs, ALogFileThatCannotBeOpenedLeavesLoggingOff)
{
    for (const std::string& name : {std::string(), folder_.string(), (folder_ / "missing" / "log.txt").string()}) {
        onNextDialog<TDialogDebugState>([&](TDialogDebugState& dialog) {
            typeInto(dialog.EditName, QString::fromStdString(name));
            press(dialog.ButtonOK);
        });
        device_->RunDeviceMenuItem("JTAG Debug Log");
        EXPECT_FALSE(device_->trafficLog().isOpen()) << name;
        EXPECT_EQ(boxTexts(), std::vector<std::string>{"Unable to open log file."}) << name;
    }
    // A bare name is a file in the home folder.
    onNextDialog<TDialogDebugState>([&](TDialogDebugState& dialog) {
        typeInto(dialog.EditName, QStringLiteral("bare.txt"));
        press(dialog.ButtonOK);
    });
    device_->RunDeviceMenuItem("JTAG Debug Log");
    EXPECT_TRUE(device_->trafficLog().isOpen());
    EXPECT_TRUE(std::filesystem::exists(folder_ / "bare.txt"));
}

}  // namespace
