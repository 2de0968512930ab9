#include "platform/serial_fault.h"

#include <cerrno>
#include <cstring>

namespace platform {

SerialFault serialFaultFromErrno(int error) {
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

std::string serialFaultCause(SerialFault fault, int error, const std::string& device) {
    switch (fault) {
    case SerialFault::None:
        return {};
    case SerialFault::NoSuchDevice:
        return "Zařízení " + device + " není připojeno.";
    case SerialFault::NoPermission:
        // Group membership is read at login, so a new member must log in again.
        return "Nemáte oprávnění k zařízení " + device +
               ": přidejte se do skupiny dialout a přihlaste se znovu.";
    case SerialFault::InUse:
        return "Port používá jiný program.";
    case SerialFault::Other:
        break;
    }
    return std::strerror(error);
}

} // namespace platform
