#pragma once
// The Call Stack window: the target's call frames as the device reports
// them, one line each; a double click on a frame shows its source line as
// the execution line.

#include "CallStackModel.h"
#include "DebugWindow.h"

class QListView;

class TFormCallStack : public DebugWindow {
    Q_OBJECT
public:
    TFormCallStack(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement);

    void RefreshView() override;
    void ResetView() override { RefreshView(); }
    // The double click: the selected frame's source line.
    void HighlightFunctionCall();

    QListView* list() const { return list_; }
    CallStackModel& model() { return model_; }

private:
    CallStackModel model_;
    QListView* list_;
};
