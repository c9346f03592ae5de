#include "MainSettings.h"

#include <charconv>
#include <vector>

#include "Registry.h"

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

std::optional<int> parseInteger(const std::string& text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::unique_ptr<RegistryKey> openSettings(bool create)
{
    return RegistryKey::open(RegistryRoot::CurrentUser, kSettingsKey, create);
}

void readInto(const RegistryKey& key, const char* name, bool& value)
{
    if (const auto read = key.readBool(name))
        value = *read;
}

void readInto(const RegistryKey& key, const char* name, std::string& value, std::vector<std::string>& tooLong)
{
    const auto read = key.readString(name);
    if (read && read->size() > kMaxSettingLength)
        tooLong.push_back(name);
    else if (read)
        value = *read;
}

void readPositiveInto(const RegistryKey& key, const char* name, int& value)
{
    if (const auto read = key.readInteger(name); read && *read > 0)
        value = *read;
}

SavedWindowState stateFrom(std::optional<int> value)
{
    if (value == int(SavedWindowState::Minimized))
        return SavedWindowState::Minimized;
    if (value == int(SavedWindowState::Maximized))
        return SavedWindowState::Maximized;
    return SavedWindowState::Normal;
}

}  // namespace

std::optional<WindowBounds> parseBounds(const std::string& text)
{
    std::vector<int> numbers;
    std::string::size_type start = 0;
    while (numbers.size() < 5) {
        const auto colon = text.find(':', start);
        const auto number = parseInteger(text.substr(start, colon - start));
        if (!number)
            return std::nullopt;
        numbers.push_back(*number);
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    if (numbers.size() != 4 || numbers[2] <= 0 || numbers[3] <= 0)
        return std::nullopt;
    return WindowBounds{numbers[0], numbers[1], numbers[2], numbers[3]};
}

std::string formatBounds(const WindowBounds& bounds)
{
    return std::to_string(bounds.top) + ':' + std::to_string(bounds.left) + ':' + std::to_string(bounds.height) + ':'
           + std::to_string(bounds.width);
}

StartSettings readStartSettings()
{
    StartSettings settings;
    const auto key = openSettings(false);
    if (!key)
        return settings;
    settings.keyExists = true;
    if (key->hasValue("AlwaysAllowRun"))
        settings.alwaysAllowRun = key->readBool("AlwaysAllowRun").value_or(false);
    readInto(*key, "FontName", settings.font.name, settings.tooLong);
    readInto(*key, "FontBold", settings.font.bold);
    readInto(*key, "FontItalic", settings.font.italic);
    readPositiveInto(*key, "FontSize", settings.font.size);
    if (const auto charset = key->readInteger("FontCharset"))
        settings.font.charset = *charset;
    readInto(*key, "PrintLineNums", settings.printLineNumbers);
    readPositiveInto(*key, "TabSize", settings.tabSize);
    readInto(*key, "UseTabs", settings.useTabs);
    readInto(*key, "SaveDir", settings.saveDir, settings.tooLong);
    readInto(*key, "OpenDir", settings.openDir, settings.tooLong);
    readInto(*key, "Device", settings.device, settings.tooLong);
    readInto(*key, "Compiler", settings.compiler, settings.tooLong);
    if (const auto bounds = key->readString("Bounds"); bounds && !bounds->empty())
        settings.bounds = parseBounds(*bounds);
    settings.state = stateFrom(key->readInteger("State"));
    return settings;
}

bool multipleInstancesAllowed()
{
    const auto key = openSettings(false);
    return key && key->readBool("AllowMultipleInstances").value_or(false);
}

bool writeClosingSettings(const ClosingSettings& settings)
{
    const auto key = openSettings(true);
    if (!key)
        return false;
    bool written = key->writeString("SaveDir", settings.saveDir) && key->writeString("OpenDir", settings.openDir)
                   && key->writeString("Device", settings.device);
    if (settings.compiler)
        written = written && key->writeString("Compiler", *settings.compiler);
    return written && key->writeString("Bounds", formatBounds(settings.bounds))
           && key->writeInteger("State", int(settings.state));
}
