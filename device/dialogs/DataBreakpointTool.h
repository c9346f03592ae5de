#pragma once
// The Device menu's "Set Data Breakpoint" (kDataBreakpointCaption): asks which of the two data
// breakpoints and its address, and sets it on the open link. It acts only
// while a link is open; it never connects.

#include <QString>

namespace zern {

class ZernDevice;

// What the dialog shows again next time.
struct DataBreakpointEntry {
    bool second = false;
    QString address = QStringLiteral("0xFFFFFFFF");
};

void runDataBreakpointTool(ZernDevice& device, DataBreakpointEntry& entry);

}  // namespace zern
