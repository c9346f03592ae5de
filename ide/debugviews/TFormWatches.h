#pragma once
// The Watches window: the variables the user chose to watch, by name, with
// the Variables window's columns and editing. A watch whose name the device
// does not report at this stop shows "N/A". Watches are added through the
// add-watch dialog or the Variables window and removed from the popup; they
// last as long as the window.

#include <QStringList>
#include <functional>

#include "VariableWindow.h"

class QAction;

class TFormWatches : public VariableWindow {
    Q_OBJECT
public:
    // Asks for a name to watch, offering the device's variables; none when cancelled.
    using NameChooser = std::function<std::optional<QString>(const QStringList& names)>;

    TFormWatches(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement);

    // Appends a watch of the name and refreshes.
    void AddWatchRow(const QString& name);
    void MenuItemAddWatchClick();
    void MenuItemRemoveWatchClick();

    // Tests answer for the dialog.
    void setNameChooser(NameChooser chooser) { chooseName_ = std::move(chooser); }
    QAction* addWatchAction() const { return addWatch_; }
    QAction* removeWatchAction() const { return removeWatch_; }

protected:
    void fillRows(AbstractDevice& device) override;

private:
    NameChooser chooseName_;
    QAction* addWatch_;
    QAction* removeWatch_;
};
