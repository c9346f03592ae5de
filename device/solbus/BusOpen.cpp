// Opening a port and detecting the adapter on it in one step.
#include "AdapterLink.h"
#include "BusAdapter.h"
#include "LinkErrors.h"
#include "SerialPorts.h"

namespace solbus {

int BusOpenPort(const std::string& portName)
{
    const int index = SerialOpenFreePort(portName);
    if (index < 0) {
        PushLinkError(kErrorOpenFailed);
        return -1;
    }
    // A port opened afresh has an adapter whose state nobody knows yet.
    detail::forgetState(index);
    if (BusDetectAdapter(index))
        return index;
    SerialClosePort(index);
    PushLinkError(kErrorAdapterNotDetected);
    return -1;
}

int BusOpenPortAt(int index, const std::string& portName)
{
    if (!SerialOpenPort(index, portName)) {
        PushLinkError(kErrorOpenFailed);
        return 0;
    }
    detail::forgetState(index);
    if (BusDetectAdapter(index))
        return 1;
    SerialClosePort(index);
    PushLinkError(kErrorAdapterNotDetected);
    return 0;
}

void BusClosePort(int index)
{
    SerialClosePort(index);
}

void resetSolbus()
{
    closeAllSerialPorts();
    detail::forgetAllStates();
    resetLinkErrors();
}

}  // namespace solbus
