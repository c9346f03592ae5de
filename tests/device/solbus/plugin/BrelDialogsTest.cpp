// ZernBrel's Options dialog and Solbus Tool as a user drives them, headless:
// the options key they read and write, the tool's buttons on the wire, and
// both reached through the device as the IDE reaches them.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "ChipSolbusEmulator.h"
#include "DialogBorderCheck.h"
#include "MessageBoxes.h"
#include "ModalSteps.h"
#include "Registry.h"
#include "SolbusOpenLink.h"
#include "SolbusTestSupport.h"
#include "TDialogSerialSelector.h"
#include "TOKRightDlg.h"
#include "TestSupport.h"
#include "ZernBrelTraits.h"
#include "ZernDevice.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
using zernbrel::TDialogSerialSelector;
using zernbrel::TOKRightDlg;

const std::string kOptionsKey = "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNBRELOptions\\";

QPushButton* buttonOf(QWidget* dialog, const char* caption)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == QLatin1String(caption))
            return button;
    ADD_FAILURE() << "no button " << caption;
    return nullptr;
}

template <typename Widget>
Widget* childOf(QWidget* dialog, const char* name)
{
    auto* child = dialog->findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Acts on the modal dialog of the given kind once it shows.
template <typename Dialog>
void whenShown(const std::function<void(Dialog*)>& act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

class BrelDialogsTest : public device_tests::TempFolderTest {
protected:
    std::unique_ptr<RegistryKey> options() const
    {
        return RegistryKey::open(RegistryRoot::CurrentUser, kOptionsKey, true);
    }
};

TEST_F(BrelDialogsTest, OptionsOfferThePortListOfEveryPluginAndStoreOnlyComPortsAndPaths)
{
    struct Case {
        const char* name;
        std::optional<std::string> stored;
        QString typed;
        bool accept;
        QString shown;
        std::optional<std::string> afterwards;
    };
    const Case cases[] = {
        {"a port beyond the list", "COM7", "", true, "COM7", "COM7"},
        {"no port stored", std::nullopt, "", true, "COM1", "COM1"},
        {"an empty port", "", "", false, "COM1", ""},
        {"a port of this machine", "/dev/ttyUSB0", "", true, "/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"a name the adapter layer does not take", "COM2", "usb1", true, "COM2", "COM2"},
        {"a port in lower case", "COM2", "com3", true, "COM2", "com3"},
        {"a device path", "COM2", "/dev/ttyACM3", true, "COM2", "/dev/ttyACM3"},
        {"cancelled", "COM2", "COM4", false, "COM2", "COM2"},
    };
    // The machine's ports follow the four COM names; /dev/ttyS0 is COM1 already.
    const QStringList offered = {"COM1", "COM2", "COM3", "COM4", "/dev/ttyUSB0", "/dev/ttyS4"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegistryKey::remove(RegistryRoot::CurrentUser, kOptionsKey);
        if (c.stored)
            options()->writeString("SerialPort", *c.stored);
        TDialogSerialSelector dialog(kOptionsKey);
        dialog.presentPorts = [] { return std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS4"}; };
        dialog.show();
        auto* combo = childOf<QComboBox>(&dialog, "ComboBox");
        EXPECT_EQ(combo->currentText(), c.shown);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, c.stored == "COM7" ? offered + QStringList{"COM7"} : offered);
        if (!c.typed.isEmpty())
            typeInto(combo, c.typed);
        c.accept ? dialog.accept() : dialog.reject();
        const auto key = RegistryKey::open(RegistryRoot::CurrentUser, kOptionsKey, false);
        EXPECT_EQ(key ? key->readString("SerialPort") : std::nullopt, c.afterwards);
    }
}

TEST_F(BrelDialogsTest, TestModeIsOfferedOnlyWhereTheOptionsAllowIt)
{
    {
        TDialogSerialSelector dialog(kOptionsKey);
        dialog.show();
        EXPECT_FALSE(childOf<QCheckBox>(&dialog, "CheckBoxTest")->isVisible());
        dialog.accept();
        EXPECT_FALSE(options()->hasValue("DoTest"));
    }
    options()->writeString("AllowTestMode", "");
    options()->writeBool("DoTest", true);
    TDialogSerialSelector dialog(kOptionsKey);
    dialog.show();
    auto* test = childOf<QCheckBox>(&dialog, "CheckBoxTest");
    EXPECT_TRUE(test->isVisible());
    EXPECT_TRUE(test->isChecked());
    test->setChecked(false);
    dialog.accept();
    EXPECT_EQ(options()->readBool("DoTest"), false);
}

class LinkedDialogsTest : public BrelDialogsTest {
protected:
    void SetUp() override
    {
        BrelDialogsTest::SetUp();
        solbus::resetSolbus();
        port_ = zern::OpenLink(emulator_.devicePath(), false, [](const std::string&) {});
        ASSERT_GE(port_, 0);
        emulator_.adapter().clearReceived();
    }
    void TearDown() override
    {
        solbus::resetSolbus();
        BrelDialogsTest::TearDown();
    }
    // Types into the field, clicks the button, and gives what went on the wire.
    std::string press(TOKRightDlg& dialog, const char* caption, const char* field = nullptr, const char* text = "")
    {
        if (field)
            childOf<QLineEdit>(&dialog, field)->setText(QLatin1String(text));
        emulator_.adapter().clearReceived();
        buttonOf(&dialog, caption)->click();
        return emulator_.adapter().receivedHex();
    }
    static QString fieldOf(TOKRightDlg& dialog, const char* name) { return childOf<QLineEdit>(&dialog, name)->text(); }
    // A device object's link goes to the emulated bus.
    void linkDevice()
    {
        solbus::resetSolbus();
        options()->writeString("ConfigFile", writeFile("chip.cfg", "[STARTUP DELAY]\n200\n"));
        options()->writeString("SerialPort", emulator_.devicePath());
    }

    testing_support::ChipSolbusEmulator emulator_;
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes scopedBoxes_{boxes_};
    int port_ = -1;
};

TEST_F(LinkedDialogsTest, EachButtonDrivesTheBusOrTheDebugPort)
{
    TOKRightDlg dialog(port_);
    EXPECT_EQ(dialog.windowTitle(), "Solbus Tool");
    EXPECT_EQ(fieldOf(dialog, "Edit3"), "3C");
    EXPECT_EQ(fieldOf(dialog, "Edit2"), "0001");
    EXPECT_EQ(fieldOf(dialog, "Edit8"), "01");

    EXPECT_EQ(press(dialog, "Touch Reset"), "E3C9");
    EXPECT_TRUE(boxes_.boxes.empty());
    EXPECT_EQ(press(dialog, "Write Byte"), "E13C");
    EXPECT_EQ(press(dialog, "Write Control", "Edit1", "0109"), "D20901");
    EXPECT_EQ(emulator_.debugPort().controlWord(), 0x0109);
    EXPECT_EQ(press(dialog, "Read Control", "Edit1", "0"), "E1FFFF");
    EXPECT_EQ(fieldOf(dialog, "Edit1"), "0109");
    EXPECT_EQ(press(dialog, "Write Test", "Edit2", "abcd"), "0FCDAB");
    EXPECT_EQ(press(dialog, "Read Test", "Edit2", ""), "AAFFFF");
    EXPECT_EQ(fieldOf(dialog, "Edit2"), "ABCD");
    EXPECT_EQ(press(dialog, "Write Test Byte", "Edit8", "FF"), "77FF");
    EXPECT_EQ(emulator_.debugPort().testByte(), 0xFF);
    childOf<QLineEdit>(&dialog, "Edit5")->setText("3");
    childOf<QLineEdit>(&dialog, "Edit6")->setText("12");
    EXPECT_EQ(press(dialog, "Write Reg", "Edit7", "5566"), "2D242D232D012D662D55");

    // A register read: the command, then reply pairs until two carry data.
    emulator_.chip().setHalted(true);
    emulator_.chip().setRegister(8, 0, 0x0A0B);
    childOf<QLineEdit>(&dialog, "Edit5")->setText("8");
    EXPECT_EQ(press(dialog, "Read Reg", "Edit6", "0"), "2D292D082D00" + solbus_tests::repeatHex("22FFFF", 3));
    EXPECT_EQ(fieldOf(dialog, "Edit7"), "0A0B");
    // The status pair reads as a word: data low, status high (1: halted).
    EXPECT_EQ(press(dialog, "Read Status"), "22FFFF");
    EXPECT_EQ(fieldOf(dialog, "Edit4"), "0100");
    EXPECT_EQ(press(dialog, "Write Status", "Edit4", "0000"), "2D0000");
}

TEST_F(LinkedDialogsTest, FieldsThatAreNotAValueOfTheirWidthSendNothingAndSaySo)
{
    TOKRightDlg dialog(port_);
    const struct {
        const char* button;
        const char* field;
        const char* text;
    } writes[] = {{"Write Byte", "Edit3", "3G"},
                  {"Write Control", "Edit1", "0x12"},
                  {"Write Test", "Edit2", ""},
                  {"Write Test Byte", "Edit8", "-1"},
                  {"Write Status", "Edit4", "123456789"},
                  {"Write Reg", "Edit7", "zz"},
                  // Too wide for the byte or word the field sends: never cut to fit.
                  {"Write Byte", "Edit3", "1FF"},
                  {"Write Test Byte", "Edit8", "100"},
                  {"Write Control", "Edit1", "10000"},
                  {"Write Test", "Edit2", "1ABCD"},
                  {"Write Status", "Edit4", "FFFFF"},
                  {"Write Reg", "Edit7", "12345"},
                  // A register command carries the module in four bits, the index in eight.
                  {"Write Reg", "Edit5", "10"},
                  {"Read Reg", "Edit6", "100"}};
    for (const auto& write : writes) {
        SCOPED_TRACE(std::string(write.button) + " " + write.text);
        childOf<QLineEdit>(&dialog, "Edit5")->setText("3");
        childOf<QLineEdit>(&dialog, "Edit6")->setText("12");
        childOf<QLineEdit>(&dialog, "Edit7")->setText("5566");
        typeInto(childOf<QLineEdit>(&dialog, write.field), QLatin1String(write.text));
        emulator_.adapter().clearReceived();
        QTest::mouseClick(buttonOf(&dialog, write.button), Qt::LeftButton);
        EXPECT_EQ(emulator_.adapter().receivedHex(), "");
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_EQ(boxes_.boxes[0].text, std::string(write.text) + " is not a valid value.");
        boxes_.boxes.clear();
    }
    EXPECT_EQ(fieldOf(dialog, "Edit7"), "Err");
}

TEST_F(LinkedDialogsTest, WithoutALinkOrWhenTransfersFailTheToolShowsTheFailure)
{
    TOKRightDlg unlinked(-1);
    EXPECT_EQ(press(unlinked, "Read Control", "Edit1", "1234"), "");
    EXPECT_EQ(fieldOf(unlinked, "Edit1"), "0000");
    EXPECT_EQ(press(unlinked, "Read Byte"), "");
    EXPECT_EQ(fieldOf(unlinked, "Edit3"), "00");
    EXPECT_EQ(press(unlinked, "Read Reg"), "");
    EXPECT_EQ(fieldOf(unlinked, "Edit7"), "Err");
    EXPECT_EQ(press(unlinked, "Write Control"), "");
    EXPECT_EQ(press(unlinked, "Touch Reset"), "");
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, "Failed to get presence pulse");

    // A line gone silent: the read shows 0.
    TOKRightDlg dialog(port_);
    testing_support::AdapterFaults silent;
    silent.silent = true;
    emulator_.adapter().setFaults(silent);
    press(dialog, "Read Test", "Edit2", "1234");
    EXPECT_EQ(fieldOf(dialog, "Edit2"), "0000");
}

TEST_F(LinkedDialogsTest, TheDeviceMenuOpensTheToolOnTheOpenLink)
{
    linkDevice();
    zern::ZernDevice device(zern::kZernBrelTraits);
    ASSERT_EQ(device.ClearAllBreakpoints(), tolvane::kStatusDone);
    QString control;
    whenShown<TOKRightDlg>([&](TOKRightDlg* dialog) {
        expectDialogBorder(*dialog, false);
        childOf<QLineEdit>(dialog, "Edit1")->setText("0000");
        buttonOf(dialog, "Read Control")->click();
        control = childOf<QLineEdit>(dialog, "Edit1")->text();
        dialog->close();
    });
    device.RunDeviceMenuItem("Solbus Tool");
    EXPECT_EQ(control.toUInt(nullptr, 16), emulator_.debugPort().controlWord());
    EXPECT_NE(control, "0000");

    // The data breakpoint dialog every ZERN plug-in shares sets it on the open link.
    whenShown<QDialog>([](QDialog* dialog) {
        expectDialogBorder(*dialog, false);
        dialog->findChildren<QRadioButton*>().at(1)->setChecked(true);
        dialog->findChild<QLineEdit*>()->setText("0x1234");
        dialog->accept();
    });
    device.RunDeviceMenuItem("Set Data Breakpoint");
    EXPECT_EQ(emulator_.chip().dataBreakpoints()[1], 0x1234u);
}

TEST_F(LinkedDialogsTest, AcceptedOptionsDropTheLinkAndReadTheNamedConfiguration)
{
    linkDevice();
    const std::string configuration = writeFile("other.cfg", "[PROCESSOR_FAMILY]\n30\n");
    zern::ZernDevice device(zern::kZernBrelTraits);
    ASSERT_EQ(device.ClearAllBreakpoints(), tolvane::kStatusDone);
    whenShown<TDialogSerialSelector>([&](TDialogSerialSelector* dialog) {
        EXPECT_EQ(childOf<QLineEdit>(dialog, "EditConfigFile")->text().toStdString(), device.configFilePath());
        expectDialogBorder(*dialog, false);
        dialog->reject();
    });
    EXPECT_FALSE(device.ShowDeviceOptions(nullptr));
    EXPECT_TRUE(device.linkOpen());
    whenShown<TDialogSerialSelector>([&](TDialogSerialSelector* dialog) {
        childOf<QLineEdit>(dialog, "EditConfigFile")->setText(QString::fromStdString(configuration));
        buttonOf(dialog, "OK")->click();
    });
    EXPECT_TRUE(device.ShowDeviceOptions(nullptr));
    EXPECT_FALSE(device.linkOpen());
    EXPECT_EQ(device.configFilePath(), configuration);
    EXPECT_EQ(device.config().processorFamily, 30);
    EXPECT_EQ(options()->readString("ConfigFile"), configuration);
}

}  // namespace
