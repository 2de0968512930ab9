#pragma once
// Where the tool keeps setting.ini and the dosdevices links: beside the executable, or, where the
// user cannot write there (an installed copy), in $XDG_CONFIG_HOME/alarmgsm, the way Windows
// redirects a program's writes out of a read-only program folder.
#include <string>

namespace platform {

struct SettingsLocationInputs {
    std::string executableDirectory;
    bool executableDirectoryWritable = true;
    std::string xdgConfigHome; // empty when unset
    std::string home;
};

std::string chooseSettingsDirectory(const SettingsLocationInputs& inputs);

// The real directory for this process; created when it is the fallback.
std::string settingsDirectory();

std::string executableDirectory();

} // namespace platform
