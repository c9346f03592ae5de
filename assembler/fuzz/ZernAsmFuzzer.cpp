// libFuzzer target over the whole assembler run: the first byte picks the
// options, the rest is the source. Every run starts from fresh state.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "Driver.h"

namespace {

FILE* g_sink = nullptr;
std::string g_workFolder;
std::string g_startFolder;

std::vector<std::string> OptionsFrom(uint8_t selector)
{
    std::vector<std::string> options = {"zernasm", "-q"};
    static const char* const kCores[] = {nullptr, "-w", "-w32", "-w16"};
    if (const char* core = kCores[selector & 3])
        options.push_back(core);
    if (selector & 4)
        options.push_back("-l");
    if (selector & 8)
        options.push_back("-b");
    if (selector & 16)
        options.push_back("-h");
    if ((selector & 96) == 32)
        options.push_back("-c");
    if ((selector & 96) == 64)
        options.push_back("-C");
    if (selector & 128)
        options.push_back("-acc=8");
    options.push_back("fuzz.asm");
    return options;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char folder[] = "/tmp/zernasm-fuzz-XXXXXX";
    char start[4096];
    if (!mkdtemp(folder) || !getcwd(start, sizeof start))
        abort();
    g_workFolder = folder;
    g_startFolder = start;
    g_sink = fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The assembler writes its outputs into the current folder; libFuzzer's own
    // corpus paths are relative to the start folder.
    if (chdir(g_workFolder.c_str()) != 0)
        abort();
    FILE* source = fopen("fuzz.asm", "wb");
    if (!source)
        abort();
    fwrite(data + 1, 1, size - 1, source);
    fclose(source);
    const std::vector<std::string> options = OptionsFrom(data[0]);
    std::vector<const char*> argv;
    for (const std::string& option : options)
        argv.push_back(option.c_str());
    const int status =
        zernasm::RunZernAsm(static_cast<int>(argv.size()), argv.data(), zernasm::Console{g_sink, g_sink});
    if (status < 0 || status > 255)
        abort();
    if (chdir(g_startFolder.c_str()) != 0)
        abort();
    return 0;
}
