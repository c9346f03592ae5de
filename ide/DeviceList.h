#pragma once
// The installed device plug-ins: one string value per device under the
// current user's "Devices" key (name = menu caption, data = library path),
// copied from the machine-wide key on first start.

#include <QString>
#include <QStringList>
#include <optional>

#include "ProductKey.h"

namespace devices {

inline constexpr char kDevicesKey[] = TOLVANE_PRODUCT_KEY "\\Devices";

// Copies the machine-wide list on first start and gives the installed names,
// sorted case-insensitively. Empty (after a box) when the program must end.
std::optional<QStringList> loadDeviceList();

// The installed names, sorted case-insensitively; empty when the key cannot
// be opened (then `opened` is false).
QStringList sortedDeviceNames(bool* opened = nullptr);

enum class InstallOutcome { Installed, AskAgain, Abandoned };
struct InstallResult {
    InstallOutcome outcome;
    int menuIndex = -1;  // index of the new name in the sorted list
};
// Checks the entry (boxes for each refusal) and writes it when accepted.
InstallResult installDevice(const QString& name, const QString& libraryPath);

// Removes the entries at these indices of the sorted list, from the last to
// the first; returns the indices removed, highest first.
QList<int> removeDevices(const QStringList& sortedNames, QList<int> selectedIndices);

}  // namespace devices
