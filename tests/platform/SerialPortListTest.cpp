#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "SerialPortList.h"

namespace {

TEST(SerialPortList, UsbModemAndUartPortsInNumberOrderWithoutAbsentUarts)
{
    QTemporaryDir root;
    const std::filesystem::path dev = root.filePath(QStringLiteral("dev")).toStdString();
    const std::filesystem::path tty = root.filePath(QStringLiteral("tty")).toStdString();
    std::filesystem::create_directories(dev);
    for (const char* name : {"ttyUSB10", "ttyUSB1", "ttyUSB0", "ttyACM0", "ttyS12", "ttyS1", "ttyS0", "tty0", "ttySAC0",
                             "console", "ttyUSB"})
        std::ofstream(dev / name) << "";
    // ttyS1 has no UART behind it; ttyS12 has no class entry at all.
    for (const auto& [name, type] : {std::pair{"ttyS0", "4"}, std::pair{"ttyS1", "0"}}) {
        std::filesystem::create_directories(tty / name);
        std::ofstream(tty / name / "type") << type << "\n";
    }
    const auto found = platform::presentSerialPorts(dev.string(), tty.string());
    std::vector<std::string> expected;
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS12"})
        expected.push_back((dev / name).string());
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(platform::presentSerialPorts((dev / "missing").string(), tty.string()).empty());
}

}  // namespace
