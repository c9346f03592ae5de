#pragma once
// Reads ZernAsm's listing into the address/line map of a build.

#include <string>
#include <string_view>
#include <vector>

#include "SourceModules.h"

namespace asmplugin {

struct ListingContents {
    // The listing ends with the assembler's success line (with or without
    // warnings); nothing else of it counts otherwise.
    bool successful = false;
    std::vector<std::string> sourceFiles;
    std::vector<MapEntry> map;
    // "Warning : ..." lines, which a quiet run writes only into the listing.
    std::vector<std::string> warnings;
};

// The listing as it was read from its file, taken line by line without copies.
ListingContents readListingText(std::string_view text, const std::vector<Module>& modules, int processorFamily);
ListingContents readListing(const std::vector<std::string>& lines, const std::vector<Module>& modules,
                            int processorFamily);

}  // namespace asmplugin
