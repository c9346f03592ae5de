#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "PluginBoundary.h"
#include "ProcessorFamily.h"
#include "ProductKey.h"
#include "QuorinAssembler.h"
#include "Registry.h"
#include "Text.h"

namespace asmplugin {

using tolvane::guarded;
namespace {

constexpr int64_t kWideRomStart = 0x800000;
constexpr int64_t kNarrowRomStart = 0x8000;

std::string hexDigits(int64_t value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(value & 0xFFFFFFFF));
    return text;
}

std::string mappingReport(int64_t from, int64_t to, int digits)
{
    return "Mapping ROM address:  0x" + hexDigits(from, digits) + " to 0x" + hexDigits(to, digits);
}

// The number at the start of the text: the longest leading piece that converts.
std::optional<int> leadingNumber(std::string_view text)
{
    for (std::size_t length = text.size(); length > 0; --length) {
        if (const auto number = parseDecimal(text.substr(0, length)))
            return number;
    }
    return std::nullopt;
}

std::string canonical(const std::string& path)
{
    std::error_code error;
    const auto result = std::filesystem::weakly_canonical(path, error);
    return error ? path : result.string();
}

}  // namespace

int QuorinAssembler::LocateMessage(const char* message, char** file, int* line)
{
    return guarded(tolvane::kStatusFailed, [&] {
        const std::string text = toLower(message ? message : "");
        constexpr std::string_view marker = ": line ";
        const auto position = text.find(marker);
        if (position == std::string::npos)
            return tolvane::kStatusFailed;
        const auto number = leadingNumber(trimmed(std::string_view(text).substr(position + marker.size())));
        if (!number)
            return tolvane::kStatusFailed;

        std::string name = text.substr(0, position);
        if (const auto fileTag = name.find("file:"); fileTag != std::string::npos)
            name = std::string(trimmed(std::string_view(name).substr(fileTag + 5)));
        if (name.ends_with(".glb"))
            return locateInCombinedSource(*number, file, line);

        const Module* module = findModule(modules_, name, 0);
        return module ? handOutLocation(handedMessageFile_, module->sourcePath, *number, file, line)
                      : tolvane::kStatusFailed;
    });
}

int QuorinAssembler::locateInCombinedSource(int messageLine, char** file, int* line)
{
    const auto lines = readLines(combinedSourcePath_);
    if (!lines || messageLine < 1 || messageLine > static_cast<int>(lines->size()))
        return tolvane::kStatusFailed;
    int sourceLine = -1;
    for (int index = messageLine - 1; index >= 0; --index) {
        const std::string& text = (*lines)[index];
        if (hasModuleMarker(text)) {
            const auto name = moduleMarkerName(text);
            if (!name)
                return tolvane::kStatusFailed;
            // Which of the modules sharing this name: count its markers up to here.
            int occurrence = 0;
            for (int earlier = 0; earlier < index; ++earlier) {
                const auto other = moduleMarkerName((*lines)[earlier]);
                occurrence += other && equalsIgnoringCase(*other, *name);
            }
            const Module* module = findModule(modules_, *name, occurrence);
            if (!module)
                module = findModule(modules_, std::filesystem::path(*name).stem().string(), occurrence);
            return module ? handOutLocation(handedMessageFile_, module->sourcePath, sourceLine, file, line)
                          : tolvane::kStatusFailed;
        }
        if (sourceLine == -1 && hasLineMarker(text)) {
            if (const auto number = lineMarkerNumber(text))
                sourceLine = *number;
        }
    }
    return tolvane::kStatusFailed;
}

int QuorinAssembler::AddressToLine(unsigned address, char** file, int* line)
{
    return guarded(tolvane::kStatusFailed, [&] {
        int64_t lookup = address;
        if (const auto base = romMappingBase()) {
            const bool wide = processorFamily_ == kWideAddressFamily;
            const int64_t romStart = wide ? kWideRomStart : kNarrowRomStart;
            if (lookup >= romStart && lookup < romStart + romSize_) {
                const int64_t mapped = lookup - romStart + *base;
                report(mappingReport(lookup, mapped, wide ? 6 : 4));
                lookup = mapped;
            }
        }
        for (const MapEntry& entry : map_) {
            if (entry.address != static_cast<unsigned>(lookup))
                continue;
            if (entry.fileIndex < 0 || entry.fileIndex >= static_cast<int>(sourceFiles_.size()))
                return tolvane::kStatusFailed;
            return handOutLocation(handedAddressFile_, sourceFiles_[entry.fileIndex], entry.line, file, line);
        }
        return tolvane::kStatusFailed;
    });
}

int QuorinAssembler::LineToAddress(const char* file, int line, unsigned* address)
{
    return guarded(tolvane::kStatusFailed, [&] {
        const std::string wanted = canonical(file ? file : "");
        int fileIndex = -1;
        for (std::size_t i = 0; i < sourceFiles_.size() && fileIndex < 0; ++i) {
            if (canonical(sourceFiles_[i]) == wanted)
                fileIndex = static_cast<int>(i);
        }
        if (fileIndex < 0)
            return tolvane::kStatusFailed;
        for (const MapEntry& entry : map_) {
            if (entry.fileIndex != fileIndex || entry.line != line)
                continue;
            int64_t result = entry.address;
            if (const auto base = romMappingBase(); base && result >= *base && result < *base + romSize_) {
                const int64_t romStart = processorFamily_ == kWideAddressFamily ? kWideRomStart : kNarrowRomStart;
                const int64_t mapped = result - *base + romStart;
                report(mappingReport(result, mapped, 6));
                result = mapped;
            }
            if (address)
                *address = static_cast<unsigned>(result);
            return tolvane::kStatusDone;
        }
        return tolvane::kStatusFailed;
    });
}

// Each operation hands out its own text, valid until that operation's next call.
int QuorinAssembler::handOutLocation(std::string& handed, const std::string& path, int lineNumber, char** file,
                                     int* line)
{
    handed = path;
    if (file)
        *file = handed.data();
    if (line)
        *line = lineNumber;
    return tolvane::kStatusDone;
}

std::optional<int> QuorinAssembler::romMappingBase() const
{
    const auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, tolvane::kProductKey, false);
    return key ? key->readInteger("MapROMAddresses") : std::nullopt;
}

}  // namespace asmplugin
