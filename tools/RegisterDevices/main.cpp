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

int main(int argc, char** argv)
{
    auto root = platform::RegistryRoot::CurrentUser;
    bool onlyWithoutList = false;
    std::vector<registration::DeviceEntry> entries;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--machine") {
            root = platform::RegistryRoot::LocalMachine;
        } else if (argument == "--if-no-list") {
            onlyWithoutList = true;
        } else if (const auto entry = registration::parseDeviceEntry(argument)) {
            entries.push_back(*entry);
        } else {
            std::fprintf(stderr, "RegisterDevices: \"%s\" names no device plug-in.\n", argument.c_str());
            return 2;
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
