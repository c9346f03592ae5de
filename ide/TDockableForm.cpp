#include "TDockableForm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QStackedWidget>
#include <algorithm>

#include "AbstractDevice.h"
#include "DockSites.h"

namespace {

struct DockSite {
    int placement;
    Qt::DockWidgetArea area;
};
constexpr DockSite kDockSites[] = {
    {TDockableForm::kDockLeft, Qt::LeftDockWidgetArea},
    {TDockableForm::kDockRight, Qt::RightDockWidgetArea},
    {TDockableForm::kDockTop, Qt::TopDockWidgetArea},
    {TDockableForm::kDockBottom, Qt::BottomDockWidgetArea},
};

Qt::DockWidgetArea areaFor(int placement)
{
    for (const DockSite& site : kDockSites)
        if (site.placement == placement)
            return site.area;
    return Qt::BottomDockWidgetArea;
}

int placementFor(Qt::DockWidgetArea area)
{
    for (const DockSite& site : kDockSites)
        if (site.area == area)
            return site.placement;
    return TDockableForm::kDockBottom;
}

bool isDockSite(int placement)
{
    return placement >= TDockableForm::kDockLeft && placement <= TDockableForm::kDockBottom;
}

// A floating window comes back on a screen, whatever the rectangle it kept:
// on the screen that shows most of it, else the main window's, moved (and
// shrunk when it is larger) to lie inside that screen's free area.
QRect keptOnScreen(const QRect& rect, const QWidget& owner)
{
    const QScreen* best = nullptr;
    qint64 bestOverlap = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect overlap = screen->availableGeometry() & rect;
        const qint64 size = qint64(overlap.width()) * overlap.height();
        if (size > bestOverlap) {
            best = screen;
            bestOverlap = size;
        }
    }
    if (!best)
        best = owner.screen();
    if (!best)
        return rect;
    const QRect area = best->availableGeometry();
    QRect kept(rect.topLeft(), rect.size().boundedTo(area.size()));
    kept.moveLeft(std::clamp(kept.left(), area.left(), area.right() + 1 - kept.width()));
    kept.moveTop(std::clamp(kept.top(), area.top(), area.bottom() + 1 - kept.height()));
    return kept;
}

}  // namespace

TDockableForm::TDockableForm(QMainWindow* owner, bool noPlacement, std::optional<QRect> rect, int placement,
                             const QString& caption)
    : QDockWidget(caption, owner),
      owner_(owner),
      pages_(new QStackedWidget(this)),
      notAccessible_(new QLabel(QStringLiteral("Data is not accessible."), this)),
      homeSite_(areaFor(isDockSite(placement) ? placement : kDockBottom))
{
    setObjectName(caption);
    notAccessible_->setAlignment(Qt::AlignCenter);
    pages_->addWidget(notAccessible_);
    setWidget(pages_);
    // Also tells when the window's tab in a dock site is raised or covered.
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        notCovered_ = visible;
        if (visible && refreshPending_)
            QMetaObject::invokeMethod(this, &TDockableForm::CatchUp, Qt::QueuedConnection);
    });
    if (!noPlacement)
        Place(placement, rect);
}

void TDockableForm::SetContent(QWidget* content)
{
    pages_->insertWidget(0, content);
    pages_->setCurrentIndex(0);
}

void TDockableForm::ShowDataNotAccessible(bool notAccessible)
{
    pages_->setCurrentWidget(notAccessible ? static_cast<QWidget*>(notAccessible_) : pages_->widget(0));
}

bool TDockableForm::DataNotAccessible() const
{
    return pages_->currentWidget() == notAccessible_;
}

bool TDockableForm::CheckViewEnabled(AbstractDevice* device, int viewId)
{
    const bool enabled = device && device->IsViewEnabled(viewId);
    ShowDataNotAccessible(!enabled);
    return enabled;
}

bool TDockableForm::BeginRefresh()
{
    if (IsShowing()) {
        refreshPending_ = false;
        return true;
    }
    refreshPending_ = true;
    return false;
}

void TDockableForm::changeEvent(QEvent* event)
{
    QDockWidget::changeEvent(event);
    // A floating window restored from its minimised state.
    if (event->type() == QEvent::WindowStateChange && refreshPending_)
        QMetaObject::invokeMethod(this, &TDockableForm::CatchUp, Qt::QueuedConnection);
}

void TDockableForm::CatchUp()
{
    if (refreshPending_ && IsShowing())
        RefreshView();
}

void TDockableForm::SetHomeSite(int placement)
{
    if (!isDockSite(placement))
        return;
    homeSite_ = areaFor(placement);
    if (!isFloating() || owner_->dockWidgetArea(this) == homeSite_)
        return;
    // Floating, its place in the layout is where it docks again.
    const bool shown = !isHidden();
    owner_->removeDockWidget(this);
    owner_->addDockWidget(homeSite_, this);
    setVisible(shown);
}

void TDockableForm::Place(int placement, std::optional<QRect> rect)
{
    if (isDockSite(placement)) {
        const Qt::DockWidgetArea area = areaFor(placement);
        const bool sideways = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
        dockIntoSite(*owner_, *this, area,
                     rect ? std::optional<int>(sideways ? rect->width() : rect->height()) : std::nullopt);
        ShowInPage();
        return;
    }
    if (!isFloating()) {
        // It floats with a place kept in the layout, so that a double-click
        // on its title docks it again, as a window dragged out of a site does.
        if (owner_->dockWidgetArea(this) == Qt::NoDockWidgetArea)
            owner_->addDockWidget(homeSite_, this);
        setFloating(true);
    }
    if (rect)
        setGeometry(keptOnScreen(*rect, *owner_));
    switch (placement) {
    case kFloatZoomed:
        showMaximized();
        break;
    case kFloatMinimised:
        showMinimized();
        break;
    case kFloatHidden:
        hide();
        return;
    default:
        showNormal();
        break;
    }
    ShowInPage();
}

void TDockableForm::ShowInPage()
{
    show();
    if (!isFloating())
        raise();
}

void TDockableForm::CloseOrUndock()
{
    if (!isFloating()) {
        owner_->removeDockWidget(this);
        setFloating(true);
    }
    close();
}

bool TDockableForm::IsShowing() const
{
    return notCovered_ && isVisible() && !(isFloating() && (windowState() & Qt::WindowMinimized));
}

std::optional<Qt::DockWidgetArea> TDockableForm::dockSite() const
{
    if (isFloating())
        return std::nullopt;
    const Qt::DockWidgetArea area = owner_->dockWidgetArea(const_cast<TDockableForm*>(this));
    if (area == Qt::NoDockWidgetArea)
        return std::nullopt;
    return area;
}

QRect TDockableForm::dockSiteRect(Qt::DockWidgetArea area) const
{
    // A page behind another tab is parked outside the main window: the site
    // is where its shown pages are.
    const QRect client = owner_->rect();
    QRect site;
    for (QDockWidget* page : owner_->findChildren<QDockWidget*>())
        if (!page->isFloating() && page->isVisible() && owner_->dockWidgetArea(page) == area
            && client.contains(page->geometry()))
            site |= page->geometry();
    if (!site.isEmpty())
        return site;
    if (client.contains(geometry()) && !geometry().isEmpty())
        return geometry();
    // Nothing of the site shows: a third of the main window at its edge.
    switch (area) {
    case Qt::LeftDockWidgetArea:
        return QRect(0, 0, client.width() / 3, client.height());
    case Qt::RightDockWidgetArea:
        return QRect(client.width() - client.width() / 3, 0, client.width() / 3, client.height());
    case Qt::TopDockWidgetArea:
        return QRect(0, 0, client.width(), client.height() / 3);
    default:
        return QRect(0, client.height() - client.height() / 3, client.width(), client.height() / 3);
    }
}

int TDockableForm::Placement() const
{
    // Hidden or behind another tab, a window in a dock site comes back there.
    if (const std::optional<Qt::DockWidgetArea> site = dockSite())
        return placementFor(*site);
    if (isHidden())
        return kFloatHidden;
    if (windowState() & Qt::WindowMinimized)
        return kFloatMinimised;
    if (windowState() & Qt::WindowMaximized)
        return kFloatZoomed;
    return kFloat;
}

QRect TDockableForm::PlacementRect() const
{
    if (const std::optional<Qt::DockWidgetArea> site = dockSite())
        return dockSiteRect(*site);
    if (isFloating() && normalGeometry().isValid())
        return normalGeometry();
    return geometry();
}
