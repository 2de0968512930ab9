#pragma once
// Serial devices by path: where a link leads, the short name users know a device by, and the
// /dev/serial/by-id link that finds the same adapter after the kernel has numbered it anew. On
// Windows a port's name (COM7) is all of these at once.
#include <string>

namespace platform {

inline constexpr const char* kStableDeviceDirectory = "/dev/serial/by-id";

// The device a path stands for: its canonical path, or for a link whose device is gone, the path
// the link names; otherwise the path itself.
std::string deviceTarget(const std::string& path);
// "ttyUSB0" for /dev/ttyUSB0 and for every link that leads there.
std::string deviceName(const std::string& path);
bool sameDevice(const std::string& first, const std::string& second);
// The link in `stableDirectory` that leads to `device`, or `device` itself when there is none.
std::string stableDevicePath(const std::string& device,
                             const std::string& stableDirectory = kStableDeviceDirectory);
// Whether a line of setting.ini names a device: an absolute path, or on Windows a port's "\\.\COMn".
bool isDevicePath(const std::string& line);

} // namespace platform
