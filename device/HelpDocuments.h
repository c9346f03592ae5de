#pragma once
// The documents a device plug-in offers for the configured chip: the titles
// whose files sit in the "Docs" folder beside the plug-in library, and opening
// one of them with the desktop's association.

#include <cstdint>
#include <functional>
#include <string>

#include "TextArray.h"

namespace zern {

// The chip id as the document names carry it: at least four upper-case
// hexadecimal digits.
std::string chipIdText(int32_t deviceId);

class HelpDocuments {
public:
    // The titles whose files exist, in table order. Built on the first call
    // after a discard, since the chip id or the plug-in folder may have changed.
    TextArray& titles(const std::string& libraryPath, int32_t deviceId);
    void discard() { built_ = false; }

    // Opens the document of a title of the table; an unknown title does
    // nothing. A failure is reported as one line.
    void open(const std::string& title, const std::string& libraryPath, int32_t deviceId,
              const std::function<void(const std::string&)>& report) const;

private:
    TextArray titles_;
    bool built_ = false;
};

}  // namespace zern
