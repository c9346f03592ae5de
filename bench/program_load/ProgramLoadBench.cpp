// Loads a 32 KB program into the emulated chip and prints what crossed the
// wire: bytes each way, request/reply round trips, and the line time at the
// port's baud (10 bits a byte) against the line time of the payload alone.
//
//   bench_program_load [jtag|solbus] [fixed|variable]
//
// jtag: ZernJTAG through the adapter board (115200 baud); solbus: ZernBrel
// through the Solbus adapter at overdrive speed (115200 baud).

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ChipBoardEmulator.h"
#include "ChipSolbusEmulator.h"
#include "HexRecords.h"
#include "Registry.h"
#include "ZernBrelTraits.h"
#include "ZernDevice.h"
#include "ZernJtagTraits.h"

namespace {

constexpr size_t kProgramBytes = 32 * 1024;
constexpr double kBitsPerSecond = 115200.0;
const std::string kProductKey = "\\Software\\Quorin Semiconductor\\Tolvane\\";

struct Traffic {
    int result = 0;
    size_t written = 0;
    size_t read = 0;
    size_t roundTrips = 0;
};

double lineSeconds(size_t bytes)
{
    return static_cast<double>(bytes) * 10.0 / kBitsPerSecond;
}

void setOptions(const std::string& optionsKey, const std::filesystem::path& folder, const std::string& port)
{
    auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, kProductKey + optionsKey + "\\", true);
    key->writeString("ConfigFile", (folder / "chip.cfg").string());
    key->writeString("SerialPort", port);
}

zern::LinkTiming quickTiming()
{
    zern::LinkTiming timing;
    timing.firstByteMs = 200;
    timing.dtrResetWaitMs = 1;
    timing.startupPollMs = 1;
    timing.eraseTimeoutUnitMs = 10;
    timing.afterEraseFirstByteMs = 200;
    return timing;
}

// The board's traffic log holds every exchange after the link opened.
Traffic loadOverJtag(const std::filesystem::path& folder, const zern::chipmodel::ChipSettings& settings)
{
    testing_support::ChipBoardEmulator board(settings);
    setOptions("ZERNJTAGOptions", folder, board.devicePath());
    zern::ZernDevice device(zern::kZernJtagTraits);
    device.setLinkTiming(quickTiming());
    const std::string logPath = (folder / "traffic.txt").string();
    device.trafficLog().open(logPath);
    Traffic traffic;
    traffic.result = device.LoadProgram((folder / "program.hex").c_str());
    device.trafficLog().close();

    std::ifstream log(logPath);
    std::string line;
    char direction = 0;
    while (std::getline(log, line)) {
        if (line.rfind("W: ", 0) == 0 || line.rfind("R: ", 0) == 0) {
            direction = line[0];
            if (direction == 'W')
                ++traffic.roundTrips;
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
        (direction == 'W' ? traffic.written : traffic.read) += counted;
    }
    return traffic;
}

// The adapter counts what crosses its line, the opening of the link included.
Traffic loadOverSolbus(const std::filesystem::path& folder, const zern::chipmodel::ChipSettings& settings)
{
    testing_support::ChipSolbusEmulator bus(settings);
    setOptions("ZERNBRELOptions", folder, bus.devicePath());
    zern::ZernDevice device(zern::kZernBrelTraits);
    device.setLinkTiming(quickTiming());
    Traffic traffic;
    traffic.result = device.LoadProgram((folder / "program.hex").c_str());
    const auto counts = bus.adapter().traffic();
    traffic.written = counts.received;
    traffic.read = counts.replied;
    traffic.roundTrips = counts.roundTrips;
    return traffic;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool solbus = !arguments.empty() && arguments.front() == "solbus";
    if (!arguments.empty() && (arguments.front() == "solbus" || arguments.front() == "jtag"))
        arguments.erase(arguments.begin());
    const std::string loader = arguments.empty() ? "fixed" : arguments.front();

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
    const Traffic traffic = solbus ? loadOverSolbus(folder, settings) : loadOverJtag(folder, settings);
    std::filesystem::remove_all(folder);

    const double payload = lineSeconds(kProgramBytes);
    const double wire = lineSeconds(traffic.written + traffic.read);
    std::printf("program load over %s (%s-length loader): result %d\n", solbus ? "the Solbus" : "JTAG", loader.c_str(),
                traffic.result);
    std::printf("payload bytes:        %zu\n", kProgramBytes);
    std::printf("bytes written:        %zu\n", traffic.written);
    std::printf("bytes read:           %zu\n", traffic.read);
    std::printf("round trips:          %zu\n", traffic.roundTrips);
    std::printf("line time at 115200:  %.2f s\n", wire);
    std::printf("payload line time:    %.2f s\n", payload);
    std::printf("wire / payload:       %.2f\n", wire / payload);
    return traffic.result == 4 ? 0 : 1;
}
