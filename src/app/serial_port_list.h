#pragma once
// The serial devices present on the machine right now, as the Port menu lists them. Behind an
// interface so that the menu can be built from any list.
#include <string>
#include <vector>

struct SerialPortEntry {
    std::string path; // /dev/ttyUSB0, or COM7 on Windows
    std::string description;
    std::string manufacturer;
};

class SerialPortList {
public:
    virtual ~SerialPortList() = default;
    virtual std::vector<SerialPortEntry> present() const = 0;
};

// What the system knows of its serial devices (USB adapters, modems, built-in ports).
class SystemSerialPorts final : public SerialPortList {
public:
    std::vector<SerialPortEntry> present() const override;
};
