#include "ZernJtagTraits.h"

#include "JtagDeviceTools.h"
#include "JtagDriver.h"
#include "OpenLink.h"

namespace zern {
namespace {

std::unique_ptr<LinkDriver> connectJtagBoard(const ConnectRequest& request)
{
    const auto log = [&request](const std::string& line) {
        if (request.messageCallback)
            request.messageCallback(line.c_str());
    };
    auto port = openLink(request.portName, log, request.timing);
    if (!port)
        return nullptr;
    // The log this plug-in's traits made: the board's traffic log.
    auto& trafficLog = dynamic_cast<TrafficLog&>(request.linkLog);
    auto driver = std::make_unique<JtagDriver>(std::move(port), request.config, request.messageCallback, request.timing,
                                               trafficLog);
    if (!driver->checkBoardVersion())
        return nullptr;
    return driver;
}

std::unique_ptr<LinkLog> makeTrafficLog()
{
    return std::make_unique<TrafficLog>();
}

}  // namespace

const DeviceTraits kZernJtagTraits = {
    .optionsKeyName = "ZERNJTAGOptions",
    .buildDate = "Mar 14 2012",
    .toolMenuCaption = kDebugLogCaption,
    .stopNeedsBreak = false,
    .programChunkBytes = 128,
    .connect = connectJtagBoard,
    .configDialect = {.eraseLastPage = true, .userCodeStart = true, .hyperdrive = false, .debugTrace = false},
    .makeLinkLog = makeTrafficLog,
    .showOptions = showOptionsWithoutWindows,
    .runMenuItem = runMenuItemWithoutWindows,
};

}  // namespace zern
