#pragma once
// Test fixture: the far end of the RLA port on the master side of a
// pseudo-terminal. It takes framed requests "M", "Q", 1 (write) or 0 (read),
// a 24-bit address and a 16-bit length, high bytes first, then for a write
// the data; a read is answered with the bytes at that address.

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class RlaEmulator {
public:
    RlaEmulator();
    ~RlaEmulator();
    RlaEmulator(const RlaEmulator&) = delete;
    RlaEmulator& operator=(const RlaEmulator&) = delete;

    const std::string& devicePath() const { return slavePath_; }
    // The byte last written at the address (0 when none).
    uint8_t byteAt(uint32_t address) const;
    size_t writes() const;

private:
    void serve();
    void take(uint8_t byte);

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::map<uint32_t, uint8_t> memory_;
    size_t writes_ = 0;
    std::vector<uint8_t> request_;
};

}  // namespace testing_support
