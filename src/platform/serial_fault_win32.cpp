#include "platform/serial_fault.h"

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
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        DWORD(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = length > 0 ? std::wstring(text, length) : std::wstring();
    ::LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' '))
        wide.pop_back();
    if (wide.empty())
        return "Chyba systému " + std::to_string(error) + ".";
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace platform
