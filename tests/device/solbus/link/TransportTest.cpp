// The debug port's transport on the wire: command frames and their limit,
// reply groups, pair reads, status waits and the control word, and the
// bounds on reads that never end on a broken bus.

#include <functional>

#include "LinkTestSupport.h"

namespace {

using namespace solbus_tests;
using Lines = std::vector<std::string>;

class TransportTest : public SolbusLinkTest {
protected:
    void SetUp() override
    {
        SolbusLinkTest::SetUp();
        connect();
    }
    solbus::DebugTransport transport()
    {
        // Failures come as one line each here; the driver puts them in the link-error form.
        return solbus::DebugTransport(driver_->port(), nullptr,
                                      [](const std::string& text) { MessageRecorder::callback(text.c_str()); });
    }
};

TEST_F(TransportTest, CommandsGoAsOneBlockWithEveryByteBehind2D)
{
    const std::vector<uint8_t> registerRead = {0x29, 0x1D, 0x00};
    ASSERT_TRUE(transport().SendDebugCommand(registerRead));
    EXPECT_EQ(traffic(), "2D292D1D2D00");

    // 80 bytes fill the 160-byte block; one more is refused before anything is sent.
    forget();
    EXPECT_TRUE(transport().SendDebugCommand(std::vector<uint8_t>(80, 0x20)));
    EXPECT_EQ(traffic(), repeatHex("2D20", 80));
    forget();
    EXPECT_FALSE(transport().SendDebugCommand(std::vector<uint8_t>(81, 0x20)));
    EXPECT_EQ(traffic(), "");
    EXPECT_EQ(MessageRecorder::take(), Lines{"Error 11: Data Block Too Large"});
    EXPECT_FALSE(transport().SendDebugCommand(std::vector<uint8_t>(513, 0x20)));
    EXPECT_EQ(traffic(), "");
}

TEST_F(TransportTest, RepliesAreReadInGroupsTakingOnlyPairsWithData)
{
    chip().setHalted(true);
    chip().setRegister(8, 0, 0x1234);
    auto link = transport();
    ASSERT_TRUE(link.SendDebugCommand(std::vector<uint8_t>{0x29, 0x08, 0x00}));
    forget();
    std::vector<uint8_t> pairs(4);
    ASSERT_TRUE(link.ReadDebugReply(pairs));
    // The engine's latency shows no data: a second round reads the pair still missing.
    EXPECT_EQ(traffic(), groupsRead(2) + groupsRead(1));
    EXPECT_EQ(pairs, (std::vector<uint8_t>{0x03, 0x34, 0x03, 0x12}));
}

TEST_F(TransportTest, AReplyWithoutDataFailsAfterAHundredRounds)
{
    // The chip runs (its idle status carries no data) and its answers say no data either.
    zern::chipmodel::FaultPlan faults;
    faults.transferStatus = 0x00;
    chip().setFaults(faults);
    auto link = transport();
    ASSERT_TRUE(link.SendDebugCommand(std::vector<uint8_t>{0x29, 0x08, 0x00}));
    forget();
    std::vector<uint8_t> pairs(4);
    EXPECT_FALSE(link.ReadDebugReply(pairs));
    EXPECT_EQ(traffic(), groupsRead(200));
    EXPECT_EQ(MessageRecorder::take(), Lines{"Device is not responding."});
}

TEST_F(TransportTest, PairReadsOnABusStuckHighEndAfterAHundredReads)
{
    emulator_->debugPort().setStuckHigh(true);
    std::array<uint8_t, 2> pair{};
    EXPECT_FALSE(transport().ReadDebugPairs(pair));
    EXPECT_EQ(traffic(), repeatHex(kPairRead, 100));
    EXPECT_EQ(MessageRecorder::take(), Lines{"Device is not responding."});

    // Its control word reads as 0.
    uint16_t word = 0xABCD;
    ASSERT_TRUE(transport().ReadControl(word));
    EXPECT_EQ(word, 0);
}

TEST_F(TransportTest, PairsComeStatusFirstAndAreReadAgainWhileNotReady)
{
    chip().setHalted(true);
    chip().setRegister(8, 0, 0x1234);
    auto link = transport();
    ASSERT_TRUE(link.SendDebugCommand(std::vector<uint8_t>{0x29, 0x08, 0x00}));
    forget();
    std::array<uint8_t, 4> pairs{};
    ASSERT_TRUE(link.ReadDebugPairs(pairs));
    EXPECT_EQ(traffic(), repeatHex(kPairRead, 3));
    EXPECT_EQ(pairs, (std::array<uint8_t, 4>{0x03, 0x34, 0x03, 0x12}));
}

TEST_F(TransportTest, AStatusWaitPollsUntilItsTriesRunOut)
{
    // The engine reads 1 while it halts the chip; the waits are for another status.
    chip().setHalted(true);
    EXPECT_TRUE(transport().WaitDebugStatus(1, 5));
    EXPECT_EQ(traffic(), groupsRead(1));
    forget();
    EXPECT_FALSE(transport().WaitDebugStatus(3, 5));
    EXPECT_EQ(traffic(), groupsRead(5));
    EXPECT_TRUE(MessageRecorder::take().empty());
}

TEST_F(TransportTest, TheControlWordIsReadAndWrittenLowByteFirst)
{
    ASSERT_TRUE(transport().WriteControl(0x09, 0x01));
    EXPECT_EQ(emulator_->debugPort().controlWord(), 0x0109);
    uint16_t word = 0;
    ASSERT_TRUE(transport().ReadControl(word));
    EXPECT_EQ(word, 0x0109);
    EXPECT_EQ(traffic(), "D20901" + kControlRead);
}

TEST_F(TransportTest, AByteTheBusChangedIsReportedAsSuchNotAsAnEarlierError)
{
    const std::vector<std::pair<const char*, std::function<bool(solbus::DebugTransport&)>>> exchanges = {
        {"control read",
         [](solbus::DebugTransport& link) {
             uint16_t word = 0;
             return link.ReadControl(word);
         }},
        {"pair read",
         [](solbus::DebugTransport& link) {
             std::array<uint8_t, 2> pair{};
             return link.ReadDebugPairs(pair);
         }},
        {"select byte", [](solbus::DebugTransport& link) { return link.writeByte(0x3C); }},
    };
    for (const auto& [name, exchange] : exchanges) {
        SCOPED_TRACE(name);
        // A failure of some earlier exchange is still in the ring.
        solbus::PushLinkError(solbus::kErrorWrongBaud);
        testing_support::AdapterFaults faults;
        faults.corruptEchoAt = 0;
        emulator_->adapter().setFaults(faults);
        auto link = transport();
        EXPECT_FALSE(exchange(link));
        EXPECT_EQ(MessageRecorder::take(), Lines{"Error 15: Write Byte Failed"});
        emulator_->adapter().setFaults({});
    }
}

TEST_F(TransportTest, AFailedTransferIsReportedWithTheAdaptersError)
{
    emulator_->adapter().disconnect();
    EXPECT_FALSE(transport().SendDebugCommand(std::vector<uint8_t>{0x1F}));
    const Lines lines = MessageRecorder::take();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Error ", 0), 0u) << lines[0];
}

}  // namespace
