#pragma once
// The debug windows against the fake device plug-in, loaded by path and
// driven by a script, through a recording debug view host, docked in a plain
// main window; settings and boxes stay private to each test.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStackedWidget>
#include <QString>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "BreakpointList.h"
#include "DebugViewHost.h"
#include "DynamicLibrary.h"
#include "FakeDeviceScript.h"
#include "MessageBoxes.h"
#include "TDockableForm.h"
#include "TestFolders.h"

class RecordingViewHost : public DebugViewHost {
public:
    AbstractDevice* currentDevice = nullptr;
    int state = 1;
    int bits = 16;
    BreakpointList list;
    QStringList opened;
    QStringList sourceLines;
    QStringList watched;
    int refreshes = 0;
    std::function<void()> onRefresh;

    AbstractDevice* device() const override { return currentDevice; }
    int debugState() const override { return state; }
    int addressBits() const override { return bits; }
    BreakpointList& breakpoints() override { return list; }
    void openFileAtLine(const QString& path, int line) override
    {
        opened << path + QLatin1Char(':') + QString::number(line);
    }
    void showSourceLine(const QString& path, int line) override
    {
        sourceLines << path + QLatin1Char(':') + QString::number(line);
    }
    void addWatch(const QString& name) override { watched << name; }
    void refreshDebugWindows() override
    {
        ++refreshes;
        if (onRefresh)
            onRefresh();
    }
};

// A window that tells whether it shows its controls or "Data is not accessible.".
template <class Form>
class Shown : public Form {
public:
    using Form::Form;
    using TDockableForm::DataNotAccessible;
};

// Whether the window shows "Data is not accessible." in place of its controls,
// told by what is on the screen rather than by the window's own word.
inline bool showsNotAccessible(TDockableForm& form)
{
    auto* pages = form.findChild<QStackedWidget*>(QString(), Qt::FindDirectChildrenOnly);
    auto* label = pages ? qobject_cast<QLabel*>(pages->currentWidget()) : nullptr;
    return label && label->text() == "Data is not accessible.";
}

class DebugViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        script.install();
        ASSERT_TRUE(library_.open(FAKE_DEVICE)) << library_.lastError();
        device = library_.function<GetDeviceInstanceFn>(kGetDeviceInstanceExport)();
        ASSERT_NE(device, nullptr);
        host.currentDevice = device;
        window.resize(1200, 800);
        window.show();
    }
    void TearDown() override
    {
        qDeleteAll(window.findChildren<QDockWidget*>());
        if (device)
            library_.function<FreeDeviceInstanceFn>(kFreeDeviceInstanceExport)(device);
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    // The calls the device saw since the last look that start with the text.
    std::vector<std::string> callsOf(const std::string& prefix)
    {
        std::vector<std::string> found;
        for (const std::string& call : script.takeCalls())
            if (call.rfind(prefix, 0) == 0)
                found.push_back(call);
        return found;
    }
    std::vector<std::string> boxTexts()
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes.boxes)
            texts.push_back(box.text);
        boxes.boxes.clear();
        return texts;
    }

    ScopedTestFolders folders;
    FakeDeviceScript script;
    platform::RecordingMessageBoxes boxes;
    platform::ScopedMessageBoxes scopedBoxes{boxes};
    RecordingViewHost host;
    QMainWindow window;
    AbstractDevice* device = nullptr;

private:
    platform::DynamicLibrary library_;
};
