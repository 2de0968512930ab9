#pragma once
// The Linux serial device under the port engine: open with exclusive access, line settings on
// termios, modem lines, queue counts and non-blocking reads and writes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct termios;

namespace platform {

enum class SerialParity { None, Odd, Even, Mark, Space };
enum class SerialStopBits { One, OneAndHalf, Two };
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

// Modem line bits as returned by modemLines().
constexpr int kLineCts = 0x01, kLineDsr = 0x02, kLineRlsd = 0x04, kLineRing = 0x08;

struct LineCounters {
    std::uint32_t frame = 0, overrun = 0, parity = 0, brk = 0, bufferOverrun = 0;
    friend bool operator==(const LineCounters&, const LineCounters&) = default;
};

class SerialDevice {
public:
    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens, locks and puts the line into raw mode with DTR and RTS up. 0, or the errno of the
    // step that failed.
    int open(const std::string& path);
    // Restores the line settings found at open and releases the device.
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    // Applies the settings and reads back what the device took; false unless it took them all.
    bool apply(const SerialSettings& settings);
    SerialSettings current() const;

    int bytesWaiting() const;              // input queue; 0 when unknown
    int bytesQueuedOut() const;            // output queue; 0 when unknown
    std::optional<int> modemLines() const; // nothing where the device has no modem lines (a pty)
    std::optional<LineCounters> lineCounters() const;
    bool setDtr(bool on);
    bool setRts(bool on);
    void flushInput();
    void flushOutput();

    // Bytes read or written; 0 when nothing can be done yet; -1 with errno on failure.
    long read(void* buffer, std::size_t count);
    long write(const void* bytes, std::size_t count);

private:
    int m_fd = -1;
    std::unique_ptr<termios> m_saved;
};

// Arbitrary line speeds through the kernel's termios2 interface (serial_device_termios2.cpp, kept
// apart because <asm/termbits.h> and glibc's <termios.h> cannot meet in one file).
namespace arbitrary_speed {
bool setSpeed(int fd, std::uint32_t baudRate);
std::optional<std::uint32_t> speed(int fd);
} // namespace arbitrary_speed

} // namespace platform
