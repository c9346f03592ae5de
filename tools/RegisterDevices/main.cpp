// RegisterDevices [--machine] [--if-no-list] ENTRY...
//
// Adds device plug-ins to the device list, keeping the entries already there.
// An ENTRY is "name=library" or a library path alone. --machine writes the
// machine-wide list (the install step), otherwise the current user's (the run
// script). --if-no-list does nothing when either list exists already, so a
// user's own list is never changed behind their back.

#include <cstdio>
#include <string>
#include <vector>

#include "DeviceRegistration.h"

namespace {

constexpr char kUsage[] =
    "Usage: RegisterDevices [--machine] [--if-no-list] ENTRY...\n"
    "Adds device plug-ins to the device list, keeping the entries already there.\n"
    "  ENTRY          name=library, or a library path alone (named after its file)\n"
    "  --machine      write the machine-wide list instead of the current user's\n"
    "  --if-no-list   do nothing when a device list exists already\n"
    "  -h, --help     show this text\n";

// Nothing is written after a wrong command line: a mistyped option is no device.
int refuse(const std::string& why)
{
    if (!why.empty())
        std::fprintf(stderr, "RegisterDevices: %s\n", why.c_str());
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return refuse("");
    auto root = platform::RegistryRoot::CurrentUser;
    bool onlyWithoutList = false;
    std::vector<registration::DeviceEntry> entries;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--machine") {
            root = platform::RegistryRoot::LocalMachine;
        } else if (argument == "--if-no-list") {
            onlyWithoutList = true;
        } else if (argument.starts_with('-')) {
            return refuse("unknown option " + argument + ".");
        } else if (const auto entry = registration::parseDeviceEntry(argument)) {
            entries.push_back(*entry);
        } else {
            return refuse("\"" + argument + "\" names no device plug-in.");
        }
    }
    if (onlyWithoutList && registration::anyDeviceListExists())
        return 0;
    std::string error;
    if (!registration::registerDevices(root, entries, error)) {
        std::fprintf(stderr, "RegisterDevices: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
