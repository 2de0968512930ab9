#pragma once
// Why a serial device could not be used, in the tool's own kinds, and the line that tells the user
// what to do about it. The system's error codes are errno values, or GetLastError() on Windows.
#include <string>

namespace platform {

enum class SerialFault { None, NoSuchDevice, NoPermission, InUse, Other };

// The one place where a system error code becomes a SerialFault (serial_fault_posix.cpp,
// serial_fault_win32.cpp).
SerialFault serialFaultFromSystemError(int error);
// The system's own text for an error code.
std::string systemErrorText(int error);

// A sentence in Czech for the second line of the failure message; `error` gives the system's text
// for faults the user cannot act on. `device` is the path the user can look for.
std::string serialFaultCause(SerialFault fault, int error, const std::string& device);

} // namespace platform
