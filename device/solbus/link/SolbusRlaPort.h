#pragma once
// The RLA port: a second serial port whose far end takes the program in
// place of the boot loader. Opening it reboots the far end; on this link
// the far end takes every write without traffic.

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "LinkMessages.h"
#include "LinkTiming.h"
#include "SerialPort.h"

namespace zern {

class SolbusRlaPort {
public:
    // The port opened, configured and drained after the far end rebooted;
    // null after reporting why.
    static std::unique_ptr<SolbusRlaPort> open(const std::string& portName, const LinkMessages& messages,
                                               const LinkTiming& timing);

    bool write(uint32_t address, std::span<const uint8_t> data);

private:
    explicit SolbusRlaPort(std::unique_ptr<platform::SerialPort> port) : port_(std::move(port)) {}

    std::unique_ptr<platform::SerialPort> port_;
};

}  // namespace zern
