#include "TFormVariables.h"

#include <QMenu>

#include "AbstractDevice.h"
#include "DebugViewHost.h"

TFormVariables::TFormVariables(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement)
    : VariableWindow(owner, host, tolvane::kViewVariables, QStringLiteral("Variables"), "Variables")
{
    watch_ = popup()->addAction(QStringLiteral("Watch Selected"), this, &TFormVariables::MenuItemWatchClick);
    ResetView();
    Place(placement, rect);
}

void TFormVariables::fillRows(AbstractDevice& device)
{
    const int count = variableCount(device);
    model().setDeviceRows(count);
    // A variable the device does not describe keeps what its row showed.
    for (int index = 0; index < count; ++index)
        if (const std::optional<DeviceVariable> variable = readVariable(device, index))
            model().showVariable(index, *variable, index);
}

void TFormVariables::MenuItemWatchClick()
{
    if (const std::optional<int> row = selectedRow())
        host().addWatch(model().rowName(*row));
}
