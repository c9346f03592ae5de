#include "SolbusDriver.h"

#include "BusAdapter.h"
#include "SerialPorts.h"
#include "SolbusRlaPort.h"

namespace zern {
namespace {

constexpr uint8_t kHoldInReset = 0x40;
constexpr uint8_t kRun = 0x08;
// Control bit 8: set while the target goes through a reset.
constexpr uint8_t kResetGuard = 0x01;
// The start of user code the start-up halts at.
constexpr uint64_t kUserCode16 = 0x0000;
constexpr uint64_t kUserCode32 = 0x0600;

}  // namespace

SolbusDriver::SolbusDriver(int port, DeviceConfig& config, DeviceMessageCallback log, const LinkTiming& timing,
                           solbus::SolbusTrace& trace)
    : port_(port),
      mutex_(solbus::portLock(port) ? *solbus::portLock(port) : ownMutex_),
      config_(config),
      timing_(timing),
      trace_(config.debugTrace != 0 ? &trace : nullptr),
      messages_(log),
      transport_(port, trace_, [this](const std::string& text) { messages_.linkError(text); }),
      passwords_(config.loaderPasswords),
      commandLists_(messages_, [this](const CommandRecord& record, uint8_t& status) {
          return loaderCommand(record) && loaderStatus(status);
      })
{
    // One context with the erased-flash password until the configuration names more.
    passwords_.ensureOne();
}

SolbusDriver::~SolbusDriver()
{
    Lock lock(mutex_);
    if (trace_)
        trace_->close();
    if (solbus::serialPortIsOpen(port_))
        solbus::BusClosePort(port_);
}

void SolbusDriver::setErasePending()
{
    Lock lock(mutex_);
    erasePending_ = true;
}

bool SolbusDriver::send(const Bytes& command, bool carriesPassword)
{
    return transport_.SendDebugCommand(command, carriesPassword);
}

bool SolbusDriver::changeControl(uint8_t setLow, uint8_t clearLow, uint8_t setHigh, uint8_t clearHigh)
{
    uint16_t word = 0;
    if (!transport_.ReadControl(word))
        return false;
    const auto low = static_cast<uint8_t>(((word & 0xFF) | setLow) & ~clearLow);
    const auto high = static_cast<uint8_t>(((word >> 8) | setHigh) & ~clearHigh);
    return transport_.WriteControl(low, high);
}

bool SolbusDriver::pulseReset(uint8_t after)
{
    uint16_t word = 0;
    if (!transport_.ReadControl(word))
        return false;
    const auto high = static_cast<uint8_t>(word >> 8);
    return transport_.WriteControl(kHoldInReset, high) && transport_.WriteControl(after, high);
}

bool SolbusDriver::resetThroughControl()
{
    caches_.invalidateAll();
    if (!pulseReset(0x00))
        return false;
    state_ = TargetState::NotInDebug;
    return true;
}

bool SolbusDriver::holdTargetInReset()
{
    return changeControl(0, 0, kResetGuard, 0) && resetThroughControl();
}

bool SolbusDriver::releaseTarget()
{
    return changeControl(0, 0, 0, kResetGuard);
}

int SolbusDriver::initializeTarget()
{
    caches_.invalidateAll();
    Lock lock(mutex_);
    if (!solbus::serialPortIsOpen(port_))
        return kLinkDone;
    // The breakpoints as they were: the start takes the slots for its own.
    const BreakpointSlots::Addresses before = breakpoints_.addresses();
    const StartupPlan plan{is32Bit() ? kUserCode32 : kUserCode16, config_.startupDelayMs, timing_.startupPollMs};
    return startTarget(*this, plan, before, messages_);
}

}  // namespace zern
