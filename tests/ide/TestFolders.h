#pragma once
// Each test gets its own settings and runtime folders through the XDG
// variables, restored afterwards. The machine-wide device list exists and is
// empty, so that the IDE starts without a device. Also how a test reads back
// a file written there.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <string>

#include "DeviceList.h"
#include "Registry.h"

class ScopedTestFolders {
public:
    ScopedTestFolders()
    {
        QDir(root_.path()).mkpath(QStringLiteral("config"));
        QDir(root_.path()).mkpath(QStringLiteral("machine"));
        QDir(root_.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(runtime(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        set("XDG_CONFIG_HOME", config());
        set("XDG_CONFIG_DIRS", root_.path() + QStringLiteral("/machine"));
        set("XDG_RUNTIME_DIR", runtime());
        platform::RegistryKey::open(platform::RegistryRoot::LocalMachine, devices::kDevicesKey, true);
    }
    ~ScopedTestFolders()
    {
        for (const auto& [name, value] : saved_)
            value.isNull() ? qunsetenv(name.c_str()) : qputenv(name.c_str(), value);
    }

    QString config() const { return root_.path() + QStringLiteral("/config"); }
    QString runtime() const { return root_.path() + QStringLiteral("/runtime"); }
    QString file(const char* name) const { return root_.path() + QLatin1Char('/') + QLatin1String(name); }
    QString registryFile() const { return config() + QStringLiteral("/Tolvane/registry.ini"); }

private:
    void set(const char* name, const QString& value)
    {
        if (!saved_.count(name))
            saved_[name] = qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray();
        qputenv(name, value.toLocal8Bit());
    }

    QTemporaryDir root_;
    std::map<std::string, QByteArray> saved_;
};

// The whole file, or nothing when it cannot be read (not written yet, or gone).
inline QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
