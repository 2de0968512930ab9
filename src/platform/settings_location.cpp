#include "platform/settings_location.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

// Installed for all users, or for one user in the directory the XDG base layout gives programs.
bool isInstalled(const SettingsLocationInputs& inputs) {
    const auto& system = inputs.systemBinaryDirectories;
    return std::find(system.begin(), system.end(), inputs.executableDirectory) != system.end() ||
           inputs.executableDirectory == inputs.home + "/.local/bin";
}

// Windows compares paths without regard to case, and either slash separates folders.
std::string comparablePath(std::string path) {
    for (char& c : path)
        c = c == '/' ? '\\' : char(std::tolower(static_cast<unsigned char>(c)));
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

bool isBelow(const std::string& path, const std::string& folder) {
    const std::string inner = comparablePath(path), outer = comparablePath(folder);
    return !outer.empty() && inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           inner[outer.size()] == '\\';
}

} // namespace

std::string chooseSettingsDirectory(const SettingsLocationInputs& inputs) {
    if (inputs.executableDirectoryWritable && !isInstalled(inputs))
        return inputs.executableDirectory;
    const std::string base = inputs.xdgConfigHome.empty() ? inputs.home + "/.config" : inputs.xdgConfigHome;
    return base + "/alarmgsm";
}

std::string chooseWindowsSettingsDirectory(const WindowsSettingsLocationInputs& inputs) {
    const auto& programs = inputs.programFilesDirectories;
    const bool installed = std::any_of(programs.begin(), programs.end(), [&](const std::string& folder) {
        return isBelow(inputs.executableDirectory, folder);
    });
    if ((inputs.executableDirectoryWritable && !installed) || inputs.appData.empty())
        return inputs.executableDirectory;
    return inputs.appData + "\\alarmgsm";
}

} // namespace platform
