#pragma once
// What sets one device plug-in's object apart from another's: everything
// else of ZernDevice is shared.

#include <memory>
#include <string>

#include "AbstractDevice.h"
#include "DeviceConfig.h"
#include "LinkDriver.h"
#include "LinkTiming.h"
#include "TrafficLog.h"

namespace zern {

// What a link opening needs from its device object.
struct ConnectRequest {
    const std::string& portName;
    DeviceConfig& config;
    DeviceMessageCallback messageCallback;
    const LinkTiming& timing;
    TrafficLog& trafficLog;
};

struct DeviceTraits {
    // Subkey of the product key that holds the plug-in's options.
    const char* optionsKeyName;
    const char* buildDate;
    // The Device menu's second entry, after "Set Data Breakpoint".
    const char* toolMenuCaption;
    // Whether Stop fails when the target does not take the break.
    bool stopNeedsBreak;
    // A program load writes the code image in chunks of this many bytes.
    int programChunkBytes;
    // Opens the link on the named port and checks the adapter: a driver
    // ready for initializeTarget, or null after reporting why.
    std::unique_ptr<LinkDriver> (*connect)(const ConnectRequest& request);
};

}  // namespace zern
