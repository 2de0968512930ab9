#pragma once
// Where the tool keeps setting.ini and the dosdevices links: beside the executable for a build tree
// or a copied folder (portable use). A copy installed into a system binary directory or into
// ~/.local/bin, or one whose directory the user cannot write, uses $XDG_CONFIG_HOME/alarmgsm
// instead: a package's files in /usr/bin are never written, even by root. On Windows a copy
// installed below Program Files, or one whose folder the user cannot write, uses
// %APPDATA%\alarmgsm: an administrator's run must not leave its settings in the shared folder.
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

struct WindowsSettingsLocationInputs {
    std::string executableDirectory;
    bool executableDirectoryWritable = true;
    std::string appData; // empty when unknown
    std::vector<std::string> programFilesDirectories;
};

std::string chooseWindowsSettingsDirectory(const WindowsSettingsLocationInputs& inputs);

// The real directory for this process; created when it is the fallback.
std::string settingsDirectory();

std::string executableDirectory();

} // namespace platform
