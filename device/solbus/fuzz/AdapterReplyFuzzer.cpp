// Feeds arbitrary adapter replies to detection, speed, reset, level, byte,
// block, search and packet operations through a fake line: each must end
// with a result and leave only known codes on the error ring, never crash,
// hang or touch memory outside its buffers.
//
// Input: one byte whose bits make the first eight writes fail, one byte for
// the block's size and reset flag, then the adapter's replies in order.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "BusAdapter.h"
#include "BusDevices.h"
#include "LinkErrors.h"
#include "SerialPorts.h"
#include "SolbusTiming.h"

namespace {

class ReplyLine : public solbus::SerialLine {
public:
    ReplyLine(uint8_t failingWrites, const uint8_t* replies, size_t size)
        : failingWrites_(failingWrites), replies_(replies, replies + size)
    {}

    bool write(const uint8_t*, size_t, int) override
    {
        const bool fails = writes_ < 8 && (failingWrites_ >> writes_) & 1;
        ++writes_;
        return !fails;
    }
    size_t read(uint8_t* buffer, size_t count, int) override
    {
        size_t got = 0;
        while (got < count && next_ < replies_.size())
            buffer[got++] = replies_[next_++];
        return got;
    }
    void purge() override {}
    void sendBreak(int) override {}
    bool setBaudRate(int) override { return true; }
    void dropDtr() override {}

private:
    uint8_t failingWrites_;
    std::vector<uint8_t> replies_;
    size_t next_ = 0;
    int writes_ = 0;
};

bool knownCode(int code)
{
    return (code >= 0 && code <= 24) || code == 115;
}

void checkRing()
{
    for (int i = 0; i < 10; ++i) {
        if (!knownCode(solbus::PopLinkError()))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    solbus::SolbusTiming quick;
    quick.breakMs = quick.afterBreakMs = quick.afterTimingByteMs = quick.baudSwitchMs = 0;
    solbus::setSolbusTiming(quick);
    solbus::resetSolbus();
    solbus::attachSerialLine(0, std::make_unique<ReplyLine>(data[0], data + 2, size - 2));

    const int blockSize = data[1] % (solbus::kMaxBlock + 8);
    const bool resetFirst = data[1] & 0x80;
    std::vector<uint8_t> block(static_cast<size_t>(blockSize), 0xE3);
    uint8_t packet[32];

    solbus::BusDetectAdapter(0);
    solbus::BusSetSpeed(0, 1);
    solbus::BusReset(0);
    solbus::BusSetLevel(0, solbus::kLevelStrongPullUp);
    solbus::BusSetLevel(0, solbus::kLevelProgram);
    solbus::BusTouchByte(0, 0xE3);
    solbus::BusBlock(0, resetFirst, block.data(), blockSize);
    solbus::BusFirst(0, true, false);
    solbus::BusReadPacket(0, true, 1, packet);
    checkRing();

    const solbus::AdapterState state = solbus::adapterState(0);
    if (state.mode != solbus::kCommandMode && state.mode != solbus::kDataMode)
        std::abort();
    if (state.lastDiscrepancy < 0 || state.lastDiscrepancy > 64)
        std::abort();
    solbus::resetSolbus();
    return 0;
}
