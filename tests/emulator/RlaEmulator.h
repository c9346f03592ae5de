#pragma once
// Test fixture: the far end of the RLA port on the master side of a
// pseudo-terminal, in front of the shared chip model's RLA port.

#include <atomic>
#include <string>
#include <thread>

#include "RlaPort.h"

namespace testing_support {

class RlaEmulator {
public:
    explicit RlaEmulator(zern::chipmodel::ChipModel& chip);
    ~RlaEmulator();
    RlaEmulator(const RlaEmulator&) = delete;
    RlaEmulator& operator=(const RlaEmulator&) = delete;

    const std::string& devicePath() const { return slavePath_; }
    // Read only once the driver is done with the port.
    const zern::chipmodel::RlaPort& port() const { return port_; }

private:
    void serve();

    zern::chipmodel::RlaPort port_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

}  // namespace testing_support
