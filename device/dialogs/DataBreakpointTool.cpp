#include "DataBreakpointTool.h"

#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>

#include "ConfigNumbers.h"
#include "DeviceDialogFrame.h"
#include "TDialogDataBP.h"
#include "ZernDevice.h"

namespace zern {

void runDataBreakpointTool(ZernDevice& device, DataBreakpointEntry& entry)
{
    if (!device.link()) {
        device.report("Set Data Breakpoint: the target is not connected.");
        return;
    }
    TDialogDataBP dialog(QApplication::activeWindow());
    dialog.RadioButton2->setChecked(entry.second);
    dialog.Edit1->setText(entry.address);
    if (execCentred(dialog) != QDialog::Accepted)
        return;
    entry.second = dialog.RadioButton2->isChecked();
    entry.address = dialog.Edit1->text();
    // Decimal or "0x" hexadecimal; any other text leaves the breakpoints as they are.
    int32_t address = 0;
    if (!parseConfigInt(entry.address.toStdString(), address))
        return;
    // The link may have gone while the dialog was open.
    if (LinkDriver* link = device.link())
        link->setDataBreakpoint(entry.second ? 1 : 0, static_cast<uint32_t>(address));
}

}  // namespace zern
