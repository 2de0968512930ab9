#include "platform/serial_fault.h"

#include <cerrno>
#include <cstring>

namespace platform {

SerialFault serialFaultFromSystemError(int error) {
    switch (error) {
    case 0:
        return SerialFault::None;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return SerialFault::NoSuchDevice;
    case EACCES:
    case EPERM:
        return SerialFault::NoPermission;
    case EBUSY:       // another opener set the exclusive flag
    case EWOULDBLOCK: // another opener holds the lock
        return SerialFault::InUse;
    default:
        return SerialFault::Other;
    }
}

std::string systemErrorText(int error) {
    return std::strerror(error);
}

} // namespace platform
