#include "SerialPortCombo.h"

#include <QComboBox>

#include "SerialPortChoice.h"
#include "SerialPortList.h"

namespace zern {

PresentSerialPorts machineSerialPorts()
{
    return [] { return platform::presentSerialPorts(); };
}

void fillSerialPortCombo(QComboBox& combo, const std::vector<std::string>& presentPorts,
                         const std::optional<std::string>& storedPort)
{
    const PortChoice choice = portChoice(presentPorts, storedPort);
    combo.clear();
    for (const std::string& item : choice.items)
        combo.addItem(QString::fromStdString(item));
    combo.setCurrentIndex(choice.selected);
}

}  // namespace zern
