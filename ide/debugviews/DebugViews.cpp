#include "DebugViews.h"

#include "AbstractDevice.h"
#include "TFormBreakPoint.h"
#include "TFormMemory.h"
#include "TFormRegisters.h"
#include "ToolWindows.h"

namespace {

template <class Form>
ToolWindows::Kind debugWindow(DebugViewHost& host, int id, int defaultPlacement, bool refreshed)
{
    ToolWindows::Kind kind;
    kind.id = id;
    kind.defaultPlacement = defaultPlacement;
    kind.refreshed = refreshed;
    kind.create = [&host](QMainWindow& owner, std::optional<QRect> rect, int placement) {
        return new Form(&owner, host, rect, placement);
    };
    kind.saveAtClose = [](TDockableForm& window) {
        if (auto* form = qobject_cast<DebugWindow*>(&window))
            form->saveAtClose();
    };
    return kind;
}

}  // namespace

void registerDebugViews(ToolWindows& windows, DebugViewHost& host)
{
    windows.registerKind(debugWindow<TFormRegisters>(host, tolvane::kViewRegisters, TDockableForm::kDockRight, true));
    windows.registerKind(debugWindow<TFormMemory>(host, tolvane::kViewMemory, TDockableForm::kDockBottom, true));
    windows.registerKind(
        debugWindow<TFormBreakPoint>(host, tolvane::kViewBreakpoints, TDockableForm::kDockRight, false));
}
