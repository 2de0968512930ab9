#include "app/serial_port_list.h"

#include "platform/wide_text.h"

#include <algorithm>
#include <map>
#include <windows.h>
// setupapi.h needs the types of windows.h, and devguid.h defines its GUIDs only after initguid.h.
// clang-format off
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

namespace {

struct PortDetails {
    std::string description;
    std::string manufacturer;
};

std::wstring registryString(HKEY key, const wchar_t* value) {
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key, value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

std::string deviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[512] = {};
    if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                             reinterpret_cast<BYTE*>(text), sizeof text - sizeof(wchar_t),
                                             nullptr))
        return {};
    return platform::utf8FromWide(text);
}

// What the device manager knows of each port: "USB-SERIAL CH340" by "wch.cn", keyed by "COM7".
std::map<std::string, PortDetails> portDetails() {
    std::map<std::string, PortDetails> details;
    const HDEVINFO devices = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return details;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key = ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        const std::string name = platform::utf8FromWide(registryString(key, L"PortName"));
        ::RegCloseKey(key);
        if (!name.empty())
            details[name] = {deviceProperty(devices, device, SPDRP_DEVICEDESC),
                             deviceProperty(devices, device, SPDRP_MFG)};
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return details;
}

// Every serial port the system has named, whether or not a device node stands behind it.
std::vector<std::string> serialCommNames() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return names;
    wchar_t value[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = DWORD(std::size(value));
        if (::RegEnumValueW(key, i, value, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (std::string name = platform::utf8FromWide(registryString(key, value)); !name.empty())
            names.push_back(name);
    }
    ::RegCloseKey(key);
    return names;
}

// COM2 before COM10, as people count.
bool portOrder(const SerialPortEntry& a, const SerialPortEntry& b) {
    return a.path.size() != b.path.size() ? a.path.size() < b.path.size() : a.path < b.path;
}

} // namespace

std::vector<SerialPortEntry> SystemSerialPorts::present() const {
    std::map<std::string, PortDetails> details = portDetails();
    for (const std::string& name : serialCommNames())
        details.try_emplace(name);
    std::vector<SerialPortEntry> entries;
    for (auto& [name, port] : details)
        entries.push_back({name, std::move(port.description), std::move(port.manufacturer)});
    std::sort(entries.begin(), entries.end(), portOrder);
    return entries;
}
