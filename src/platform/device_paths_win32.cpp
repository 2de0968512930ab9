#include "platform/device_paths.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";

} // namespace

// Windows names a port the same way whatever the adapter, so its name already finds it again; the
// canonical form is the device namespace's path, the only one that opens ports above COM9.
std::string deviceTarget(const std::string& path) {
    return std::string(kDeviceNamespace) + deviceName(path);
}

// "COM7" for \\.\COM7, com7 and COM7.
std::string deviceName(const std::string& path) {
    std::string name = path.rfind(kDeviceNamespace, 0) == 0 ? path.substr(kDeviceNamespace.size()) : path;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return name;
}

bool sameDevice(const std::string& first, const std::string& second) {
    return deviceTarget(first) == deviceTarget(second);
}

std::string stableDevicePath(const std::string& device, const std::string&) {
    return deviceTarget(device);
}

// As the tool writes it: setting.ini compares port names exactly.
bool isDevicePath(const std::string& line) {
    const std::string_view prefix = "\\\\.\\COM";
    return line.size() > prefix.size() && line.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(line.begin() + prefix.size(), line.end(),
                       [](unsigned char c) { return std::isdigit(c); });
}

} // namespace platform
