#include "ZernBrelTraits.h"

#include "BrelDialogHooks.h"
#include "SolbusDriver.h"
#include "SolbusOpenLink.h"
#include "SolbusTrace.h"

namespace zern {
namespace {

std::unique_ptr<LinkDriver> connectSolbus(const ConnectRequest& request)
{
    const auto log = [&request](const std::string& line) {
        if (request.messageCallback)
            request.messageCallback(line.c_str());
    };
    const int port = OpenLink(request.portName, request.config.hyperdrive != 0, log);
    if (port < 0)
        return nullptr;
    return std::make_unique<SolbusDriver>(port, request.config, request.messageCallback, request.timing,
                                          solbus::SolbusTrace::process());
}

}  // namespace

const DeviceTraits kZernBrelTraits = {
    .optionsKeyName = "ZERNBRELOptions",
    .buildDate = "Sep 24 2010",
    .toolMenuCaption = kSolbusToolCaption,
    .stopNeedsBreak = true,
    .programChunkBytes = 64,
    .connect = connectSolbus,
    .configDialect = {.eraseLastPage = false, .userCodeStart = false, .hyperdrive = true, .debugTrace = true},
    .showOptions = showBrelOptions,
    .runMenuItem = runBrelMenuItem,
};

}  // namespace zern
