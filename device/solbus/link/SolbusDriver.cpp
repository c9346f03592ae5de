#include "SolbusDriver.h"

#include "BusAdapter.h"
#include "SerialPorts.h"
#include "SolbusRlaPort.h"

namespace zern {
namespace {

// The control word of the chip's debug port: bit 6 of the low byte holds
// the chip in reset, bit 3 lets it run, bits 0 and 3 together ask for the
// halt (or, after a reset with bit 8 set, start the boot loader).
constexpr uint8_t kHoldInReset = 0x40;
constexpr uint8_t kRun = 0x08;
constexpr uint8_t kHaltRequest = 0x09;
// Bit 8 (bit 0 of the high byte): set while the target goes through a reset.
constexpr uint8_t kResetGuard = 0x01;
// The start of user code the start-up halts at.
constexpr uint64_t kUserCode16 = 0x0000;
constexpr uint64_t kUserCode32 = 0x0600;

// The trace when the configuration asks for it and its file opens; a file
// that does not is told, and the link goes on without a trace.
solbus::SolbusTrace* traceFor(const DeviceConfig& config, solbus::SolbusTrace& trace, DeviceMessageCallback log)
{
    if (config.debugTrace == 0)
        return nullptr;
    if (const std::optional<std::string> refused = trace.open()) {
        LinkMessages(log).line("Unable to open trace file " + trace.path() + ": " + *refused + ".");
        return nullptr;
    }
    return &trace;
}

}  // namespace

SolbusDriver::SolbusDriver(int port, DeviceConfig& config, DeviceMessageCallback log, const LinkTiming& timing,
                           solbus::SolbusTrace& trace)
    : port_(port),
      mutex_(solbus::portLock(port) ? *solbus::portLock(port) : ownMutex_),
      config_(config),
      timing_(timing),
      trace_(traceFor(config, trace, log)),
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

TargetState SolbusDriver::targetState() const
{
    Lock lock(mutex_);
    return state_;
}

bool SolbusDriver::erasePending() const
{
    Lock lock(mutex_);
    return erasePending_;
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

bool SolbusDriver::changeControl(uint8_t lowBits, std::optional<bool> guard)
{
    uint16_t word = 0;
    if (!transport_.ReadControl(word))
        return false;
    auto high = static_cast<uint8_t>(word >> 8);
    if (guard)
        high = *guard ? high | kResetGuard : high & ~kResetGuard;
    return transport_.WriteControl(static_cast<uint8_t>(word | lowBits), high);
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

bool SolbusDriver::startThroughControl()
{
    return pulseReset(kRun);
}

bool SolbusDriver::requestHalt()
{
    return changeControl(kHaltRequest, std::nullopt);
}

bool SolbusDriver::clearResetGuard()
{
    return changeControl(0, false);
}

bool SolbusDriver::resetIntoLoader()
{
    return transport_.WriteControl(0x00, kResetGuard) && resetThroughControl()
           && transport_.WriteControl(kHaltRequest, 0x00);
}

bool SolbusDriver::holdTargetInReset()
{
    return changeControl(0, true) && resetThroughControl();
}

bool SolbusDriver::releaseTarget()
{
    return clearResetGuard();
}

int SolbusDriver::initializeTarget()
{
    Lock lock(mutex_);
    caches_.invalidateAll();
    if (!solbus::serialPortIsOpen(port_))
        return kLinkDone;
    // The breakpoints as they were: the start takes the slots for its own.
    const BreakpointSlots::Addresses before = breakpoints_.addresses();
    const StartupPlan plan{is32Bit() ? kUserCode32 : kUserCode16, config_.startupDelayMs, timing_.startupPollMs};
    return startTarget(*this, plan, before, messages_);
}

}  // namespace zern
