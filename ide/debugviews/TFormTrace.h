#pragma once
// The Trace window: the newest entries of the device's execution trace, as
// many as the track bar asks for (4096 a step). The entry the device marks as
// current is highlighted; a double click makes an entry current and shows its
// source line; the popup copies the listed entries as comma-separated text.

#include "DebugWindow.h"
#include "TraceModel.h"

class QLabel;
class QMenu;
class QSlider;
class QTableView;

class TFormTrace : public DebugWindow {
    Q_OBJECT
public:
    static constexpr int kEntriesPerStep = 4096;

    TFormTrace(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement);

    void RefreshView() override;
    // The columns back in the title's order, then a refresh.
    void ResetView() override;

    // The double click on a row.
    void StringGridDblClick();
    void DumpToClipboard1Click();

    QTableView* grid() const { return grid_; }
    QSlider* trackBar() const { return trackBar_; }
    QString bufferSizeText() const;
    TraceModel& model() { return model_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TrackBarTraceSizeChange();
    // Reads the entries of the rows the grid shows now.
    void readShownRows();

    TraceModel model_;
    QTableView* grid_;
    QSlider* trackBar_;
    QLabel* bufferSize_;
    QMenu* popup_;
};
