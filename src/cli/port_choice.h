#pragma once
// The port the command line talks through: --port, else the one chosen in setting.ini.
#include "app/settings_file.h"

#include <optional>
#include <QString>
#include <string>

struct PortChoice {
    int comNumber = 0;      // 1..6, mapped as the window maps it
    std::string devicePath; // wins over comNumber
};

// Nothing, with what to do in error, when no port is chosen or the name is none the window knows.
std::optional<PortChoice> choosePort(const QString& option, const StoredSettings& settings, QString& error);
