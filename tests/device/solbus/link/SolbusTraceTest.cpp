// The trace file of the Solbus link, byte for byte: its headings with their
// time stamps, the dumps and where their lines break, the masked passwords,
// and a file started afresh only once per process.

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "LinkTestSupport.h"

namespace {

using device_tests::MessageRecorder;
using solbus_tests::SolbusLinkTest;
using Lines = std::vector<std::string>;

std::string contentOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

const std::string kTime = "1700000000:250 ";
const std::string kBreak = "\r\n                 ";

// A debug command and the bytes read back, under their two headings.
std::string frame(const std::string& dump)
{
    return kTime + "BREL Write: W: " + dump + "\r\n" + kTime + "           R: " + dump + "\r\n";
}

class SolbusTraceTest : public SolbusLinkTest {
protected:
    void SetUp() override
    {
        SolbusLinkTest::SetUp();
        config_.debugTrace = 1;
        std::ofstream(tracePath_) << "left from an earlier run";
    }
};

TEST_F(SolbusTraceTest, EveryExchangeIsTracedUnderItsHeading)
{
    connect();
    ASSERT_TRUE(driver_->haltTarget());
    const std::string password = "2d 28 " + solbus_tests::repeatHex("2d xx ", 15) + kBreak
                                 + solbus_tests::repeatHex("2d xx ", 16) + kBreak + "2d xx ";
    const std::string halt =
        // Bits 0x09 set, bit 8 cleared, the break and its status.
        kTime + "Read Ctl:     00 00 \r\n" + kTime + "Write Ctl: W: d2 09 00 R: d2 09 00 \r\n" + kTime
        + "Read Ctl:     09 00 \r\n" + kTime + "Write Ctl: W: d2 09 00 R: d2 09 00 \r\n" + frame("2d 1f ") + kTime
        + "Poll Status:  22 00 01 \r\n\r\n"
        // The context step: the password kept out, flags register 8.0 read
        // back in two rounds (the first pair is the engine's latency).
        + frame(password) + frame("2d 29 2d 08 2d 00 ") + kTime + "Read Fill: W: 22 ff ff 22 ff ff \r\n" + kTime
        + "           R: 22 00 10 22 00 03 \r\n" + kTime + "Read Fill: W: 22 ff ff \r\n" + kTime
        + "           R: 22 00 03 \r\n";
    EXPECT_EQ(contentOf(tracePath_), halt);

    // The dump of the registers is framed by two lines of its own.
    std::array<int32_t, zern::kRegisterCount> registers{};
    ASSERT_TRUE(driver_->readAllRegisters(registers));
    const std::string afterHalt = contentOf(tracePath_).substr(halt.size());
    EXPECT_EQ(afterHalt.rfind("ReadAllRegisters\r\n" + frame("2d 21 "), 0), 0u);
    EXPECT_EQ(afterHalt.substr(afterHalt.size() - 22), "End ReadAllRegisters\r\n");

    // A new link appends to the trace of this process.
    driver_.reset();
    connect();
    ASSERT_TRUE(driver_->enterLoader(false));
    driver_.reset();
    EXPECT_EQ(contentOf(tracePath_).substr(halt.size() + afterHalt.size()),
              kTime + "RESET\r\n" + kTime + "Write Byte: 3c \r\n" + kTime + "Write Ctl: W: d2 00 01 R: d2 00 01 \r\n"
                  + kTime + "Read Ctl:     00 01 \r\n" + kTime + "Write Ctl: W: d2 40 01 R: d2 40 01 \r\n" + kTime
                  + "Write Ctl: W: d2 00 01 R: d2 00 01 \r\n" + kTime + "Write Ctl: W: d2 09 00 R: d2 09 00 \r\n"
                  + kTime + "Brel Read:     03 3e \r\n\r\n");
}

TEST_F(SolbusTraceTest, NothingIsTracedUnlessTheConfigurationAsksForIt)
{
    config_.debugTrace = 0;
    start();
    EXPECT_EQ(contentOf(tracePath_), "left from an earlier run");
}

TEST_F(SolbusTraceTest, ATraceFileThatCannotBeOpenedIsToldOnceAndTheLinkGoesOnWithout)
{
    const std::string folder = tracePath_ + "-folder";
    std::filesystem::create_directory(folder);
    const std::string fifo = folder + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Someone reads the FIFO, so that opening it would not even wait.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const std::pair<std::string, std::string> cases[] = {
        {fifo, "not a regular file"},
        {folder, "not a regular file"},
        {folder + "/missing/breldebug.txt", "No such file or directory"},
    };
    for (const auto& [path, why] : cases) {
        SCOPED_TRACE(path);
        solbus::SolbusTrace trace(path);
        connect({}, &trace);
        EXPECT_EQ(MessageRecorder::take(), Lines{"Unable to open trace file " + path + ": " + why + "."});
        ASSERT_EQ(driver_->initializeTarget(), zern::kLinkDone);
        EXPECT_TRUE(MessageRecorder::take().empty());
        EXPECT_FALSE(trace.isOpen());
        driver_.reset();
    }
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);
    std::filesystem::remove_all(folder);
}

TEST_F(SolbusTraceTest, DumpsBreakTheirLineAfterEveryThirtySecondByteOfAHeading)
{
    // A status poll of many groups: the break falls inside the eleventh group.
    connect();
    solbus::DebugTransport transport(driver_->port(), &trace_);
    EXPECT_FALSE(transport.WaitDebugStatus(7, 11));
    std::string polls;
    for (int group = 0; group < 11; ++group)
        polls += group == 10 ? "22 00 " + kBreak + "00 \r\n" : "22 00 00 \r\n";
    EXPECT_EQ(contentOf(tracePath_), kTime + "Poll Status:  " + polls + "\r\n");
}

}  // namespace
