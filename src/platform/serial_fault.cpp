#include "platform/serial_fault.h"

namespace platform {

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
    return systemErrorText(error);
}

} // namespace platform
