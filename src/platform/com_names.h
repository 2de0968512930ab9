#pragma once
// The device that stands for COMn. On Windows it is \\.\COMn. Elsewhere it is the device that the
// link dosdevices/comN in the settings directory points to, when that link exists (lower-case, as
// Wine names its port links); otherwise /dev/ttyS{n-1}.
#include <string>

namespace platform {

std::string comDevicePath(const std::string& settingsDirectory, int portNumber);

// The highest COMn a user may name: the window's six on Linux, any the system can have on Windows.
int highestComNumber();

} // namespace platform
