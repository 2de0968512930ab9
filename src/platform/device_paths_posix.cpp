#include "platform/device_paths.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

std::string deviceTarget(const std::string& path) {
    std::error_code error;
    const fs::path canonical = fs::canonical(path, error);
    if (!error)
        return canonical.string();
    const fs::path target = fs::read_symlink(path, error);
    if (error)
        return path;
    // A relative target counts from the link's directory; an absolute one replaces it.
    return (fs::path(path).parent_path() / target).lexically_normal().string();
}

std::string deviceName(const std::string& path) {
    return fs::path(deviceTarget(path)).filename().string();
}

bool sameDevice(const std::string& first, const std::string& second) {
    return deviceTarget(first) == deviceTarget(second);
}

std::string stableDevicePath(const std::string& device, const std::string& stableDirectory) {
    const std::string target = deviceTarget(device);
    std::string stable;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(stableDirectory, error)) {
        const std::string link = entry.path().string();
        // The smallest of several links, so that the choice does not depend on directory order.
        if (deviceTarget(link) == target && (stable.empty() || link < stable))
            stable = link;
    }
    return stable.empty() ? device : stable;
}

bool isDevicePath(const std::string& line) {
    return !line.empty() && line.front() == '/';
}

} // namespace platform
