// A reply that comes after its deadline must not shift the replies after
// it: the link drains what is pending before its next record.

#include <gtest/gtest.h>

#include "ChipBoardEmulator.h"
#include "JtagDriver.h"
#include "OpenLink.h"
#include "TestSupport.h"

namespace {

using device_tests::MessageRecorder;
using testing_support::ChipBoardEmulator;

class LateReplyTest : public device_tests::TempFolderTest {
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        // Transfers must be complete within 500 ms; after the erase a read
        // waits 400 ms for its first byte.
        config_.expectedEraseTime = 5;
        config_.startupDelayMs = 200;
        timing_ = device_tests::quickLinkTiming();
        timing_.afterEraseFirstByteMs = 400;
    }
    void TearDown() override
    {
        driver_.reset();
        TempFolderTest::TearDown();
    }

    void connect(const zern::chipmodel::ChipSettings& settings)
    {
        board_ = std::make_unique<ChipBoardEmulator>(settings);
        auto port = zern::openLink(
            board_->devicePath(), [](const std::string&) {}, timing_);
        ASSERT_TRUE(port);
        driver_ =
            std::make_unique<zern::JtagDriver>(std::move(port), config_, &MessageRecorder::callback, timing_, log_);
        ASSERT_EQ(driver_->initializeTarget(), zern::kLinkDone);
        MessageRecorder::take();
    }

    zern::DeviceConfig config_;
    zern::LinkTiming timing_;
    zern::TrafficLog log_;
    std::unique_ptr<ChipBoardEmulator> board_;
    std::unique_ptr<zern::JtagDriver> driver_;
};

TEST_F(LateReplyTest, AnEraseLongerThanTheReadDeadlineShiftsNothing)
{
    // The erase takes 700 ms: its ready prompt misses the 500 ms deadline.
    zern::chipmodel::ChipSettings settings;
    settings.loaderFlags = 0x0600;
    settings.eraseBusyPolls = 1;
    settings.eraseBusyMs = 700;
    connect(settings);
    const std::vector<uint8_t> code = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(driver_->writeProgramBlock(0, code.size(), code.data()), zern::kLinkDone);
    const auto messages = MessageRecorder::take();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Unable to read all the required information from the serial port."),
              messages.end());
    EXPECT_EQ(board_->chip().code(0, 4), code);
    // The debug engine's replies line up again after the load.
    ASSERT_EQ(driver_->initializeTarget(), zern::kLinkDone);
    uint8_t read[4] = {};
    ASSERT_EQ(driver_->readCodeCached(0, sizeof read, read), zern::kLinkDone);
    EXPECT_EQ(std::vector<uint8_t>(read, read + 4), code);
}

}  // namespace
