#pragma once
// Why a serial device could not be used, in the tool's own kinds, and the line that tells the user
// what to do about it.
#include <string>

namespace platform {

enum class SerialFault { None, NoSuchDevice, NoPermission, InUse, Other };

// The one place where errno becomes a SerialFault.
SerialFault serialFaultFromErrno(int error);

// A sentence in Czech for the second line of the failure message; `error` gives the system's text
// for faults the user cannot act on. `device` is the path the user can look for.
std::string serialFaultCause(SerialFault fault, int error, const std::string& device);

} // namespace platform
