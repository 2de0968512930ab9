#include "platform/settings_location.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace platform {
namespace {

// Where a package or a local install puts programs, and the directory this build installs into,
// with links resolved as /proc/self/exe resolves them.
std::vector<std::string> systemBinaryDirectories() {
    std::vector<std::string> directories{"/usr/bin", "/usr/local/bin"};
    std::error_code error;
    const auto configured = std::filesystem::weakly_canonical(ALARMGSM_INSTALL_BINDIR, error);
    if (!error)
        directories.push_back(configured.string());
    return directories;
}

} // namespace

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
    inputs.systemBinaryDirectories = systemBinaryDirectories();
    const std::string chosen = chooseSettingsDirectory(inputs);
    std::error_code ignored; // a directory that cannot be made shows up as a file error later
    std::filesystem::create_directories(chosen, ignored);
    return chosen;
}

} // namespace platform
