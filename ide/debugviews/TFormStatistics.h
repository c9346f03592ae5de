#pragma once
// The Statistics window: how many machine cycles the target has executed and
// how long that took, as the device reports them after each stop.

#include "DebugWindow.h"

class QLabel;

class TFormStatistics : public DebugWindow {
    Q_OBJECT
public:
    TFormStatistics(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement);

    void RefreshView() override;
    void ResetView() override { RefreshView(); }

    QString machineCyclesText() const;
    QString executionTimeText() const;

private:
    QLabel* machineCycles_;
    QLabel* executionTime_;
};
