#include "platform/com_names.h"

namespace platform {

// The device namespace: the plain name "COMn" opens only ports 1 to 9.
std::string comDevicePath(const std::string&, int portNumber) {
    return "\\\\.\\COM" + std::to_string(portNumber);
}

int highestComNumber() {
    return 255;
}

} // namespace platform
