#include "DeviceList.h"

#include <QFileInfo>
#include <algorithm>

#include "MessageBoxes.h"
#include "Registry.h"

namespace devices {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

QStringList namesOf(const RegistryKey& key)
{
    QStringList names;
    for (const std::string& name : key.valueNames())
        names << QString::fromStdString(name);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

bool copyMachineWideList()
{
    if (!QFileInfo::exists(QString::fromStdString(platform::registryFile(RegistryRoot::LocalMachine))))
        platform::showError("HKLM does not exist.");
    auto machine = RegistryKey::open(RegistryRoot::LocalMachine, kDevicesKey, false);
    if (!machine) {
        platform::showError("No devices found in the registry!");
        return false;
    }
    auto user = RegistryKey::open(RegistryRoot::CurrentUser, kDevicesKey, true);
    if (!user) {
        platform::showError("Unable to create required registry keys!");
        return false;
    }
    for (const std::string& name : machine->valueNames())
        user->writeString(name, machine->readString(name).value_or(std::string()));
    return true;
}

}  // namespace

std::optional<QStringList> loadDeviceList()
{
    if (!RegistryKey::exists(RegistryRoot::CurrentUser, kDevicesKey) && !copyMachineWideList())
        return std::nullopt;
    return sortedDeviceNames();
}

QStringList sortedDeviceNames(bool* opened)
{
    auto key = RegistryKey::open(RegistryRoot::CurrentUser, kDevicesKey, false);
    if (opened)
        *opened = key != nullptr;
    return key ? namesOf(*key) : QStringList();
}

InstallResult installDevice(const QString& name, const QString& libraryPath)
{
    if (name.isEmpty()) {
        platform::showError("You must specify a name for the device.");
        return {InstallOutcome::AskAgain};
    }
    if (libraryPath.isEmpty()) {
        platform::showError("You must specify a device file.");
        return {InstallOutcome::AskAgain};
    }
    if (!QFileInfo(libraryPath).isFile()) {
        platform::showError("The selected device file does not exist.");
        return {InstallOutcome::AskAgain};
    }
    auto key = RegistryKey::open(RegistryRoot::CurrentUser, kDevicesKey, true);
    if (!key) {
        platform::showError("Unable to open system registry.");
        return {InstallOutcome::Abandoned};
    }
    QStringList names = namesOf(*key);
    for (const QString& existing : names) {
        if (existing.compare(name, Qt::CaseInsensitive) == 0) {
            platform::showError("A device already exists with this name.");
            return {InstallOutcome::AskAgain};
        }
    }
    const auto position = std::lower_bound(names.begin(), names.end(), name, [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    const int index = static_cast<int>(position - names.begin());
    if (!key->writeString(name.toStdString(), libraryPath.toStdString())) {
        platform::showError("Unable to open system registry.");
        return {InstallOutcome::Abandoned};
    }
    return {InstallOutcome::Installed, index};
}

QList<int> removeDevices(const QStringList& sortedNames, QList<int> selectedIndices)
{
    QList<int> removed;
    auto key = RegistryKey::open(RegistryRoot::CurrentUser, kDevicesKey, true);
    if (!key) {
        platform::showError("Unable to open system registry.");
        return removed;
    }
    std::sort(selectedIndices.begin(), selectedIndices.end(), std::greater<int>());
    for (int index : selectedIndices) {
        if (index < 0 || index >= sortedNames.size())
            continue;
        key->deleteValue(sortedNames[index].toStdString());
        removed << index;
    }
    return removed;
}

}  // namespace devices
