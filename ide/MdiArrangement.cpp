#include "MdiArrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

QList<QMdiSubWindow*> windows(QMdiArea& area, bool minimized)
{
    QList<QMdiSubWindow*> chosen;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder))
        if (window->isVisible() && window->isMinimized() == minimized)
            chosen << window;
    return chosen;
}

void tile(QMdiArea& area, Qt::Orientation stacking)
{
    const QList<QMdiSubWindow*> open = windows(area, false);
    if (open.isEmpty())
        return;
    const QRect client = area.viewport()->rect();
    const int count = int(open.size());
    for (int index = 0; index < count; ++index) {
        QMdiSubWindow* window = open[index];
        window->showNormal();
        if (stacking == Qt::Vertical) {
            const int top = client.height() * index / count;
            window->setGeometry(0, top, client.width(), client.height() * (index + 1) / count - top);
        } else {
            const int left = client.width() * index / count;
            window->setGeometry(left, 0, client.width() * (index + 1) / count - left, client.height());
        }
    }
}

}  // namespace

void tileHorizontally(QMdiArea& area)
{
    tile(area, Qt::Vertical);
}

void tileVertically(QMdiArea& area)
{
    tile(area, Qt::Horizontal);
}

void arrangeMinimized(QMdiArea& area)
{
    int left = 0;
    const int bottom = area.viewport()->rect().bottom();
    for (QMdiSubWindow* window : windows(area, true)) {
        const QSize size = window->size();
        window->move(left, bottom - size.height() + 1);
        left += size.width();
    }
}

void minimizeAll(QMdiArea& area)
{
    for (QMdiSubWindow* window : area.subWindowList())
        window->showMinimized();
}
