#include "app/serial_port_list.h"

#include <QSerialPortInfo>

std::vector<SerialPortEntry> SystemSerialPorts::present() const {
    std::vector<SerialPortEntry> entries;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts())
        entries.push_back({port.systemLocation().toStdString(), port.description().toStdString(),
                           port.manufacturer().toStdString()});
    return entries;
}
