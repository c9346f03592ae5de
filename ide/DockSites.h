#pragma once
// Putting a tool window into one of the main window's four dock sites.

#include <Qt>
#include <optional>

class QDockWidget;
class QMainWindow;

// Docks the window in the site, as a further page when the site already
// shows windows. The extent is its width (left, right) or height (top,
// bottom); without one the first window of a site takes a third of the main
// window's width or height.
void dockIntoSite(QMainWindow& owner, QDockWidget& window, Qt::DockWidgetArea site, std::optional<int> extent);
