#pragma once
// The base of every tool window: docks into one of the main window's four
// dock sites (windows in one site share it as tabs) or floats. A window that
// cannot be seen skips its device reads and catches up when it is next shown.

#include <QDockWidget>
#include <QRect>
#include <optional>

class QLabel;
class QMainWindow;
class QStackedWidget;
class AbstractDevice;

class TDockableForm : public QDockWidget {
    Q_OBJECT
public:
    // Placement codes, shared with the project file's window lines.
    static constexpr int kDockLeft = 8;
    static constexpr int kDockRight = 9;
    static constexpr int kDockTop = 10;
    static constexpr int kDockBottom = 11;
    static constexpr int kFloat = 12;
    static constexpr int kFloatZoomed = 13;
    static constexpr int kFloatMinimised = 14;
    static constexpr int kFloatHidden = 15;

    TDockableForm(QMainWindow* owner, bool noPlacement, std::optional<QRect> rect, int placement,
                  const QString& caption);

    // Update the shown data from the device.
    virtual void RefreshView() {}
    // Rebuild the window's structure from the device, then refresh.
    virtual void ResetView() {}

    void Place(int placement, std::optional<QRect> rect);
    // Where the window docks when it is docked again after floating from the
    // start (a placement code 8-11); a window that was docked goes back where it was.
    void SetHomeSite(int placement);
    void ShowInPage();
    void CloseOrUndock();
    bool IsShowing() const;

    // The code and rectangle the project file stores for this window: for a
    // window in a dock site, shown, covered by another tab or closed, the
    // site's code and the site's rectangle in the main window.
    int Placement() const;
    QRect PlacementRect() const;

    bool RefreshPending() const { return refreshPending_; }
    // Freed instead of hidden when closed.
    void SetFreeOnClose(bool free) { setAttribute(Qt::WA_DeleteOnClose, free); }
    QMainWindow* Owner() const { return owner_; }

protected:
    // Starts a refresh: false, with the refresh marked pending, when the
    // window cannot be seen.
    bool BeginRefresh();
    // The window's controls; hidden behind "Data is not accessible." while
    // the device does not offer the view.
    void SetContent(QWidget* content);
    // Asks the device whether the view has data and shows the controls or the panel.
    bool CheckViewEnabled(AbstractDevice* device, int viewId);
    void ShowDataNotAccessible(bool notAccessible);
    bool DataNotAccessible() const;

    void changeEvent(QEvent* event) override;

private:
    void CatchUp();
    std::optional<Qt::DockWidgetArea> dockSite() const;
    QRect dockSiteRect(Qt::DockWidgetArea area) const;

    QMainWindow* owner_;
    QStackedWidget* pages_;
    QLabel* notAccessible_;
    Qt::DockWidgetArea homeSite_;
    bool refreshPending_ = false;
    bool notCovered_ = false;
};
