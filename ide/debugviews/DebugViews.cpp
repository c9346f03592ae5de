#include "DebugViews.h"

#include "AbstractDevice.h"
#include "TFormBreakPoint.h"
#include "TFormCallStack.h"
#include "TFormMemory.h"
#include "TFormRegisters.h"
#include "TFormStatistics.h"
#include "TFormTrace.h"
#include "TFormVariables.h"
#include "TFormWatches.h"
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
    using tolvane::kViewBreakpoints, tolvane::kViewCallStack, tolvane::kViewMemory, tolvane::kViewRegisters,
        tolvane::kViewStatistics, tolvane::kViewTrace, tolvane::kViewVariables, tolvane::kViewWatches;
    constexpr int right = TDockableForm::kDockRight;
    constexpr int bottom = TDockableForm::kDockBottom;
    windows.registerKind(debugWindow<TFormCallStack>(host, kViewCallStack, right, true));
    windows.registerKind(debugWindow<TFormRegisters>(host, kViewRegisters, right, true));
    windows.registerKind(debugWindow<TFormMemory>(host, kViewMemory, bottom, true));
    windows.registerKind(debugWindow<TFormStatistics>(host, kViewStatistics, bottom, true));
    windows.registerKind(debugWindow<TFormVariables>(host, kViewVariables, right, true));
    windows.registerKind(debugWindow<TFormBreakPoint>(host, kViewBreakpoints, right, false));
    windows.registerKind(debugWindow<TFormTrace>(host, kViewTrace, right, true));
    windows.registerKind(debugWindow<TFormWatches>(host, kViewWatches, right, true));
}

void AddWatch(ToolWindows& windows, const QString& name)
{
    if (auto* watches = qobject_cast<TFormWatches*>(windows.show(tolvane::kViewWatches)))
        watches->AddWatchRow(name);
}
