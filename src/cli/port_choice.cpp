#include "cli/port_choice.h"

namespace {

constexpr int kPortCount = 6;

} // namespace

std::optional<PortChoice> choosePort(const QString& option, const StoredSettings& settings, QString& error) {
    if (option.isEmpty()) {
        if (!settings.devicePath.empty())
            return PortChoice{0, settings.devicePath};
        if (settings.portNumber != 0)
            return PortChoice{settings.portNumber, {}};
        error =
            QString::fromUtf8("POZOR - není zvolen port: zadejte --port, nebo port zvolte v okně programu !");
        return std::nullopt;
    }
    if (option.startsWith('/'))
        return PortChoice{0, option.toStdString()};
    for (int n = 1; n <= kPortCount; ++n)
        if (option.compare(QStringLiteral("COM%1").arg(n), Qt::CaseInsensitive) == 0)
            return PortChoice{n, {}};
    error = QString::fromUtf8("Neznámý port: %1 (COM1 až COM6 nebo cesta k zařízení).").arg(option);
    return std::nullopt;
}
