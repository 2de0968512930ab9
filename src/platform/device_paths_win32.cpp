#include "platform/device_paths.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";

} // namespace

// "COM7" for \\.\COM7, com7 and COM7: Windows names a port the same way whatever the adapter, so
// the name is already what finds it again.
std::string deviceTarget(const std::string& path) {
    std::string name = path.rfind(kDeviceNamespace, 0) == 0 ? path.substr(kDeviceNamespace.size()) : path;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return name;
}

std::string deviceName(const std::string& path) {
    return deviceTarget(path);
}

bool sameDevice(const std::string& first, const std::string& second) {
    return deviceTarget(first) == deviceTarget(second);
}

std::string stableDevicePath(const std::string& device, const std::string&) {
    return deviceTarget(device);
}

// As the tool writes it: setting.ini compares port names exactly.
bool isDevicePath(const std::string& line) {
    return line.size() > 3 && line.compare(0, 3, "COM") == 0 &&
           std::all_of(line.begin() + 3, line.end(), [](unsigned char c) { return std::isdigit(c); });
}

} // namespace platform
