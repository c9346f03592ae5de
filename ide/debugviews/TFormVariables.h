#pragma once
// The Variables window: every variable the device reports, with its value
// in decimal, hexadecimal and binary and its address; a value typed in place
// is written to the target. "Watch Selected" adds the selected variable to
// the Watches window.

#include "VariableWindow.h"

class QAction;

class TFormVariables : public VariableWindow {
    Q_OBJECT
public:
    TFormVariables(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement);

    void MenuItemWatchClick();
    QAction* watchAction() const { return watch_; }

protected:
    void fillRows(AbstractDevice& device) override;

private:
    QAction* watch_;
};
