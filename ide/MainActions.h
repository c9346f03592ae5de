#pragma once
// The one list of actions that every menu item and tool button of the main
// window uses. Actions whose work lives elsewhere are connected there: the
// main window only sets their captions, shortcuts and enablement.

#include <QObject>

class QAction;
class QActionGroup;

struct MainActions {
    // File
    QAction* newFile;
    QAction* openFile;
    QAction* saveFile;
    QAction* saveFileAs;
    QAction* closeFile;
    QAction* print;
    QAction* exit;
    // Project
    QAction* newProject;
    QAction* openProject;
    QAction* saveProject;
    QAction* saveProjectAs;
    QAction* closeProject;
    QAction* addFiles;
    QAction* removeFile;
    QAction* make;
    QAction* buildAll;
    // Edit
    QAction* undo;
    QAction* cut;
    QAction* copy;
    QAction* paste;
    QAction* deleteSelection;
    QAction* selectAll;
    QAction* find;
    QAction* findNext;
    QAction* replace;
    QAction* findInFiles;
    QAction* goToLine;
    QAction* tabOptions;
    QAction* convertTabs;
    QAction* editorFont;
    // Debug
    QAction* toggleBreakpoint;
    QAction* run;
    QAction* pause;
    QAction* stop;
    QAction* stepInto;
    QAction* stepOver;
    QAction* stepOut;
    QAction* runToCursor;
    QAction* traceExecution;
    QAction* highLevelDebug;
    QAction* lowLevelDebug;
    QActionGroup* debugLevel;
    // Device and Compiler
    QAction* loadProgram;
    QAction* verifyProgram;
    QAction* setStimulusFile;
    QAction* setDataFile;
    QAction* deviceOptions;
    QAction* installDevice;
    QAction* removeDevice;
    QAction* compilerOptions;
    // Window > Show
    QAction* showBreakpoints;
    QAction* showCallStack;
    QAction* showFindInFiles;
    QAction* showMemory;
    QAction* showMessages;
    QAction* showProject;
    QAction* showRegisters;
    QAction* showStatistics;
    QAction* showTrace;
    QAction* showVariables;
    QAction* showWatches;
    // Window
    QAction* cascade;
    QAction* tileHorizontally;
    QAction* tileVertically;
    QAction* arrange;
    QAction* minimizeAll;
    QAction* refreshAll;
    // Help
    QAction* helpContents;
    QAction* about;
};

// Creates every action with its caption, shortcut, icon and initial state.
MainActions createMainActions(QObject* owner);

// What the front editor window reports it can do; none without an editor.
struct EditCapabilities {
    bool undo = false;
    bool cut = false;
    bool copy = false;
    bool paste = false;
    bool deleteSelection = false;
    bool selectAll = false;
};
