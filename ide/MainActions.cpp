#include "MainActions.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QStyle>

namespace {

class ActionFactory {
public:
    explicit ActionFactory(QObject* owner) : owner_(owner) {}

    QAction* operator()(const char* caption, const char* shortcut = nullptr, bool enabled = true) const
    {
        auto* action = new QAction(QString::fromLatin1(caption), owner_);
        if (shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        action->setEnabled(enabled);
        return action;
    }

    QAction* withIcon(QStyle::StandardPixmap pixmap, const char* caption, const char* shortcut = nullptr,
                      bool enabled = true) const
    {
        QAction* action = (*this)(caption, shortcut, enabled);
        action->setIcon(QApplication::style()->standardIcon(pixmap));
        return action;
    }

    // The desktop theme's icon of that name, else the one shipped under the
    // same name: many themes have no editing icons.
    QAction* withThemeIcon(const char* theme, const char* caption, const char* shortcut = nullptr,
                           bool enabled = true) const
    {
        QAction* action = (*this)(caption, shortcut, enabled);
        const QString name = QString::fromLatin1(theme);
        action->setIcon(QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/") + name + QStringLiteral(".xpm"))));
        return action;
    }

private:
    QObject* owner_;
};

constexpr bool kDisabled = false;

}  // namespace

MainActions createMainActions(QObject* owner)
{
    const ActionFactory action(owner);
    MainActions a{};

    a.newFile = action.withIcon(QStyle::SP_FileIcon, "New File", "Ctrl+N");
    a.openFile = action.withIcon(QStyle::SP_DialogOpenButton, "Open File...", "Ctrl+O");
    a.saveFile = action.withIcon(QStyle::SP_DialogSaveButton, "Save File", "Ctrl+S", kDisabled);
    a.saveFileAs = action("Save As...", nullptr, kDisabled);
    a.closeFile = action("Close File", nullptr, kDisabled);
    a.print = action("Print...", nullptr, kDisabled);
    a.exit = action("Exit");

    a.newProject = action("New Project");
    a.openProject = action("Open Project...");
    a.saveProject = action("Save Project", nullptr, kDisabled);
    a.saveProjectAs = action("Save Project As...", nullptr, kDisabled);
    a.closeProject = action("Close Project", nullptr, kDisabled);
    a.addFiles = action("Add Files...", nullptr, kDisabled);
    a.removeFile = action("Remove File", nullptr, kDisabled);
    a.make = action.withIcon(QStyle::SP_BrowserReload, "Make", "F7", kDisabled);
    a.buildAll = action.withIcon(QStyle::SP_DialogApplyButton, "Build All", nullptr, kDisabled);

    a.undo = action("Undo", "Ctrl+Z", kDisabled);
    a.cut = action.withThemeIcon("edit-cut", "Cut", "Ctrl+X", kDisabled);
    a.copy = action.withThemeIcon("edit-copy", "Copy", "Ctrl+C", kDisabled);
    a.paste = action.withThemeIcon("edit-paste", "Paste", "Ctrl+V", kDisabled);
    a.deleteSelection = action("Delete", nullptr, kDisabled);
    a.selectAll = action("Select All", "Ctrl+A", kDisabled);
    a.find = action("Find...", "Ctrl+F", kDisabled);
    a.findNext = action("Find Next", "F3", kDisabled);
    a.replace = action("Replace...", "Ctrl+H", kDisabled);
    a.findInFiles = action("Find In Files...");
    a.goToLine = action("Go To Line...", "Ctrl+G", kDisabled);
    a.tabOptions = action("Tab Options...");
    a.convertTabs = action("Convert Tabs To Spaces", nullptr, kDisabled);
    a.editorFont = action("Set Editor Font...");

    a.toggleBreakpoint = action.withIcon(QStyle::SP_DialogNoButton, "Toggle Breakpoint", nullptr, kDisabled);
    a.run = action.withIcon(QStyle::SP_MediaPlay, "Run", "F5", kDisabled);
    a.pause = action.withIcon(QStyle::SP_MediaPause, "Pause", nullptr, kDisabled);
    a.stop = action.withIcon(QStyle::SP_MediaStop, "Stop", "Shift+F5", kDisabled);
    a.stepInto = action.withIcon(QStyle::SP_ArrowDown, "Step Into", "F11", kDisabled);
    a.stepOver = action.withIcon(QStyle::SP_ArrowRight, "Step Over", "F10", kDisabled);
    a.stepOut = action.withIcon(QStyle::SP_ArrowUp, "Step Out", "Shift+F11", kDisabled);
    a.runToCursor = action.withIcon(QStyle::SP_MediaSeekForward, "Run To Cursor", "Ctrl+F10", kDisabled);
    a.traceExecution = action("Trace Execution");
    a.traceExecution->setCheckable(true);
    a.highLevelDebug = action("High-Level Debug");
    a.lowLevelDebug = action("Low-Level Debug");
    a.debugLevel = new QActionGroup(owner);
    for (QAction* level : {a.highLevelDebug, a.lowLevelDebug}) {
        level->setCheckable(true);
        a.debugLevel->addAction(level);
    }
    a.highLevelDebug->setChecked(true);

    a.loadProgram = action("Load...");
    a.verifyProgram = action("Verify...");
    a.setStimulusFile = action("Set Stimulus File...");
    a.setDataFile = action("Set Data File...");
    a.deviceOptions = action("Options...");
    a.installDevice = action("Install New Device...");
    a.removeDevice = action("Remove Device...");
    a.compilerOptions = action("Options...");

    a.showBreakpoints = action("Breakpoints");
    a.showCallStack = action("Call Stack");
    a.showFindInFiles = action("Find In Files");
    a.showMemory = action("Memory");
    a.showMessages = action("Messages");
    a.showProject = action("Project", nullptr, kDisabled);
    a.showRegisters = action("Registers");
    a.showStatistics = action("Statistics");
    a.showTrace = action("Trace");
    a.showVariables = action("Variables");
    a.showWatches = action("Watches");

    a.cascade = action("Cascade");
    a.tileHorizontally = action("Tile Horizontally");
    a.tileVertically = action("Tile Vertically");
    a.arrange = action("Arrange");
    a.minimizeAll = action("Minimize All");
    a.refreshAll = action("Refresh All Windows", "F9");

    a.helpContents = action("&Contents", "F1");
    a.about = action("&About...");
    return a;
}
