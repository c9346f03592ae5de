#include "DockSites.h"

#include <QDockWidget>
#include <QMainWindow>

void dockIntoSite(QMainWindow& owner, QDockWidget& window, Qt::DockWidgetArea site, std::optional<int> extent)
{
    QDockWidget* firstPage = nullptr;
    for (QDockWidget* docked : owner.findChildren<QDockWidget*>())
        if (docked != &window && !docked->isFloating() && !docked->isHidden() && owner.dockWidgetArea(docked) == site) {
            firstPage = docked;
            break;
        }
    window.setFloating(false);
    owner.addDockWidget(site, &window);
    if (firstPage)
        owner.tabifyDockWidget(firstPage, &window);
    const Qt::Orientation along =
        site == Qt::LeftDockWidgetArea || site == Qt::RightDockWidgetArea ? Qt::Horizontal : Qt::Vertical;
    if (!extent && !firstPage)
        extent = (along == Qt::Horizontal ? owner.width() : owner.height()) / 3;
    if (extent)
        owner.resizeDocks({&window}, {*extent}, along);
}
