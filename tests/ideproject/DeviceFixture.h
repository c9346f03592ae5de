#pragma once
// A device binding over menus like the main window's, a recording host,
// private registry files and the scriptable fake device plug-in.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "DeviceBinding.h"
#include "DeviceList.h"
#include "FakeDeviceScript.h"
#include "MessageBoxes.h"
#include "Registry.h"

class RecordingDeviceHost : public DeviceHost {
public:
    QStringList messages;
    QList<int> closedWindows;
    QList<AbstractDevice*> devices;
    int clears = 0;
    int menuItemsDone = 0;
    std::function<void()> onHalt;
    QWidget owner;

    void addMessage(const QString& line) override { messages << line; }
    void haltDebugRun() override
    {
        if (onHalt)
            onHalt();
    }
    void deviceChanged(AbstractDevice* device) override { devices << device; }
    void closeToolWindow(int id) override { closedWindows << id; }
    void clearDebugWindows() override { ++clears; }
    void deviceMenuItemDone() override { ++menuItemsDone; }
    QWidget* dialogOwner() override { return &owner; }
    QString chooseFileToOpen(const QString&, const QString&) override { return {}; }
};

class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        const std::string root = folder_.path().toStdString();
        setenv("XDG_CONFIG_HOME", (root + "/user").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root + "/machine").c_str(), 1);
        script_.install();
        buildMenus();
        binding_ = std::make_unique<DeviceBinding>(host_, menus_);
    }
    void TearDown() override { binding_.reset(); }

    static void install(platform::RegistryRoot root, const std::map<std::string, std::string>& devices)
    {
        auto key = platform::RegistryKey::open(root, devices::kDevicesKey, true);
        ASSERT_NE(key, nullptr);
        for (const auto& [name, path] : devices)
            key->writeString(name, path);
    }
    void installAndLoad(const std::map<std::string, std::string>& devices)
    {
        install(platform::RegistryRoot::CurrentUser, devices);
        ASSERT_TRUE(binding_->LoadDeviceList());
    }

    QStringList captions(QMenu& menu) const
    {
        QStringList texts;
        for (QAction* action : menu.actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return texts;
    }
    QAction* deviceItem(const QString& caption) const
    {
        for (QAction* action : deviceMenu_.actions())
            if (action->text() == caption)
                return action;
        return nullptr;
    }
    QStringList checkedDeviceItems() const
    {
        QStringList checked;
        for (QAction* action : deviceMenu_.actions())
            if (action->isCheckable() && action->isChecked())
                checked << action->text();
        return checked;
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }

    QTemporaryDir folder_;
    FakeDeviceScript script_;
    platform::RecordingMessageBoxes boxes_;
    platform::ScopedMessageBoxes scopedBoxes_{boxes_};
    RecordingDeviceHost host_;
    QMenu deviceMenu_, helpMenu_, compilerMenu_;
    QAction* loadProgram_ = nullptr;
    QAction* deviceOptions_ = nullptr;
    QAction* showRegisters_ = nullptr;
    QAction* showMemory_ = nullptr;
    QAction* showWatches_ = nullptr;
    QAction* lowLevel_ = nullptr;
    DeviceMenus menus_;
    std::unique_ptr<DeviceBinding> binding_;

private:
    void buildMenus()
    {
        menus_.device = &deviceMenu_;
        menus_.deviceCommandsSeparator = deviceMenu_.addSeparator();
        loadProgram_ = deviceMenu_.addAction("Load...");
        deviceMenu_.addAction("Verify...");
        deviceMenu_.addAction("Set Stimulus File...");
        deviceMenu_.addAction("Set Data File...");
        deviceOptions_ = deviceMenu_.addAction("Options...");
        menus_.separatorA = deviceMenu_.addSeparator();
        menus_.separatorB = deviceMenu_.addSeparator();
        deviceMenu_.addAction("Install New Device...");
        deviceMenu_.addAction("Remove Device...");
        menus_.help = &helpMenu_;
        menus_.helpContents = helpMenu_.addAction("&Contents");
        menus_.helpAboutSeparator = helpMenu_.addSeparator();
        helpMenu_.addAction("&About...");
        menus_.compiler = &compilerMenu_;
        menus_.compilerSeparator = compilerMenu_.addSeparator();
        compilerMenu_.addAction("Options...");
        lowLevel_ = new QAction("Low-Level Debug", &host_.owner);
        lowLevel_->setCheckable(true);
        menus_.lowLevelDebug = lowLevel_;
        showRegisters_ = new QAction("Registers", &host_.owner);
        showMemory_ = new QAction("Memory", &host_.owner);
        showWatches_ = new QAction("Watches", &host_.owner);
        menus_.featureActions = {{24, {showRegisters_}},
                                 {25, {showMemory_}},
                                 {31, {showWatches_}},
                                 {35, {loadProgram_}},
                                 {34, {deviceOptions_, menus_.separatorA}}};
    }
};
