#pragma once
// Pulse-resets a USB dongle that may carry the adapter board, through the
// dongle maker's library when it is installed (libftd2xx.so, loaded by name).

#include <functional>
#include <string>

namespace zern {

inline constexpr char kDongleLibraryName[] = "libftd2xx.so";

// Reports "Not found." when there is no library or no dongle; never fails.
void resetUsbDongle(const std::function<void(const std::string&)>& log);

}  // namespace zern
