#include "SerialPort.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

using ObserverSlot = std::atomic<SerialLineObserver*>;

}  // namespace
}  // namespace platform

// Every plug-in carries its own hidden copy of this layer. A test program that
// exports this function (linked with -rdynamic) makes its one slot the slot of
// every copy, so its emulators hear the line changes a plug-in makes too.
extern "C" __attribute__((visibility("default"))) platform::ObserverSlot* tolvaneSerialLineObserverSlot()
{
    static platform::ObserverSlot slot{nullptr};
    return &slot;
}

namespace platform {
namespace {

ObserverSlot& lineObserverSlot()
{
    static ObserverSlot* const slot = [] {
        using SlotFunction = ObserverSlot* (*)();
        const auto exported = reinterpret_cast<SlotFunction>(dlsym(RTLD_DEFAULT, "tolvaneSerialLineObserverSlot"));
        return exported ? exported() : tolvaneSerialLineObserverSlot();
    }();
    return *slot;
}

SerialLineObserver* lineObserver()
{
    return lineObserverSlot().load();
}

speed_t speedFor(int baud)
{
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return B0;
    }
}

// A pseudo-terminal has no modem lines and refuses these requests.
bool lineNotAvailable(int error)
{
    return error == ENOTTY || error == EINVAL;
}

}  // namespace

std::string serialDevicePath(const std::string& portName)
{
    if (portName.size() > 3 && std::toupper(static_cast<unsigned char>(portName[0])) == 'C'
        && std::toupper(static_cast<unsigned char>(portName[1])) == 'O'
        && std::toupper(static_cast<unsigned char>(portName[2])) == 'M' && portName.size() <= 6) {
        int number = 0;
        for (size_t i = 3; i < portName.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(portName[i])))
                return portName;
            number = number * 10 + (portName[i] - '0');
        }
        if (number >= 1)
            return "/dev/ttyS" + std::to_string(number - 1);
    }
    return portName;
}

SerialLineObserver* setSerialLineObserver(SerialLineObserver* observer)
{
    return lineObserverSlot().exchange(observer);
}

std::unique_ptr<SerialPort> SerialPort::open(const std::string& devicePath, std::string* error)
{
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = std::strerror(errno);
        return nullptr;
    }
    // TIOCEXCL keeps other users out, but root ignores it: the lock covers that.
    if (!isatty(fd) || ioctl(fd, TIOCEXCL) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (error)
            *error = isatty(fd) ? std::strerror(errno) : "not a terminal";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<SerialPort>(new SerialPort(fd, devicePath));
}

SerialPort::~SerialPort()
{
    ioctl(fd_, TIOCNXCL);
    flock(fd_, LOCK_UN);
    ::close(fd_);
}

bool SerialPort::configure(int baud)
{
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS | CSIZE);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    const speed_t speed = speedFor(baud);
    if (speed == B0 || cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0)
        return false;
    if (tcsetattr(fd_, TCSANOW, &settings) != 0)
        return false;
    if (SerialLineObserver* observer = lineObserver())
        observer->baudRateChanged(path_, baud);
    return setDtr(true) && setRts(true);
}

bool SerialPort::setBaudRate(int baud)
{
    termios settings{};
    const speed_t speed = speedFor(baud);
    if (speed == B0 || tcgetattr(fd_, &settings) != 0 || cfsetispeed(&settings, speed) != 0
        || cfsetospeed(&settings, speed) != 0 || tcsetattr(fd_, TCSANOW, &settings) != 0)
        return false;
    if (SerialLineObserver* observer = lineObserver())
        observer->baudRateChanged(path_, baud);
    return true;
}

bool SerialPort::setModemLine(int line, bool on)
{
    if (SerialLineObserver* observer = lineObserver()) {
        if (line == TIOCM_DTR)
            observer->dtrChanged(path_, on);
        else
            observer->rtsChanged(path_, on);
    }
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0)
        return true;
    return lineNotAvailable(errno);
}

bool SerialPort::setDtr(bool on)
{
    return setModemLine(TIOCM_DTR, on);
}

bool SerialPort::setRts(bool on)
{
    return setModemLine(TIOCM_RTS, on);
}

bool SerialPort::sendBreak(int milliseconds)
{
    if (SerialLineObserver* observer = lineObserver())
        observer->breakSent(path_);
    if (ioctl(fd_, TIOCSBRK) != 0 && !lineNotAvailable(errno))
        return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return ioctl(fd_, TIOCCBRK) == 0 || lineNotAvailable(errno);
}

bool SerialPort::flush()
{
    return tcflush(fd_, TCIOFLUSH) == 0;
}

bool SerialPort::discardInput()
{
    return tcflush(fd_, TCIFLUSH) == 0;
}

long SerialPort::read(uint8_t* buffer, size_t max)
{
    if (max == 0)
        return 0;
    pollfd wanted{fd_, POLLIN, 0};
    int ready;
    do {
        ready = poll(&wanted, 1, readTimeoutMs_);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0)
        return -1;
    if (ready == 0)
        return 0;
    const ssize_t got = ::read(fd_, buffer, max);
    if (got > 0)
        return got;
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    // Readable but nothing to read: the far end has gone.
    return -1;
}

size_t SerialPort::readWithin(uint8_t* buffer, size_t count, int totalMilliseconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(totalMilliseconds);
    size_t done = 0;
    while (done < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd wanted{fd_, POLLIN, 0};
        const int ready = poll(&wanted, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready < 0 && errno == EINTR && left > 0)
            continue;
        if (ready <= 0 || !(wanted.revents & POLLIN))
            break;
        const ssize_t got = ::read(fd_, buffer + done, count - done);
        if (got > 0)
            done += static_cast<size_t>(got);
        else if (!(got < 0 && (errno == EAGAIN || errno == EINTR) && left > 0))
            break;  // the far end has gone, or the time is up
    }
    return done;
}

bool SerialPort::write(const uint8_t* data, size_t count)
{
    size_t done = 0;
    while (done < count) {
        const ssize_t wrote = ::write(fd_, data + done, count - done);
        if (wrote > 0) {
            done += static_cast<size_t>(wrote);
            continue;
        }
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0 && errno != EAGAIN)
            return false;
        pollfd wanted{fd_, POLLOUT, 0};
        const int ready = poll(&wanted, 1, writeTimeoutMs_);
        if (ready == 0 || (ready < 0 && errno != EINTR) || (wanted.revents & (POLLERR | POLLHUP)))
            return false;
    }
    return true;
}

}  // namespace platform
