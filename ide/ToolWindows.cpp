#include "ToolWindows.h"

#include <QAction>
#include <QMainWindow>

ToolWindows::ToolWindows(QMainWindow& owner, std::map<int, QAction*> showActions, QObject* parent)
    : QObject(parent), owner_(owner), showActions_(std::move(showActions))
{}

void ToolWindows::Register(Kind kind)
{
    const int id = kind.id;
    const bool known = IsRegistered(id);
    kinds_[id] = std::move(kind);
    if (known)
        return;
    registrationOrder_.append(id);
    const auto show = showActions_.find(id);
    if (show != showActions_.end() && show->second)
        connect(show->second, &QAction::triggered, this, [this, id] { Show(id); });
}

TDockableForm* ToolWindows::Window(int id) const
{
    const auto found = open_.find(id);
    return found == open_.end() ? nullptr : found->second.data();
}

TDockableForm* ToolWindows::Create(int id, std::optional<QRect> rect, int placement)
{
    const auto kind = kinds_.find(id);
    if (kind == kinds_.end())
        return nullptr;
    Close(id);
    TDockableForm* window = kind->second.create(owner_, rect, placement);
    open_[id] = window;
    if (kind->second.refreshed)
        refreshed_.append(id);
    return window;
}

TDockableForm* ToolWindows::Show(int id)
{
    TDockableForm* window = Window(id);
    if (!window) {
        const auto kind = kinds_.find(id);
        if (kind == kinds_.end())
            return nullptr;
        window = Create(id, std::nullopt, kind->second.defaultPlacement);
    }
    window->ShowInPage();
    return window;
}

void ToolWindows::Close(int id)
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
        if (TDockableForm* window = Window(id))
            window->RefreshView();
}

void ToolWindows::ClearDebugWindows()
{
    for (int id : QList<int>(refreshed_))
        if (TDockableForm* window = Window(id))
            window->ResetView();
}

void ToolWindows::SaveAtClose()
{
    for (int id : registrationOrder_) {
        const Kind& kind = kinds_.at(id);
        if (TDockableForm* window = Window(id); window && kind.saveAtClose)
            kind.saveAtClose(*window);
    }
}
