#pragma once
// What sets one device plug-in's object apart from another's: everything
// else of ZernDevice is shared.

#include <memory>
#include <string>

#include "AbstractDevice.h"
#include "ConfigReader.h"
#include "DeviceConfig.h"
#include "LinkDriver.h"
#include "LinkLog.h"
#include "LinkTiming.h"

namespace zern {

class ZernDevice;

// The Device menu's first entry, the same in every ZERN device plug-in.
inline constexpr char kDataBreakpointCaption[] = "Set Data Breakpoint";

// What a link opening needs from its device object.
struct ConnectRequest {
    const std::string& portName;
    DeviceConfig& config;
    DeviceMessageCallback messageCallback;
    const LinkTiming& timing;
    // The log the traits' makeLinkLog made.
    LinkLog& linkLog;
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

    // The configuration file's sections beyond the common ones.
    ConfigDialect configDialect = {};
    // The plug-in's link log, made once per device object; none when null.
    std::unique_ptr<LinkLog> (*makeLinkLog)() = nullptr;
    // ShowDeviceOptions: true when the user accepted the dialog (the hook
    // then drops the link and takes the new settings). False when null.
    bool (*showOptions)(ZernDevice& device, void* ownerWindow) = nullptr;
    // RunDeviceMenuItem for one of the captions GetDeviceMenuItems lists;
    // the device gives the open link, if any, to the dialogs. Nothing when null.
    void (*runMenuItem)(ZernDevice& device, const char* caption) = nullptr;
};

}  // namespace zern
