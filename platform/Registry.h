#pragma once
// Registry keys over INI files. A registry path such as
// "\Software\Quorin Semiconductor\Tolvane\Devices" maps one to one onto the
// INI group "Software/Quorin Semiconductor/Tolvane/Devices". The current
// user's root is $XDG_CONFIG_HOME/Tolvane/registry.ini, the machine-wide root
// is Tolvane/registry.ini in the first folder of $XDG_CONFIG_DIRS.

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSettings;
class QString;

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

std::string registryFile(RegistryRoot root);
// Why the root's file cannot be used ("not a regular file"), or nothing when
// it can or does not exist yet. Such a root reads as empty for the rest of
// the process and what is written to it goes elsewhere: the file stays as it is.
std::optional<std::string> registryFileProblem(RegistryRoot root);

class RegistryKey {
public:
    // Opens a key. Without create, a key that does not exist gives null and
    // nothing is written to disk.
    static std::unique_ptr<RegistryKey> open(RegistryRoot root, const std::string& path, bool create);
    static bool exists(RegistryRoot root, const std::string& path);
    static bool remove(RegistryRoot root, const std::string& path);

    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool hasValue(const std::string& name) const;
    std::optional<std::string> readString(const std::string& name) const;
    // Empty when the value is missing or is not a number / a boolean.
    std::optional<int> readInteger(const std::string& name) const;
    std::optional<bool> readBool(const std::string& name) const;

    bool writeString(const std::string& name, const std::string& value);
    bool writeInteger(const std::string& name, int value);
    bool writeBool(const std::string& name, bool value);
    bool deleteValue(const std::string& name);

    std::vector<std::string> valueNames() const;
    std::vector<std::string> subkeyNames() const;

private:
    RegistryKey(std::unique_ptr<QSettings> settings, std::string group);
    bool write(const std::string& name, const QString& text);

    std::unique_ptr<QSettings> settings_;
    std::string group_;
};

}  // namespace platform
