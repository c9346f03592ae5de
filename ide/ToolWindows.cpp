#include "ToolWindows.h"

#include <QAction>
#include <QMainWindow>

ToolWindows::ToolWindows(QMainWindow& owner, std::map<int, QAction*> showActions, QObject* parent)
    : QObject(parent), owner_(owner), showActions_(std::move(showActions))
{}

void ToolWindows::registerKind(Kind kind)
{
    const int id = kind.id;
    const bool known = isRegistered(id);
    kinds_[id] = std::move(kind);
    if (known)
        return;
    registrationOrder_.append(id);
    const auto entry = showActions_.find(id);
    if (entry != showActions_.end() && entry->second)
        connect(entry->second, &QAction::triggered, this, [this, id] { show(id); });
}

TDockableForm* ToolWindows::openWindow(int id) const
{
    const auto found = open_.find(id);
    return found == open_.end() ? nullptr : found->second.data();
}

TDockableForm* ToolWindows::create(int id, std::optional<QRect> rect, int placement)
{
    const auto kind = kinds_.find(id);
    if (kind == kinds_.end())
        return nullptr;
    close(id);
    TDockableForm* window = kind->second.create(owner_, rect, placement);
    window->SetHomeSite(kind->second.defaultPlacement);
    open_[id] = window;
    if (kind->second.refreshed)
        refreshed_.append(id);
    return window;
}

TDockableForm* ToolWindows::show(int id)
{
    TDockableForm* window = openWindow(id);
    if (!window) {
        const auto kind = kinds_.find(id);
        if (kind == kinds_.end())
            return nullptr;
        window = create(id, std::nullopt, kind->second.defaultPlacement);
    }
    window->ShowInPage();
    return window;
}

void ToolWindows::close(int id)
{
    refreshed_.removeAll(id);
    const auto found = open_.find(id);
    if (found == open_.end())
        return;
    TDockableForm* window = found->second.data();
    open_.erase(found);
    if (window) {
        window->CloseOrUndock();
        window->deleteLater();
    }
}

void ToolWindows::RefreshDebugWindows()
{
    // A refresh may close or make windows (a device answer): walk a copy.
    for (int id : QList<int>(refreshed_))
        if (TDockableForm* window = openWindow(id))
            window->RefreshView();
}

void ToolWindows::ClearDebugWindows()
{
    for (int id : QList<int>(refreshed_))
        if (TDockableForm* window = openWindow(id))
            window->ResetView();
}

void ToolWindows::saveAtClose()
{
    for (int id : registrationOrder_) {
        const Kind& kind = kinds_.at(id);
        if (TDockableForm* window = openWindow(id); window && kind.saveAtClose)
            kind.saveAtClose(*window);
    }
}
