#pragma once
// The line settings of a termios device, behind the POSIX serial device: what termios can hold of
// the device-control block, and arbitrary speeds through the kernel's termios2.
#include <cstdint>
#include <optional>

struct termios;

namespace platform {

enum class SerialParity { None, Odd, Even, Mark, Space }; // in the order of the block's Parity field
enum class SerialStopBits { One, OneAndHalf, Two };       // in the order of the block's StopBits field
enum class SerialFlow { None, XonXoff, RtsCts, DtrDsr };

struct SerialSettings {
    std::uint32_t baudRate = 9600;
    int dataBits = 8;
    SerialParity parity = SerialParity::None;
    SerialStopBits stopBits = SerialStopBits::One;
    SerialFlow flow = SerialFlow::None;
    bool parityCheck = false;
    char xonChar = 17;
    char xoffChar = 19;
    friend bool operator==(const SerialSettings&, const SerialSettings&) = default;
};

// Fills the termios fields of everything in `settings` except the speed. False when termios cannot
// express it (4 data bits, 1.5 stop bits, DTR/DSR flow).
bool settingsToTermios(const SerialSettings& settings, termios& attributes);
// The settings that `attributes` describe, speed excluded.
SerialSettings settingsFromTermios(const termios& attributes);

// Arbitrary line speeds through the kernel's termios2 interface (serial_device_termios2.cpp, kept
// apart because <asm/termbits.h> and glibc's <termios.h> cannot meet in one file).
namespace arbitrary_speed {
bool setSpeed(int fd, std::uint32_t baudRate);
std::optional<std::uint32_t> speed(int fd);
} // namespace arbitrary_speed

} // namespace platform
