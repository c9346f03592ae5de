#pragma once
// Opens a pseudo-terminal for an emulated device: the emulator serves the
// master side, the driver opens the slave path as its serial port.

#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace testing_support {

struct PseudoTerminal {
    int master = -1;
    // Held open by the emulator, so the master stays readable between connections.
    int slave = -1;
    std::string slavePath;
};

inline PseudoTerminal openPseudoTerminal()
{
    PseudoTerminal terminal;
    terminal.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal.master < 0 || grantpt(terminal.master) != 0 || unlockpt(terminal.master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    terminal.slavePath = ptsname(terminal.master);
    terminal.slave = ::open(terminal.slavePath.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    tcgetattr(terminal.slave, &settings);
    cfmakeraw(&settings);
    tcsetattr(terminal.slave, TCSANOW, &settings);
    return terminal;
}

}  // namespace testing_support
