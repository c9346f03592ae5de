#include "Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <unistd.h>

#include "UserFile.h"

namespace platform {
namespace {

// An INI file cannot hold an empty group, so a created key that holds
// nothing carries this value, and only for as long as it holds nothing.
// Encoded names never hold a bare '%', so it cannot clash.
const QString kKeyMarker = QStringLiteral("%key");

QString markerIn(const QString& group)
{
    return group.isEmpty() ? kKeyMarker : group + QLatin1Char('/') + kKeyMarker;
}

// The key above; none above the root.
std::optional<QString> parentOf(const QString& group)
{
    if (group.isEmpty())
        return std::nullopt;
    const auto slash = group.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : group.left(slash);
}

// The key now holds something: neither it nor any key above it needs a marker.
void dropMarkers(QSettings& settings, std::optional<QString> group)
{
    for (; group; group = parentOf(*group))
        if (settings.contains(markerIn(*group)))
            settings.remove(markerIn(*group));
}

// Names may hold '/', which QSettings reads as a group separator.
QString encodeName(const std::string& name)
{
    QString text = QString::fromUtf8(name);
    text.replace(QLatin1Char('%'), QStringLiteral("%25"));
    text.replace(QLatin1Char('/'), QStringLiteral("%2F"));
    return text;
}

std::string decodeName(const QString& encoded)
{
    QString text = encoded;
    text.replace(QStringLiteral("%2F"), QStringLiteral("/"));
    text.replace(QStringLiteral("%25"), QStringLiteral("%"));
    return text.toStdString();
}

QString groupFor(const std::string& path)
{
    QStringList parts;
    std::string part;
    for (char c : path + '\\') {
        if (c == '\\') {
            if (!part.empty())
                parts << encodeName(part);
            part.clear();
        } else {
            part += c;
        }
    }
    return parts.join(QLatin1Char('/'));
}

std::string environmentOr(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

// A settings file holds a few device paths and options: anything this large is no settings file.
constexpr std::uint64_t kMaxRegistryFileBytes = 4 * kMegabyte;

std::optional<std::string> unusableBecause(const std::string& path)
{
    const UserFileCheck check = checkUserFile(path, kMaxRegistryFileBytes);
    if (check.state == UserFileState::Missing)
        return std::nullopt;
    if (!check.readable())
        return check.reason;
    // Writing through a settings object that could not parse its file would
    // replace the file with the little it understood.
    const QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
    if (settings.status() == QSettings::FormatError)
        return "not a settings file";
    if (settings.status() != QSettings::NoError)
        return "it cannot be read";
    return std::nullopt;
}

// A root whose file cannot be used works on an empty file of this process
// instead: the program runs with defaults and never writes over the user's file.
class StandIns {
public:
    ~StandIns()
    {
        for (const auto& [real, standIn] : files_)
            std::remove(standIn.path.c_str());
    }

    std::string workingFile(const std::string& real)
    {
        std::lock_guard lock(mutex_);
        if (const auto found = files_.find(real); found != files_.end())
            return found->second.path;
        auto reason = unusableBecause(real);
        if (!reason)
            return real;
        std::string path = QDir::tempPath().toStdString() + "/tolvane-registry-XXXXXX.ini";
        const int fd = mkstemps(path.data(), 4);
        if (fd < 0)
            path = "/dev/null";
        else
            ::close(fd);
        files_[real] = {path, std::move(*reason)};
        return path;
    }

    std::optional<std::string> problem(const std::string& real)
    {
        workingFile(real);
        std::lock_guard lock(mutex_);
        const auto found = files_.find(real);
        return found == files_.end() ? std::nullopt : std::optional<std::string>(found->second.reason);
    }

private:
    struct StandIn {
        std::string path;
        std::string reason;
    };
    std::mutex mutex_;
    std::map<std::string, StandIn> files_;
};

StandIns& standIns()
{
    static StandIns instance;
    return instance;
}

std::unique_ptr<QSettings> settingsFor(RegistryRoot root)
{
    const std::string file = standIns().workingFile(registryFile(root));
    return std::make_unique<QSettings>(QString::fromStdString(file), QSettings::IniFormat);
}

bool groupHasContent(QSettings& settings, const QString& group)
{
    if (group.isEmpty())
        return !settings.allKeys().isEmpty();
    settings.beginGroup(group);
    const bool any = !settings.allKeys().isEmpty();
    settings.endGroup();
    return any;
}

}  // namespace

std::string registryFile(RegistryRoot root)
{
    if (root == RegistryRoot::CurrentUser) {
        const std::string home = environmentOr("HOME", "/tmp");
        return environmentOr("XDG_CONFIG_HOME", home + "/.config") + "/Tolvane/registry.ini";
    }
    std::string dirs = environmentOr("XDG_CONFIG_DIRS", "/etc/xdg");
    const auto colon = dirs.find(':');
    if (colon != std::string::npos)
        dirs.resize(colon);
    if (dirs.empty())
        dirs = "/etc/xdg";
    return dirs + "/Tolvane/registry.ini";
}

std::optional<std::string> registryFileProblem(RegistryRoot root)
{
    return standIns().problem(registryFile(root));
}

RegistryKey::RegistryKey(std::unique_ptr<QSettings> settings, std::string group)
    : settings_(std::move(settings)), group_(std::move(group))
{}

RegistryKey::~RegistryKey()
{
    if (settings_)
        settings_->sync();
}

std::unique_ptr<RegistryKey> RegistryKey::open(RegistryRoot root, const std::string& path, bool create)
{
    const QString group = groupFor(path);
    if (!create && !exists(root, path))
        return nullptr;
    auto settings = settingsFor(root);
    if (create && !groupHasContent(*settings, group)) {
        settings->setValue(markerIn(group), QString());
        dropMarkers(*settings, parentOf(group));
        settings->sync();
        if (settings->status() != QSettings::NoError)
            return nullptr;
    }
    return std::unique_ptr<RegistryKey>(new RegistryKey(std::move(settings), group.toStdString()));
}

bool RegistryKey::exists(RegistryRoot root, const std::string& path)
{
    if (!QFileInfo::exists(QString::fromStdString(registryFile(root))))
        return false;
    auto settings = settingsFor(root);
    return groupHasContent(*settings, groupFor(path));
}

bool RegistryKey::remove(RegistryRoot root, const std::string& path)
{
    if (!exists(root, path))
        return false;
    auto settings = settingsFor(root);
    settings->remove(groupFor(path));
    settings->sync();
    return settings->status() == QSettings::NoError;
}

namespace {
QString fullName(const std::string& group, const std::string& name)
{
    const QString encoded = encodeName(name);
    return group.empty() ? encoded : QString::fromStdString(group) + QLatin1Char('/') + encoded;
}
}  // namespace

bool RegistryKey::hasValue(const std::string& name) const
{
    return settings_->contains(fullName(group_, name));
}

std::optional<std::string> RegistryKey::readString(const std::string& name) const
{
    const QString key = fullName(group_, name);
    if (!settings_->contains(key))
        return std::nullopt;
    return settings_->value(key).toString().toStdString();
}

std::optional<int> RegistryKey::readInteger(const std::string& name) const
{
    const auto text = readString(name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = QString::fromStdString(*text).trimmed().toInt(&ok, 0);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<bool> RegistryKey::readBool(const std::string& name) const
{
    const auto text = readString(name);
    if (!text)
        return std::nullopt;
    const QString value = QString::fromStdString(*text).trimmed().toLower();
    if (value == QLatin1String("true"))
        return true;
    if (value == QLatin1String("false"))
        return false;
    bool ok = false;
    const int number = value.toInt(&ok, 0);
    return ok ? std::optional<bool>(number != 0) : std::nullopt;
}

bool RegistryKey::write(const std::string& name, const QString& text)
{
    settings_->setValue(fullName(group_, name), text);
    dropMarkers(*settings_, QString::fromStdString(group_));
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

bool RegistryKey::writeString(const std::string& name, const std::string& value)
{
    return write(name, QString::fromStdString(value));
}

bool RegistryKey::writeInteger(const std::string& name, int value)
{
    return write(name, QString::number(value));
}

bool RegistryKey::writeBool(const std::string& name, bool value)
{
    return write(name, value ? QStringLiteral("true") : QStringLiteral("false"));
}

bool RegistryKey::deleteValue(const std::string& name)
{
    const QString key = fullName(group_, name);
    if (!settings_->contains(key))
        return false;
    settings_->remove(key);
    if (!groupHasContent(*settings_, QString::fromStdString(group_)))
        settings_->setValue(markerIn(QString::fromStdString(group_)), QString());
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

std::vector<std::string> RegistryKey::valueNames() const
{
    settings_->beginGroup(QString::fromStdString(group_));
    const QStringList keys = settings_->childKeys();
    settings_->endGroup();
    std::vector<std::string> names;
    for (const QString& key : keys)
        if (key != kKeyMarker)
            names.push_back(decodeName(key));
    return names;
}

std::vector<std::string> RegistryKey::subkeyNames() const
{
    settings_->beginGroup(QString::fromStdString(group_));
    const QStringList groups = settings_->childGroups();
    settings_->endGroup();
    std::vector<std::string> names;
    for (const QString& group : groups)
        names.push_back(decodeName(group));
    return names;
}

}  // namespace platform
