#include "cli/port_choice.h"

#include "platform/com_names.h"

#include <QRegularExpression>

namespace {

// The window's menu opens COM1 to COM6 by number; a higher one is a device of its own.
constexpr int kMenuPorts = 6;

bool isDevicePath(const QString& option) {
    return option.startsWith('/') || option.startsWith(QStringLiteral("\\\\.\\"));
}

// n for "COMn" in any case; 0 for anything else.
int comNumberOf(const QString& option) {
    static const QRegularExpression comName(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = comName.match(option);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

} // namespace

std::optional<PortChoice> choosePort(const QString& option, const QString& reader,
                                     const StoredSettings& settings, QString& error) {
    if (!reader.isEmpty())
        return PortChoice{0, {}, reader.toStdString()};
    if (option.isEmpty()) {
        if (!settings.cardReader.empty())
            return PortChoice{0, {}, settings.cardReader};
        if (!settings.devicePath.empty())
            return PortChoice{0, settings.devicePath, {}};
        if (settings.portNumber != 0)
            return PortChoice{settings.portNumber, {}, {}};
        error = QString::fromUtf8("POZOR - není zvolen port ani čtečka karet: zadejte --port nebo --reader, "
                                  "nebo je zvolte v okně programu !");
        return std::nullopt;
    }
    if (isDevicePath(option))
        return PortChoice{0, option.toStdString(), {}};
    const int n = comNumberOf(option);
    if (n >= 1 && n <= kMenuPorts)
        return PortChoice{n, {}, {}};
    if (n > kMenuPorts && n <= platform::highestComNumber())
        return PortChoice{0, platform::comDevicePath({}, n), {}};
    error = QString::fromUtf8("Neznámý port: %1 (COM1 až COM6 nebo cesta k zařízení).").arg(option);
    return std::nullopt;
}
