#include "platform/com_names.h"

#include <sys/stat.h>

namespace platform {

std::string comDevicePath(const std::string& settingsDirectory, int portNumber) {
    const std::string link = settingsDirectory + "/dosdevices/com" + std::to_string(portNumber);
    struct stat info {};
    if (::lstat(link.c_str(), &info) == 0)
        return link;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

int highestComNumber() {
    return 6;
}

} // namespace platform
