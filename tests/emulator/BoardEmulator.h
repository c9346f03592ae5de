#pragma once
// Test fixture: the serial-to-JTAG adapter board on the master side of a
// pseudo-terminal. The driver opens the slave side as its serial port.
//
// The board starts in text mode: a carriage return gives the prompt, "Q"
// the firmware version, "V3xxxx" the clock divisor, "Z" resets the JTAG
// side and switches to binary records. A record is a length byte n and n
// bytes, answered with 2n bytes; n = 0 is followed by one board-operation
// byte, answered with one byte. Switching DTR off resets the board to text
// mode: DTR and break reach the board through the serial-line side channel.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "SerialPort.h"

namespace testing_support {

struct BoardFaults {
    // Never answers anything.
    bool silent = false;
    // The two version digits the "Q" command answers.
    std::string version = "01";
    // Answers with '#' as its prompt instead of '>'.
    bool hashPrompt = false;
    // Every reply is cut to this many bytes.
    std::optional<size_t> replyLimit;
    // Replies to text commands with bytes that hold no prompt.
    bool garbage = false;
    // Sends this many bytes of the next reply, then hangs up.
    std::optional<size_t> hangUpAfter;

    // From this binary answer on (counted from 0), the board misbehaves as
    // the mode says.
    enum class Mode { Silence, ShortReply, Garbage, HangUp };
    std::optional<size_t> fromBinaryAnswer;
    Mode mode = Mode::Silence;
};

std::string hexOf(const std::vector<uint8_t>& bytes);
std::string hexOf(const std::string& text);

class BoardEmulator : public platform::SerialLineObserver {
public:
    BoardEmulator();
    ~BoardEmulator() override;
    BoardEmulator(const BoardEmulator&) = delete;
    BoardEmulator& operator=(const BoardEmulator&) = delete;

    const std::string& devicePath() const { return slavePath_; }
    void setFaults(const BoardFaults& faults);

    // Everything the driver has written so far, as upper-case hex.
    std::string receivedHex() const;
    std::vector<uint8_t> received() const;
    void clearReceived();
    // Waits until at least count bytes have arrived; false after the time-out.
    bool waitForReceived(size_t count, int milliseconds = 2000) const;
    // "DTR on", "DTR off", "RTS on", "break", "baud 115200", in order.
    std::vector<std::string> lineEvents() const;
    bool binaryMode() const { return binary_; }
    // Answers given to binary records and board operations so far.
    size_t binaryAnswers() const { return binaryAnswers_; }

    void dtrChanged(const std::string& devicePath, bool on) override;
    void rtsChanged(const std::string& devicePath, bool on) override;
    void breakSent(const std::string& devicePath) override;
    void baudRateChanged(const std::string& devicePath, int baud) override;

protected:
    // The chip behind the board; these answer from the bytes shifted in.
    virtual std::vector<uint8_t> answerRecord(const std::vector<uint8_t>& record);
    virtual uint8_t answerBoardOperation(uint8_t operation);
    // Stops the board's thread; a class that extends the emulator calls it
    // first in its destructor.
    void stop();

private:
    void serve();
    void take(uint8_t byte);
    void textCommand(const std::string& command);
    void reply(std::vector<uint8_t> bytes);
    void reply(const std::string& text);
    void recordEvent(const std::string& devicePath, const std::string& event);

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    BoardFaults faults_;
    std::vector<uint8_t> received_;
    std::vector<std::string> events_;

    // Parser state, used by the board's thread (and reset on DTR off).
    std::atomic<bool> binary_{false};
    std::atomic<size_t> binaryAnswers_{0};
    std::atomic<bool> resetRequested_{false};
    std::string line_;
    std::vector<uint8_t> record_;
    size_t recordLength_ = 0;
    bool expectingOperation_ = false;
};

}  // namespace testing_support
