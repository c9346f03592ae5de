#pragma once
// One home for the tool windows: each kind by its window id (22-31) with how
// it is made, shown and saved, and the one open window of each kind. The main
// window's Window > Show entries, the project's window lines, the refresh
// after every stop, the reset with the device and the feature checks all go
// through it. The project window (21) belongs to the project session.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <map>
#include <optional>

#include "TDockableForm.h"

class QAction;
class QMainWindow;

class ToolWindows : public QObject {
    Q_OBJECT
public:
    struct Kind {
        int id = 0;
        // Where Window > Show creates the window when none is open.
        int defaultPlacement = TDockableForm::kDockRight;
        // Refreshed after every stop and reset with the device, from creation
        // until the device's feature answer closes it.
        bool refreshed = false;
        std::function<TDockableForm*(QMainWindow& owner, std::optional<QRect> rect, int placement)> create;
        // Writes the window's settings when the program ends; may be empty.
        std::function<void(TDockableForm& window)> saveAtClose;
    };

    // The Window > Show entry of each window id; a kind registered later
    // takes its entry from here.
    ToolWindows(QMainWindow& owner, std::map<int, QAction*> showActions, QObject* parent = nullptr);

    void registerKind(Kind kind);
    bool isRegistered(int id) const { return kinds_.count(id) > 0; }

    // The open window of the id, or null.
    TDockableForm* openWindow(int id) const;
    template <class Form>
    Form* openWindowAs(int id) const
    {
        return qobject_cast<Form*>(openWindow(id));
    }

    // A new window placed so; an open one of the id is closed first. Null
    // for an id no kind was registered for.
    TDockableForm* create(int id, std::optional<QRect> rect, int placement);
    // The open window, else a new one at the kind's default placement;
    // shown, with its dock page raised.
    TDockableForm* show(int id);
    // Closes (undocking first) and forgets the open window of the id.
    void close(int id);

    // RefreshView of every refreshed window, in the order they were made.
    void RefreshDebugWindows();
    // ResetView of the same windows.
    void ClearDebugWindows();
    // The settings of every open window that keeps some, in registration order.
    void saveAtClose();

private:
    QMainWindow& owner_;
    std::map<int, QAction*> showActions_;
    std::map<int, Kind> kinds_;
    QList<int> registrationOrder_;
    std::map<int, QPointer<TDockableForm>> open_;
    QList<int> refreshed_;
};
