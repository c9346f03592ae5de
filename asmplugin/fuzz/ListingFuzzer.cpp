// Feeds arbitrary listings and message lines to the plug-in's readers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ListingReader.h"
#include "QuorinAssembler.h"
#include "Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = asmplugin::splitLines(text);

    static const std::vector<asmplugin::Module> modules = {{"main", "/src/main.asm"}, {"main", "/other/main.asm"}};
    for (const int family : {10, 30}) {
        const auto contents = asmplugin::readListing(lines, modules, family);
        for (const auto& entry : contents.map) {
            if (entry.fileIndex >= static_cast<int>(contents.sourceFiles.size()))
                __builtin_trap();
        }
        // The build reads the listing's text in place; it must see what the line list gives.
        const auto inPlace = asmplugin::readListingText(text, modules, family);
        if (inPlace.successful != contents.successful || inPlace.map != contents.map
            || inPlace.sourceFiles != contents.sourceFiles || inPlace.warnings != contents.warnings)
            __builtin_trap();
    }

    asmplugin::QuorinAssembler compiler;
    char* file = nullptr;
    int number = 0;
    compiler.LocateMessage(text.c_str(), &file, &number);
    return 0;
}
