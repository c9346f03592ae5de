#include "BoardEmulator.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <unistd.h>

#include "PseudoTerminal.h"

namespace testing_support {

std::string hexOf(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char pair[3];
    for (uint8_t byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += pair;
    }
    return text;
}

std::string hexOf(const std::string& text)
{
    return hexOf(std::vector<uint8_t>(text.begin(), text.end()));
}

BoardEmulator::BoardEmulator()
{
    const PseudoTerminal terminal = openPseudoTerminal();
    master_ = terminal.master;
    slave_ = terminal.slave;
    slavePath_ = terminal.slavePath;
    platform::setSerialLineObserver(this);
    thread_ = std::thread([this] { serve(); });
}

BoardEmulator::~BoardEmulator()
{
    stop();
}

void BoardEmulator::stop()
{
    if (thread_.joinable()) {
        stopping_ = true;
        thread_.join();
    }
    platform::setSerialLineObserver(nullptr);
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

void BoardEmulator::setFaults(const BoardFaults& faults)
{
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

std::string BoardEmulator::receivedHex() const
{
    return hexOf(received());
}

std::vector<uint8_t> BoardEmulator::received() const
{
    std::lock_guard lock(mutex_);
    return received_;
}

void BoardEmulator::clearReceived()
{
    std::lock_guard lock(mutex_);
    received_.clear();
}

bool BoardEmulator::waitForReceived(size_t count, int milliseconds) const
{
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return received_.size() >= count; });
}

std::vector<std::string> BoardEmulator::lineEvents() const
{
    std::lock_guard lock(mutex_);
    return events_;
}

void BoardEmulator::recordEvent(const std::string& devicePath, const std::string& event)
{
    if (devicePath != slavePath_)
        return;
    std::lock_guard lock(mutex_);
    events_.push_back(event);
}

void BoardEmulator::dtrChanged(const std::string& devicePath, bool on)
{
    recordEvent(devicePath, on ? "DTR on" : "DTR off");
    if (!on && devicePath == slavePath_)
        resetRequested_ = true;
}

void BoardEmulator::rtsChanged(const std::string& devicePath, bool on)
{
    recordEvent(devicePath, on ? "RTS on" : "RTS off");
}

void BoardEmulator::breakSent(const std::string& devicePath)
{
    recordEvent(devicePath, "break");
}

void BoardEmulator::baudRateChanged(const std::string& devicePath, int baud)
{
    recordEvent(devicePath, "baud " + std::to_string(baud));
}

void BoardEmulator::serve()
{
    uint8_t buffer[512];
    while (!stopping_ && master_ >= 0) {
        pollfd wanted{master_, POLLIN, 0};
        if (poll(&wanted, 1, 10) <= 0 || !(wanted.revents & POLLIN))
            continue;
        const ssize_t got = ::read(master_, buffer, sizeof buffer);
        for (ssize_t i = 0; i < got && master_ >= 0; ++i)
            take(buffer[i]);
    }
}

void BoardEmulator::take(uint8_t byte)
{
    if (resetRequested_.exchange(false)) {
        binary_ = false;
        line_.clear();
        record_.clear();
        recordLength_ = 0;
        expectingOperation_ = false;
    }
    {
        std::lock_guard lock(mutex_);
        received_.push_back(byte);
    }
    arrived_.notify_all();

    if (!binary_) {
        if (byte == 0)
            return;
        if (byte != '\r') {
            line_ += static_cast<char>(byte);
            return;
        }
        const std::string command = line_;
        line_.clear();
        textCommand(command);
        return;
    }
    if (expectingOperation_) {
        expectingOperation_ = false;
        reply(std::vector<uint8_t>{answerBoardOperation(byte)});
        return;
    }
    if (recordLength_ == 0) {
        if (byte == 0)
            expectingOperation_ = true;
        else
            recordLength_ = byte;
        return;
    }
    record_.push_back(byte);
    if (record_.size() == recordLength_) {
        const std::vector<uint8_t> record = record_;
        record_.clear();
        recordLength_ = 0;
        reply(answerRecord(record));
    }
}

void BoardEmulator::textCommand(const std::string& command)
{
    BoardFaults faults;
    {
        std::lock_guard lock(mutex_);
        faults = faults_;
    }
    const std::string prompt = faults.hashPrompt ? "#" : ">";
    if (faults.garbage) {
        reply(std::string("\x7f?!*"));
        return;
    }
    if (command.empty()) {
        reply("\r\n" + prompt);
    } else if (command == "Q") {
        reply("Q\r\n" + faults.version + "\r\n" + prompt);
    } else if (command.size() == 6 && command.compare(0, 2, "V3") == 0) {
        reply(command + "\r\n\r\n" + prompt);
    } else if (command == "Z") {
        reply(std::string("Z\r\n"));
        binary_ = true;
    } else {
        reply("?\r\n" + prompt);
    }
}

std::vector<uint8_t> BoardEmulator::answerRecord(const std::vector<uint8_t>& record)
{
    std::vector<uint8_t> answer;
    for (uint8_t byte : record) {
        answer.push_back(0x00);
        answer.push_back(byte);
    }
    return answer;
}

uint8_t BoardEmulator::answerBoardOperation(uint8_t)
{
    return 0x00;
}

void BoardEmulator::reply(const std::string& text)
{
    reply(std::vector<uint8_t>(text.begin(), text.end()));
}

void BoardEmulator::reply(std::vector<uint8_t> bytes)
{
    BoardFaults faults;
    {
        std::lock_guard lock(mutex_);
        faults = faults_;
    }
    if (binary_) {
        const size_t answer = binaryAnswers_++;
        if (faults.fromBinaryAnswer && answer >= *faults.fromBinaryAnswer) {
            switch (faults.mode) {
            case BoardFaults::Mode::Silence:
                return;
            case BoardFaults::Mode::ShortReply:
                bytes.resize(bytes.size() / 2);
                break;
            case BoardFaults::Mode::Garbage:
                for (size_t i = 0; i < bytes.size(); ++i)
                    bytes[i] = static_cast<uint8_t>(0xA5 ^ (i * 37));
                break;
            case BoardFaults::Mode::HangUp:
                faults.hangUpAfter = bytes.size() / 2;
                break;
            }
        }
    }
    if (faults.silent)
        return;
    if (faults.replyLimit && bytes.size() > *faults.replyLimit)
        bytes.resize(*faults.replyLimit);
    if (faults.hangUpAfter) {
        bytes.resize(std::min(bytes.size(), *faults.hangUpAfter));
        if (!bytes.empty() && ::write(master_, bytes.data(), bytes.size()) < 0)
            return;
        // Both of the board's ends go, so the driver's port sees the hang-up.
        ::close(slave_);
        ::close(master_);
        slave_ = master_ = -1;
        return;
    }
    if (!bytes.empty() && ::write(master_, bytes.data(), bytes.size()) < 0)
        std::perror("board emulator");
}

}  // namespace testing_support
