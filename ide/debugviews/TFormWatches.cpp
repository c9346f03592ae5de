#include "TFormWatches.h"

#include <QMenu>

#include "AbstractDevice.h"
#include "HourglassCursor.h"
#include "TDialogAddWatch.h"

TFormWatches::TFormWatches(QMainWindow* owner, DebugViewHost& host, std::optional<QRect> rect, int placement)
    : VariableWindow(owner, host, tolvane::kViewWatches, QStringLiteral("Watches"), "Watches")
{
    chooseName_ = [this](const QStringList& names) -> std::optional<QString> {
        TDialogAddWatch dialog(this);
        dialog.setNames(names);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.text();
    };
    addWatch_ = popup()->addAction(QStringLiteral("Add Watch..."), this, &TFormWatches::MenuItemAddWatchClick);
    removeWatch_ = popup()->addAction(QStringLiteral("Remove Selected"), this, &TFormWatches::MenuItemRemoveWatchClick);
    ResetView();
    Place(placement, rect);
}

void TFormWatches::fillRows(AbstractDevice& device)
{
    model().forgetDeviceIndices();
    const int count = variableCount(device);
    for (int index = 0; index < count; ++index) {
        const std::optional<DeviceVariable> variable = readVariable(device, index);
        if (!variable)
            continue;
        // Of two watches of one name only the first has the values.
        if (const std::optional<int> row = model().findRow(variable->name))
            model().showVariable(*row, *variable, index);
    }
    model().showUnknownAsNotAvailable();
}

void TFormWatches::AddWatchRow(const QString& name)
{
    model().appendWatch(name);
    RefreshView();
}

void TFormWatches::MenuItemAddWatchClick()
{
    QStringList names;
    {
        platform::HourglassCursor busy;
        if (AbstractDevice* device = currentDevice()) {
            const int count = variableCount(*device);
            for (int index = 0; index < count; ++index)
                if (const std::optional<DeviceVariable> variable = readVariable(*device, index))
                    names << variable->name;
        }
    }
    const std::optional<QString> name = chooseName_(names);
    if (name && !name->isEmpty())
        AddWatchRow(*name);
}

void TFormWatches::MenuItemRemoveWatchClick()
{
    if (const std::optional<int> row = selectedRow())
        model().removeWatch(*row);
}
