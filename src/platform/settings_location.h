#pragma once
// Where the tool keeps setting.ini and the dosdevices links: beside the executable for a build tree
// or a copied folder (portable use). A copy installed into a system binary directory or into
// ~/.local/bin, or one whose directory the user cannot write, uses $XDG_CONFIG_HOME/alarmgsm
// instead: a package's files in /usr/bin are never written, even by root.
#include <string>
#include <vector>

namespace platform {

struct SettingsLocationInputs {
    std::string executableDirectory;
    bool executableDirectoryWritable = true;
    std::string xdgConfigHome; // empty when unset
    std::string home;
    std::vector<std::string> systemBinaryDirectories;
};

std::string chooseSettingsDirectory(const SettingsLocationInputs& inputs);

// The real directory for this process; created when it is the fallback.
std::string settingsDirectory();

std::string executableDirectory();

} // namespace platform
