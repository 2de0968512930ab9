#pragma once
// The port or card reader the command line talks through: --port or --reader, else the one chosen in
// setting.ini.
#include "app/settings_file.h"

#include <optional>
#include <QString>
#include <string>

struct PortChoice {
    int comNumber = 0;      // 1..6, mapped as the window maps it
    std::string devicePath; // wins over comNumber
    std::string cardReader; // wins over both: the SIM in that reader
};

// --port, else --reader, else what the window chose last. Nothing, with what to do in error, when
// none is chosen or the name is none the window knows.
std::optional<PortChoice> choosePort(const QString& option, const QString& reader,
                                     const StoredSettings& settings, QString& error);
