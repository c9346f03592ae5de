#pragma once
// The selected device plug-in: the installed list in the Device menu,
// loading and version check, the object's callbacks, and the Help, Device
// and Compiler menu entries built from the device's answers. Owned by the
// main window; at most one exists at a time (the plug-in's callbacks are
// plain functions that reach it).

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

#include "AbstractDevice.h"
#include "DeviceHost.h"
#include "DynamicLibrary.h"

class QAction;
class QActionGroup;
class QMenu;
class DeviceMessageQueue;

class DeviceBinding : public QObject {
    Q_OBJECT
public:
    DeviceBinding(DeviceHost& host, DeviceMenus menus, QObject* parent = nullptr);
    ~DeviceBinding() override;

    // Fills the device radio items; false (after a box) when the program must end.
    bool LoadDeviceList();
    void SelectDevice(const QString& name);
    void SelectDeviceByName(const QString& name);
    // Runs the Device menu's first item (used when no device is saved).
    void SelectFirstDevice();
    void SelectCompilerByName(const QString& name);
    void ActionSetDeviceExecute(QAction* item);
    void ActionCompilerMenuExecute(QAction* item);
    void ActionHelpMenuExecute(QAction* item);
    void ActionDeviceMenuExecute(QAction* item);
    void ActionInstallDeviceExecute();
    void ActionRemoveDeviceExecute();
    void ActionDeviceOptionsExecute();
    void ActionCompilerOptionsExecute();
    void MenuDeviceClick();
    void MenuHelpClick();
    void MenuCompilerClick();
    void InsertDeviceMenuItem(const QString& caption, int index);

    // Frees the device object, then unloads its library.
    void ReleaseDevice();

    AbstractDevice* device() const { return device_; }
    const QString& deviceName() const { return deviceName_; }
    const QString& compilerName() const { return compilerName_; }
    // The device's compiler name (copied), empty without a device.
    QString deviceCompilerName() const;
    int addressBits() const { return addressBits_; }
    const QString& sourceExtension() const { return sourceExtension_; }

    // Asks the device which file and line a message line is about.
    bool LocateMessage(const QString& messageLine, QString* file, int* line) const;
    // The device's version text, copied; empty without a device.
    QString VersionText() const;

    // Delivers queued device messages now (tests, and before a build's own lines).
    void FlushMessages();

private:
    static void OnDeviceMessage(const char* line);
    static void OnDeviceMenuItem(const char* caption, int index);

    bool LoadDevice(const QString& name, const QString& libraryPath);
    void FreeDevice();
    void ApplyFeatures(std::initializer_list<int> features);
    void RebuildHelpEntries();
    void RebuildDeviceEntries();
    void RebuildCompilerItems();
    // A menu entry for the name (its caption escapes "&"), clicking `execute`.
    QAction* InsertEntry(QMenu* menu, QAction* before, const QString& name, void (DeviceBinding::*execute)(QAction*));
    // A device radio item at this index of the Device menu.
    QAction* InsertDeviceItem(int index, const QString& name);
    QList<QAction*> DeviceItems() const;
    // Only the selected device's item stays checked; none without a device.
    void CheckSelectedDeviceItem();

    DeviceHost& host_;
    DeviceMenus menus_;
    QActionGroup* deviceGroup_;
    QActionGroup* compilerGroup_;
    DeviceMessageQueue* messages_;
    platform::DynamicLibrary library_;
    AbstractDevice* device_ = nullptr;
    QString deviceName_;
    QString compilerName_;
    int addressBits_ = 0;
    QString sourceExtension_ = QStringLiteral("asm");
};
