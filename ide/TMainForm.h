#pragma once
// The IDE's main window: editor windows in a multiple-document area, tool
// windows in the four dock sites, the menus and tool bars over one action
// list, and the user's settings.

#include <QMainWindow>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "MainActions.h"
#include "MainSettings.h"
#include "ProjectHost.h"
#include "TFormMessages.h"

class AbstractDevice;
class BreakpointList;
class DebugController;
class DeviceBinding;
class EditorWindows;
class MainDebugHost;
class MainDebugViewHost;
class MainDeviceHost;
class MainEditorHost;
class MainProjectHost;
class ProjectSession;
class QDockWidget;
class QActionGroup;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class SaveFileDialog;
class SearchCommands;
class TDialogAbout;
class TDialogDataFile;
class TDialogStimulusFile;
class TDockableForm;
class TFormEditor;
class ToolWindows;

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
    QAction* deviceListEnd;     // installed devices go before it
    QAction* deviceItemsStart;  // separator A: the device's own entries follow it
    QAction* deviceItemsEnd;    // separator B
    QAction* compilerListEnd;   // compilers go before it
    QAction* helpItemsEnd;      // the device's help entries go between Contents and it
    QAction* traceSeparator;    // above Trace Execution, hidden with the trace feature
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
    std::string stimulus = "stm";
    std::string data = "hex";
};

enum class OpenOutcome { Opened, FileNotFound };

struct EditorSettings {
    EditorFont font;
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
    // Where a file dialog starts that kept no folder of its own: the open
    // project's folder, else the user's home.
    QString dialogFolder(const QString& kept) const;
    // The open dialog over a "Name (*.ext)|*.ext|..." filter, starting and
    // then kept in OpenDir, which every open dialog of the window shares;
    // empty when cancelled.
    QStringList askFilesToOpen(const QString& filter, bool several, int shownFilter, const QString& defaultExtension);

    // Raised by a later start of the IDE; restores a minimised window.
    void bringToFront();

    // The actions that only a selected device can carry out are enabled
    // with one and follow their own state then.
    void enableDeviceActions(bool deviceSelected);

    const MainActions actions;
    MainMenus menus{};
    MainToolBars toolBars{};

    EditorSettings editing;
    FileExtensions extensions;
    QString saveDir;
    QString openDir;
    // Chosen at start from these when the settings key exists.
    StartSettings startSettings;

    // Hooks of the project reader and the editor windows that open files.
    std::function<OpenOutcome(const QString& path)> openProject;
    std::function<OpenOutcome(const QString& path)> openEditor;
    // Hooks of the project and editor windows that the exit questions use.
    std::function<int()> querySaveProject;
    std::function<int(QMdiSubWindow* editor, bool ask)> saveEditorWindow;

    // The parts the window joins.
    DeviceBinding& deviceBinding() const { return *binding_; }
    DebugController& debugControl() const { return *debug_; }
    ProjectSession& projectSession() const { return *session_; }
    EditorWindows& editorWindows() const { return *editors_; }
    SearchCommands& searchCommands() const { return *search_; }
    TDialogStimulusFile& stimulusDialog() const { return *stimulusDialog_; }
    TDialogDataFile& dataDialog() const { return *dataDialog_; }
    // The save dialog of editors and projects; it starts in SaveDir.
    SaveFileDialog& saveDialog() const;
    // Tests answer the save dialog from a script.
    void replaceSaveDialog(std::unique_ptr<SaveFileDialog> dialog);
    // The device's source extension without the point ("asm").
    QString sourceExtension() const;

    // The Messages window: created and shown on the first line.
    void AddMessage(const QString& text);
    void ClearMessages();
    TFormMessages* messagesWindow() const;

    // Every tool window but the project's, by its window id.
    ToolWindows& toolWindows() const { return *toolWindows_; }
    // ResetView / RefreshView of the refreshed tool windows, then every
    // editor window repainted.
    void ClearDebugWindows();
    void RefreshDebugWindows();

    // Opens the file in an editor window, shown with the line selected (none
    // for 0); a file that cannot be opened is reported.
    void OpenFileAtLine(const QString& path, int line);

    // The source breakpoints, mirrored by the editors' markers.
    BreakpointList& breakpointList() const { return *breakpoints_; }

    // Add Files: the file dialog, then the project takes the chosen files.
    void addFilesToProject();

signals:
    void editorFontChanged(const EditorFont& font);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createToolBars();
    void connectWindowActions();
    void gateDeviceActions();
    void reportUnreadableSettings();
    void applyStartSettings();
    void listEditorWindows();
    void openHelpContents();
    void chooseEditorFont();
    void chooseFilesToOpen();
    // A missing file is reported.
    void openFileAs(const QString& path, bool asProject);
    bool readyToExit();

    void createParts();
    void createToolWindows();
    void connectBreakpointList();
    void repaintEditors();
    void selectStartDevice();
    void connectFileActions();
    void connectEditActions();
    void connectProjectActions();
    void connectDebugActions();
    void connectDeviceActions();
    void chooseProjectToOpen();
    void showOpenedProjectCaption();
    void runOnFrontEditor(const std::function<void(TFormEditor&)>& command);
    // An editing action: the front editor's command when the focus is in the
    // editor area, else the key for the widget that has the focus.
    void runEditCommand(QAction* action, unsigned int command, QKeyCombination key);
    void updateFrontEditActions();

    QMdiArea* mdiArea_;
    QList<QAction*> editorWindowEntries_;
    // Hosts first: the parts below call them until they are gone.
    std::unique_ptr<MainDeviceHost> deviceHost_;
    std::unique_ptr<MainDebugHost> debugHost_;
    std::unique_ptr<MainProjectHost> projectHost_;
    std::unique_ptr<MainEditorHost> editorHost_;
    std::unique_ptr<MainDebugViewHost> debugViewHost_;
    std::unique_ptr<DebugController> debug_;
    DeviceBinding* binding_ = nullptr;
    ProjectSession* session_ = nullptr;
    EditorWindows* editors_ = nullptr;
    // Owns its dialogs, which are the window's children: it goes first.
    std::unique_ptr<SearchCommands> search_;
    TDialogAbout* aboutDialog_ = nullptr;
    TDialogStimulusFile* stimulusDialog_ = nullptr;
    TDialogDataFile* dataDialog_ = nullptr;
    QActionGroup* deviceActions_ = nullptr;
    BreakpointList* breakpoints_ = nullptr;
    std::unique_ptr<ToolWindows> toolWindows_;
};
