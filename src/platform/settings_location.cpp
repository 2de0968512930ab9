#include "platform/settings_location.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace platform {

std::string chooseSettingsDirectory(const SettingsLocationInputs& inputs) {
    if (inputs.executableDirectoryWritable)
        return inputs.executableDirectory;
    const std::string base = inputs.xdgConfigHome.empty() ? inputs.home + "/.config" : inputs.xdgConfigHome;
    return base + "/alarmgsm";
}

std::string executableDirectory() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path().string();
    return exe.parent_path().string();
}

std::string settingsDirectory() {
    SettingsLocationInputs inputs;
    inputs.executableDirectory = executableDirectory();
    inputs.executableDirectoryWritable = ::access(inputs.executableDirectory.c_str(), W_OK) == 0;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"))
        inputs.xdgConfigHome = xdg;
    if (const char* home = std::getenv("HOME"))
        inputs.home = home;
    const std::string chosen = chooseSettingsDirectory(inputs);
    std::error_code ignored; // a directory that cannot be made shows up as a file error later
    std::filesystem::create_directories(chosen, ignored);
    return chosen;
}

} // namespace platform
