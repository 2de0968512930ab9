#include "platform/serial_fault.h"
#include "platform/wide_text.h"

#include <windows.h>

namespace platform {

SerialFault serialFaultFromSystemError(int error) {
    switch (DWORD(error)) {
    case ERROR_SUCCESS:
        return SerialFault::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_UNIT:
        return SerialFault::NoSuchDevice;
    // A port opened without sharing answers every other opener with "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return SerialFault::InUse;
    default:
        return SerialFault::Other; // the driver refused the port
    }
}

// In the language of the PC, in UTF-8 as every text of the engine's messages.
std::string systemErrorText(int error) {
    const std::string text = systemMessage(DWORD(error));
    return text.empty() ? "Chyba systému " + std::to_string(error) + "." : text;
}

} // namespace platform
