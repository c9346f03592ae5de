#include "SolbusOpenLink.h"

#include <array>

#include "BusAdapter.h"

namespace zern {
namespace {

constexpr int kStandard = 0;
constexpr int kOverdrive = 1;
constexpr int kHyperdrive = 16;
constexpr uint8_t kSelectOverdrive = 0x3C;
constexpr uint8_t kSelectHyperdrive = 0xC3;

}  // namespace

int OpenLink(const std::string& portName, bool hyperdrive, const std::function<void(const std::string&)>& log)
{
    log("Opening serial port...");
    const int port = solbus::BusOpenPort(portName);
    if (port < 0) {
        log("Unable to open Solbus port.");
        return -1;
    }
    log("Opened " + portName + ".");
    if (solbus::BusSetSpeed(port, kStandard) != kStandard)
        log("Failed switch to normal mode.");
    if (!solbus::BusReset(port))
        log("Failed to get presence pulse after standard reset.");
    // Selects the chip's debug port by its ROM number; sent as it stands.
    std::array<uint8_t, 9> select = {0x55, 0x16, 0x00, 0x00, 0x00, 0x0A, 0x02, 0xA2, 0xB0};
    solbus::BusBlock(port, false, select.data(), static_cast<int>(select.size()));
    if (solbus::BusSetSpeed(port, kOverdrive) != kOverdrive)
        log("Failed switch to overdrive mode.");
    if (!solbus::BusReset(port))
        log("Failed to get presence pulse after overdrive reset.");
    solbus::BusWriteByte(port, hyperdrive ? kSelectHyperdrive : kSelectOverdrive);
    log("Checking hyperdrive configuration");
    if (hyperdrive) {
        log("Trying to set hyperdrive...");
        if (solbus::BusSetSpeed(port, kHyperdrive) != kHyperdrive)
            log("Failed switch to hyperdrive mode.");
        if (!solbus::BusReset(port))
            log("Failed to get presence pulse after hyperdrive reset.");
        solbus::BusWriteByte(port, kSelectHyperdrive);
    } else {
        log("Hyperdrive turned OFF.");
    }
    log("Connected.");
    return port;
}

}  // namespace zern
