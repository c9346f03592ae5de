// Loads a 32 KB program into the emulated chip and prints what crossed the
// wire: bytes each way, request/reply round trips, and the line time at
// 115200 baud (10 bits a byte) against the line time of the payload alone.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ChipBoardEmulator.h"
#include "HexRecords.h"
#include "Registry.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace {

constexpr size_t kProgramBytes = 32 * 1024;
constexpr double kBitsPerSecond = 115200.0;

double lineSeconds(size_t bytes)
{
    return static_cast<double>(bytes) * 10.0 / kBitsPerSecond;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string loader = argc > 1 ? argv[1] : "fixed";
    const auto folder = std::filesystem::temp_directory_path() / ("program-load-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    setenv("XDG_CONFIG_HOME", (folder / "user").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (folder / "machine").c_str(), 1);

    std::ofstream(folder / "chip.cfg") << "[EXPECTED ERASE TIME]\n5\n[STARTUP DELAY]\n200\n"
                                          "[MEMORY BANKS]\n1\nCode, x, 0, 0x10000, 16, 0x4000, code\n";
    std::vector<uint8_t> code(kProgramBytes);
    for (size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<uint8_t>(i * 13 + 7);
    std::ofstream(folder / "program.hex") << testing_support::programHex(code);

    zern::chipmodel::ChipSettings settings;
    settings.loaderFlags = loader == "variable" ? 0x0002 : 0x0600;
    testing_support::ChipBoardEmulator board(settings);
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser,
                                               "\\Software\\Quorin Semiconductor\\Tolvane\\ZERNJTAGOptions\\", true);
        key->writeString("ConfigFile", (folder / "chip.cfg").string());
        key->writeString("SerialPort", board.devicePath());
    }
    zern::ZernDevice device(zern::kZernJtagTraits);
    zern::LinkTiming timing;
    timing.firstByteMs = 200;
    timing.dtrResetWaitMs = 1;
    timing.startupPollMs = 1;
    timing.eraseTimeoutUnitMs = 10;
    timing.afterEraseFirstByteMs = 200;
    device.setLinkTiming(timing);
    const std::string logPath = (folder / "traffic.txt").string();
    device.trafficLog().open(logPath);
    const int result = device.LoadProgram((folder / "program.hex").c_str());
    device.trafficLog().close();

    // The traffic log holds every exchange after the link opened.
    std::ifstream log(logPath);
    std::string line;
    size_t written = 0, read = 0, roundTrips = 0;
    char direction = 0;
    while (std::getline(log, line)) {
        if (line.rfind("W: ", 0) == 0 || line.rfind("R: ", 0) == 0) {
            direction = line[0];
            if (direction == 'W')
                ++roundTrips;
        } else if (line.rfind("   ", 0) != 0) {
            continue;
        }
        // Hex pairs stand between the prefix and the ": " before the characters.
        const size_t colon = line.find(": ", 3);
        std::istringstream pairs(line.substr(3, colon - 3));
        std::string pair;
        size_t counted = 0;
        while (pairs >> pair)
            ++counted;
        (direction == 'W' ? written : read) += counted;
    }
    std::filesystem::remove_all(folder);

    const double payload = lineSeconds(kProgramBytes);
    const double wire = lineSeconds(written + read);
    std::printf("program load (%s-length loader): result %d\n", loader.c_str(), result);
    std::printf("payload bytes:        %zu\n", kProgramBytes);
    std::printf("bytes written:        %zu\n", written);
    std::printf("bytes read:           %zu\n", read);
    std::printf("round trips:          %zu\n", roundTrips);
    std::printf("line time at 115200:  %.2f s\n", wire);
    std::printf("payload line time:    %.2f s\n", payload);
    std::printf("wire / payload:       %.2f\n", wire / payload);
    return result == 4 ? 0 : 1;
}
