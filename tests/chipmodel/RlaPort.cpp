#include "RlaPort.h"

namespace zern::chipmodel {
namespace {

constexpr uint8_t kRead = 0;
constexpr uint8_t kWrite = 1;

bool frameStart(const std::vector<uint8_t>& bytes)
{
    return (bytes.size() < 1 || bytes[0] == 'M') && (bytes.size() < 2 || bytes[1] == 'Q')
           && (bytes.size() < 3 || bytes[2] == kRead || bytes[2] == kWrite);
}

}  // namespace

std::vector<uint8_t> RlaPort::receive(std::span<const uint8_t> bytes)
{
    std::vector<uint8_t> reply;
    for (const uint8_t byte : bytes) {
        pending_.push_back(byte);
        if (!frameStart(pending_)) {
            protocolErrors_.push_back("RLA frame does not start with M Q and 0 or 1");
            pending_.clear();
            continue;
        }
        if (pending_.size() < kHeaderBytes)
            continue;
        const size_t length = static_cast<size_t>(pending_[6] << 8 | pending_[7]);
        if (pending_[2] == kRead || pending_.size() == kHeaderBytes + length)
            handleFrame(reply);
    }
    return reply;
}

void RlaPort::handleFrame(std::vector<uint8_t>& reply)
{
    const uint32_t address = static_cast<uint32_t>(pending_[3] << 16 | pending_[4] << 8 | pending_[5]);
    const size_t length = static_cast<size_t>(pending_[6] << 8 | pending_[7]);
    if (pending_[2] == kWrite) {
        const std::vector<uint8_t> data(pending_.begin() + kHeaderBytes, pending_.end());
        if (address >= kCodeWindow && address + length <= 2 * kCodeWindow) {
            chip_.setCode(address - kCodeWindow, data);
        } else {
            for (size_t i = 0; i < length; ++i)
                control_[static_cast<uint32_t>(address + i)] = data[i];
        }
    } else if (address >= kCodeWindow && address + length <= 2 * kCodeWindow) {
        const std::vector<uint8_t> code = chip_.code(address - kCodeWindow, length);
        reply.insert(reply.end(), code.begin(), code.end());
    } else {
        for (size_t i = 0; i < length; ++i)
            reply.push_back(controlByte(static_cast<uint32_t>(address + i)));
    }
    pending_.clear();
}

uint8_t RlaPort::controlByte(uint32_t address) const
{
    const auto byte = control_.find(address);
    return byte == control_.end() ? 0 : byte->second;
}

}  // namespace zern::chipmodel
