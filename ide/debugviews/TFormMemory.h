#pragma once
// The Memory window: one bank of the target at a time as rows of 16 words,
// chosen in the bank combo. A word can be changed in place; the popup sets a
// data breakpoint on the word under the pointer (when the device offers it),
// copies every bank to the clipboard as text, and goes to an address. The
// status bar shows the address of the word under the pointer.

#include <memory>
#include <optional>

#include "DebugWindow.h"
#include "MemoryGridModel.h"
#include "TextPrompt.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QTableView;

class TFormMemory : public DebugWindow {
    Q_OBJECT
public:
    TFormMemory(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement);
    ~TFormMemory() override;

    void RefreshView() override;
    void ResetView() override;

    // The popup's entries.
    void addBreakpoint();
    void dumpToClipboard();
    void goToAddress();
    // Panel 0 and the popup follow the word under the pointer (viewport
    // coordinates of the grid).
    void pointerMovedTo(const QPoint& at);

    void setPrompt(std::unique_ptr<TextPrompt> prompt) { prompt_ = std::move(prompt); }
    QTableView* grid() const { return grid_; }
    QComboBox* bankCombo() const { return banks_; }
    MemoryGridModel& model() { return model_; }
    QString addressPanelText() const;
    QAction* addBreakpointAction() const { return addBreakpoint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuildBankList(bool keepSelection);
    // The refresh proper: the selected bank described again, its cache dropped.
    void showSelectedBank();
    int selectedBank() const;
    void readShownRows();
    // A page whose read failed is read again once the grid has been painted.
    void retryFailedReads();
    void fitColumns();
    void showPopup(const QPoint& at);

    MemoryGridModel model_;
    QComboBox* banks_;
    QTableView* grid_;
    QLabel* addressPanel_;
    QMenu* popup_;
    QAction* addBreakpoint_;
    std::unique_ptr<TextPrompt> prompt_;
    bool bankListInvalid_ = false;
    bool retryQueued_ = false;
    // The word under the pointer, past the bank's end none.
    std::optional<int> pointedAddress_;
};
