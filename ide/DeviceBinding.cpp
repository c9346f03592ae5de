#include "DeviceBinding.h"

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QMenu>
#include <QThread>
#include <mutex>

#include "DeviceList.h"
#include "DeviceMessageQueue.h"
#include "DeviceTexts.h"
#include "HourglassCursor.h"
#include "MessageBoxes.h"
#include "Registry.h"
#include "TDialogAddDevice.h"
#include "TDialogRemoveFiles.h"

namespace {

// The plug-in's callbacks are plain functions; they reach the one binding
// through this pointer. The lock only guards the pointer against the
// binding's destruction; posting a line never waits for the window thread.
std::mutex bindingLock;
DeviceBinding* currentBinding = nullptr;
DeviceMessageQueue* currentMessages = nullptr;

QString menuCaption(const QString& name)
{
    QString caption = name;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString nameOf(const QAction* item)
{
    return item->data().toString();
}

void removeActionsBetween(QMenu* menu, QAction* first, QAction* last)
{
    const QList<QAction*> actions = menu->actions();
    const qsizetype begin = first ? actions.indexOf(first) + 1 : 0;
    const qsizetype end = actions.indexOf(last);
    for (qsizetype i = begin; i < end; ++i) {
        menu->removeAction(actions[i]);
        delete actions[i];
    }
}

bool isWindowFeature(int feature)
{
    switch (feature) {
    case tolvane::kViewRegisters:
    case tolvane::kViewCallStack:
    case tolvane::kViewMemory:
    case tolvane::kViewStatistics:
    case tolvane::kViewTrace:
    case tolvane::kViewVariables:
    case tolvane::kViewWatches:
        return true;
    default:
        return false;
    }
}

}  // namespace

DeviceBinding::DeviceBinding(DeviceHost& host, DeviceMenus menus, QObject* parent)
    : QObject(parent),
      host_(host),
      menus_(std::move(menus)),
      deviceGroup_(new QActionGroup(this)),
      compilerGroup_(new QActionGroup(this)),
      messages_(new DeviceMessageQueue([this](const QString& line) { host_.addMessage(line); }, this))
{
    deviceGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    connect(menus_.device, &QMenu::aboutToShow, this, &DeviceBinding::MenuDeviceClick);
    connect(menus_.help, &QMenu::aboutToShow, this, &DeviceBinding::MenuHelpClick);
    connect(menus_.compiler, &QMenu::aboutToShow, this, &DeviceBinding::MenuCompilerClick);
    std::lock_guard lock(bindingLock);
    currentBinding = this;
    currentMessages = messages_;
}

DeviceBinding::~DeviceBinding()
{
    {
        std::lock_guard lock(bindingLock);
        currentBinding = nullptr;
        currentMessages = nullptr;
    }
    // The main window has shut its worker down by now.
    FreeDevice();
}

void DeviceBinding::FreeDevice()
{
    if (device_) {
        if (auto release = library_.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport))
            release(device_);
        device_ = nullptr;
    }
    library_.close();
}

void DeviceBinding::OnDeviceMessage(const char* line)
{
    DeviceMessageQueue* messages = nullptr;
    {
        std::lock_guard lock(bindingLock);
        messages = currentMessages;
        if (!messages)
            return;
        if (QThread::currentThread() != messages->thread()) {
            messages->post(line);
            return;
        }
    }
    // On the window thread the binding cannot go away meanwhile, and the
    // lines are delivered at once, outside the lock.
    messages->post(line);
}

void DeviceBinding::OnDeviceMenuItem(const char* caption, int index)
{
    const QString copied = copiedDeviceText(caption);
    DeviceBinding* binding = nullptr;
    {
        std::lock_guard lock(bindingLock);
        binding = currentBinding;
        if (!binding)
            return;
        if (QThread::currentThread() != binding->thread()) {
            QMetaObject::invokeMethod(
                binding, [binding, copied, index] { binding->InsertDeviceMenuItem(copied, index); },
                Qt::QueuedConnection);
            return;
        }
    }
    binding->InsertDeviceMenuItem(copied, index);
}

void DeviceBinding::FlushMessages()
{
    messages_->drain();
}

bool DeviceBinding::LoadDeviceList()
{
    platform::HourglassCursor wait;
    const auto names = devices::loadDeviceList();
    if (!names)
        return false;
    for (int index = 0; index < names->size(); ++index)
        InsertDeviceItem(index, names->at(index));
    return true;
}

QAction* DeviceBinding::InsertEntry(QMenu* menu, QAction* before, const QString& name,
                                    void (DeviceBinding::*execute)(QAction*))
{
    auto* item = new QAction(menuCaption(name), menu);
    item->setData(name);
    connect(item, &QAction::triggered, this, [this, item, execute] { (this->*execute)(item); });
    menu->insertAction(before, item);
    return item;
}

QAction* DeviceBinding::InsertDeviceItem(int index, const QString& name)
{
    QAction* item =
        InsertEntry(menus_.device, menus_.device->actions().value(index), name, &DeviceBinding::ActionSetDeviceExecute);
    item->setCheckable(true);
    deviceGroup_->addAction(item);
    return item;
}

QList<QAction*> DeviceBinding::DeviceItems() const
{
    QList<QAction*> items;
    for (QAction* action : menus_.device->actions())
        if (deviceGroup_->actions().contains(action))
            items << action;
    return items;
}

void DeviceBinding::CheckSelectedDeviceItem()
{
    for (QAction* item : deviceGroup_->actions())
        item->setChecked(device_ && nameOf(item).compare(deviceName_, Qt::CaseInsensitive) == 0);
}

void DeviceBinding::ActionSetDeviceExecute(QAction* item)
{
    item->setChecked(true);
    SelectDevice(nameOf(item));
}

void DeviceBinding::SelectDeviceByName(const QString& name)
{
    for (QAction* item : DeviceItems()) {
        if (nameOf(item).compare(name, Qt::CaseInsensitive) == 0) {
            ActionSetDeviceExecute(item);
            return;
        }
    }
}

void DeviceBinding::SelectFirstDevice()
{
    const QList<QAction*> items = DeviceItems();
    if (!items.isEmpty())
        ActionSetDeviceExecute(items.first());
}

void DeviceBinding::ReleaseDevice()
{
    if (!device_)
        return;
    host_.haltDebugRun();
    FreeDevice();
    host_.deviceChanged(nullptr);
}

void DeviceBinding::SelectDevice(const QString& name)
{
    platform::HourglassCursor wait;
    std::optional<std::string> libraryPath;
    {
        auto key = platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, devices::kDevicesKey, true);
        if (!key) {
            platform::showError("Unable to select device.\r\nCould not read registry settings.");
            CheckSelectedDeviceItem();
            return;
        }
        libraryPath = key->readString(name.toStdString());
    }
    ReleaseDevice();
    deviceName_.clear();
    if (!LoadDevice(name, QString::fromStdString(libraryPath.value_or(std::string())))) {
        CheckSelectedDeviceItem();
        RebuildHelpEntries();
        RebuildDeviceEntries();
        RebuildCompilerItems();
        menus_.compiler->menuAction()->setVisible(false);
        return;
    }
    CheckSelectedDeviceItem();
    host_.deviceChanged(device_);

    device_->SetMessageCallback(&DeviceBinding::OnDeviceMessage);
    device_->SetRegistryName(deviceName_.toLocal8Bit().constData());
    device_->SetDeviceMenuCallback(&DeviceBinding::OnDeviceMenuItem);
    device_->SetLibraryPath(QFile::encodeName(QString::fromStdString(*libraryPath)).constData());
    addressBits_ = device_->GetAddressBits();
    device_->SetDebugLevel(menus_.lowLevelDebug && menus_.lowLevelDebug->isChecked() ? tolvane::kDebugLevelLow
                                                                                     : tolvane::kDebugLevelHigh);
    ApplyFeatures({tolvane::kViewRegisters, tolvane::kViewCallStack, tolvane::kFeatureLoadProgram,
                   tolvane::kFeatureVerifyProgram, tolvane::kFeatureStimulusFile, tolvane::kFeatureDataFile,
                   tolvane::kViewMemory, tolvane::kViewStatistics, tolvane::kViewTrace,
                   tolvane::kFeatureDeviceOptions});
    RebuildHelpEntries();
    RebuildDeviceEntries();
    RebuildCompilerItems();
    menus_.compiler->menuAction()->setVisible(!compilerGroup_->actions().isEmpty());
    SelectCompilerByName(compilerName_);
    sourceExtension_ = copiedDeviceText(device_->GetSourceExtension());
    ApplyFeatures({tolvane::kViewVariables, tolvane::kViewWatches});
    host_.clearDebugWindows();
}

bool DeviceBinding::LoadDevice(const QString& name, const QString& libraryPath)
{
    if (libraryPath.isEmpty() || !library_.open(QFile::encodeName(libraryPath).toStdString())) {
        platform::showError("Unable to select device.\r\nCould not load device library.");
        return false;
    }
    const auto version = library_.function<GetDeviceVersionFn>(kGetDeviceVersionExport);
    const int reported = version ? version() : 0;
    if (reported != tolvane::kDeviceInterfaceVersion) {
        platform::showError("Unable to select device.\r\nIncorrect device version (" + std::to_string(reported)
                            + " != " + std::to_string(tolvane::kDeviceInterfaceVersion) + ").");
        library_.close();
        return false;
    }
    const auto create = library_.function<GetDeviceInstanceFn>(kGetDeviceInstanceExport);
    const auto release = library_.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport);
    device_ = create && release ? create() : nullptr;
    if (!device_) {
        platform::showError("Unable to select device.\r\nCould not create the device object.");
        library_.close();
        return false;
    }
    deviceName_ = name;
    return true;
}

void DeviceBinding::ApplyFeatures(std::initializer_list<int> features)
{
    for (int feature : features) {
        const bool offered = device_->HasFeature(feature);
        const auto actions = menus_.featureActions.find(feature);
        if (actions != menus_.featureActions.end())
            for (QAction* action : actions->second)
                action->setVisible(offered);
        if (!offered && isWindowFeature(feature))
            host_.closeToolWindow(feature);
    }
}

void DeviceBinding::RebuildHelpEntries()
{
    removeActionsBetween(menus_.help, menus_.helpContents, menus_.helpAboutSeparator);
    char** titles = nullptr;
    int count = 0;
    if (!device_ || device_->GetHelpItems(&titles, &count) != tolvane::kStatusDone)
        return;
    for (const QString& title : copiedDeviceTexts(titles, count))
        InsertEntry(menus_.help, menus_.helpAboutSeparator, title, &DeviceBinding::ActionHelpMenuExecute);
}

void DeviceBinding::RebuildDeviceEntries()
{
    removeActionsBetween(menus_.device, menus_.separatorA, menus_.separatorB);
    menus_.separatorB->setVisible(false);
    char** captions = nullptr;
    int count = 0;
    if (!device_ || device_->GetDeviceMenuItems(&captions, &count) != tolvane::kStatusDone)
        return;
    menus_.separatorB->setVisible(count > 0);
    for (const QString& caption : copiedDeviceTexts(captions, count))
        InsertEntry(menus_.device, menus_.separatorB, caption, &DeviceBinding::ActionDeviceMenuExecute);
}

void DeviceBinding::RebuildCompilerItems()
{
    removeActionsBetween(menus_.compiler, nullptr, menus_.compilerSeparator);
    char** names = nullptr;
    int count = 0;
    if (!device_ || device_->GetCompilerList(&names, &count) != tolvane::kStatusDone)
        return;
    for (const QString& name : copiedDeviceTexts(names, count)) {
        QAction* item =
            InsertEntry(menus_.compiler, menus_.compilerSeparator, name, &DeviceBinding::ActionCompilerMenuExecute);
        item->setCheckable(true);
        compilerGroup_->addAction(item);
    }
}

void DeviceBinding::SelectCompilerByName(const QString& name)
{
    for (QAction* item : compilerGroup_->actions()) {
        if (nameOf(item) == name) {
            ActionCompilerMenuExecute(item);
            return;
        }
    }
    QAction* first = menus_.compiler->actions().value(0);
    if (first && compilerGroup_->actions().contains(first))
        ActionCompilerMenuExecute(first);
}

void DeviceBinding::ActionCompilerMenuExecute(QAction* item)
{
    platform::HourglassCursor wait;
    if (device_)
        device_->SelectCompiler(nameOf(item).toLocal8Bit().constData());
    item->setChecked(true);
    compilerName_ = nameOf(item);
}

void DeviceBinding::ActionHelpMenuExecute(QAction* item)
{
    platform::HourglassCursor wait;
    if (device_)
        device_->OpenHelpItem(nameOf(item).toLocal8Bit().constData());
}

void DeviceBinding::ActionDeviceMenuExecute(QAction* item)
{
    platform::HourglassCursor wait;
    if (!device_)
        return;
    device_->RunDeviceMenuItem(nameOf(item).toLocal8Bit().constData());
    host_.deviceMenuItemDone();
}

void DeviceBinding::InsertDeviceMenuItem(const QString& caption, int index)
{
    QAction* item = InsertDeviceItem(index, caption);
    item->setChecked(true);
    deviceName_ = caption;
}

void DeviceBinding::ActionInstallDeviceExecute()
{
    TDialogAddDevice dialog(host_.dialogOwner(), [this](const QString& filter, const QString& extension) {
        return host_.chooseFileToOpen(filter, extension);
    });
    while (dialog.exec() == QDialog::Accepted) {
        const auto result = devices::installDevice(dialog.DeviceName(), dialog.DeviceFile());
        if (result.outcome == devices::InstallOutcome::AskAgain)
            continue;
        if (result.outcome == devices::InstallOutcome::Installed)
            InsertDeviceItem(result.menuIndex, dialog.DeviceName());
        return;
    }
}

void DeviceBinding::ActionRemoveDeviceExecute()
{
    bool opened = false;
    const QStringList names = devices::sortedDeviceNames(&opened);
    if (!opened && !platform::RegistryKey::open(platform::RegistryRoot::CurrentUser, devices::kDevicesKey, true)) {
        platform::showError("Unable to open system registry.");
        return;
    }
    TDialogRemoveFiles dialog(QStringLiteral("devices"), names, host_.dialogOwner());
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (int index : devices::removeDevices(names, dialog.SelectedIndices())) {
        QAction* item = menus_.device->actions().value(index);
        if (item && deviceGroup_->actions().contains(item))
            delete item;
    }
}

void DeviceBinding::ActionDeviceOptionsExecute()
{
    if (!device_ || !device_->ShowDeviceOptions(host_.dialogOwner()))
        return;
    host_.clearDebugWindows();
    RebuildHelpEntries();
}

void DeviceBinding::ActionCompilerOptionsExecute()
{
    if (!device_) {
        platform::messageBoxes().show("Error", "You must first choose a valid device.", platform::BoxButtons::Ok,
                                      platform::BoxIcon::Error);
        return;
    }
    device_->ShowCompilerOptions();
}

void DeviceBinding::MenuDeviceClick()
{
    RebuildDeviceEntries();
}

void DeviceBinding::MenuHelpClick()
{
    RebuildHelpEntries();
}

void DeviceBinding::MenuCompilerClick()
{
    RebuildCompilerItems();
    for (QAction* item : compilerGroup_->actions())
        item->setChecked(nameOf(item) == compilerName_);
}

QString DeviceBinding::deviceCompilerName() const
{
    return device_ ? copiedDeviceText(device_->GetCompilerName()) : QString();
}

bool DeviceBinding::LocateMessage(const QString& messageLine, QString* file, int* line) const
{
    if (!device_)
        return false;
    char* located = nullptr;
    int lineNumber = 0;
    if (device_->LocateMessage(messageLine.toLocal8Bit().constData(), &located, &lineNumber) != tolvane::kStatusDone)
        return false;
    *file = QFile::decodeName(located ? located : "");
    *line = lineNumber;
    return true;
}

QString DeviceBinding::VersionText() const
{
    return device_ ? copiedDeviceText(device_->GetVersionText()) : QString();
}
