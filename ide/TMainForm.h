#pragma once
// The IDE's main window: editor windows in a multiple-document area, tool
// windows in the four dock sites, the menus and tool bars over one action
// list, and the user's settings.

#include "MainActions.h"
#include "MainSettings.h"
#include "ProjectHost.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <string>

class AbstractDevice;
class QDockWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

inline constexpr int kDebugIdle = 1;

// Answers of the save questions: 6 go on, 2 cancelled.
inline constexpr int kAnswerGoOn = 6;
inline constexpr int kAnswerCancel = 2;

struct MainMenus {
    QMenu* file;
    QMenu* project;
    QMenu* edit;
    QMenu* debug;
    QMenu* device;
    QMenu* compiler;
    QMenu* window;
    QMenu* show;
    QMenu* help;
    // Insertion points for the entries that the selected device supplies.
    QAction* deviceListEnd;    // installed devices go before it
    QAction* deviceItemsStart; // separator A: the device's own entries follow it
    QAction* deviceItemsEnd;   // separator B
    QAction* compilerListEnd;  // compilers go before it
    QAction* helpItemsEnd;     // the device's help entries go between Contents and it
    QAction* traceSeparator;   // above Trace Execution, hidden with the trace feature
};

struct MainToolBars {
    QToolBar* file;
    QToolBar* edit;
    QToolBar* debug;
    QToolBar* compile;
};

struct FileExtensions {
    std::string project = "prj";
    std::string program = "hex";
    std::string source;
    std::string stimulus = "stm";
    std::string data = "hex";
};

enum class OpenOutcome { Opened, FileNotFound };

struct EditorSettings {
    EditorFontSetting font;
    int tabSize = 4;
    bool useTabs = true;
    bool printLineNumbers = false;
    bool firstPrint = true;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    QMdiArea* mdiArea() const { return mdiArea_; }

    // Adds a tool window to a dock site, as a further page when the site
    // already holds windows; the first window of a site takes a third of the
    // client width (left, right) or height (top, bottom).
    void dockToolWindow(QDockWidget* window, Qt::DockWidgetArea site);

    // 7: an editor window became the front one; 6: one is closing, called
    // while it is still in the area (acts when it is the last one).
    void UpdateFileActions(int state);
    // Null: no editor window.
    void UpdateEditActions(const EditCapabilities* editor);
    // 7: a project is open under the given caption; 6: none.
    void UpdateProjectActions(int state, const QString& projectCaption = {});

    // The close request (also the Exit action): asks about unsaved work,
    // then saves the settings and ends the program.
    void ExitApplication();
    // 6 when every editor window was saved or let go, 2 on the first refusal.
    int SaveAllFiles(bool ask);
    bool SaveSettings();

    // The files chosen in the Open File dialog: projects by their extension,
    // everything else in an editor window; a missing file is reported and the
    // next one follows.
    void openFiles(const QStringList& paths);
    QString openFileFilter() const;

    // Raised by a later start of the IDE; restores a minimised window.
    void bringToFront();

    const MainActions actions;
    MainMenus menus{};
    MainToolBars toolBars{};

    int projectState = kNoProject;
    int debugState = kDebugIdle;
    EditorSettings editing;
    FileExtensions extensions;
    QString saveDir;
    QString openDir;
    // Chosen at start from these when the settings key exists.
    StartSettings startSettings;

    // The selected device, owned by the device selection.
    AbstractDevice* device = nullptr;
    std::string deviceName;

    // Hooks of the project reader and the editor windows that open files.
    std::function<OpenOutcome(const QString& path)> openProject;
    std::function<OpenOutcome(const QString& path)> openEditor;
    // Hooks of the project and editor windows that the exit questions use.
    std::function<int()> querySaveProject;
    std::function<int(QMdiSubWindow* editor, bool ask)> saveEditorWindow;
    // Column switches of the open debug windows, saved at close.
    std::function<ViewSwitches()> registersSwitches;
    std::function<ViewSwitches()> watchesSwitches;
    std::function<ViewSwitches()> variablesSwitches;

signals:
    void editorFontChanged(const EditorFontSetting& font);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createToolBars();
    void connectWindowActions();
    void applyStartSettings();
    void listEditorWindows();
    void openHelpContents();
    void chooseEditorFont();
    void chooseFilesToOpen();
    bool readyToExit();

    QMdiArea* mdiArea_;
    QList<QAction*> editorWindowEntries_;
};
