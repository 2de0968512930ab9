#pragma once
// The serial device under the port engine, one implementation per system (serial_device_posix.cpp
// on termios, serial_device_win32.cpp on the Windows comm API): open with exclusive access, the
// device-control block, line status, modem lines, reads, purges and the DTR and RTS lines.
#include "platform/control_block.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// Modem line bits as returned by modemLines().
constexpr int kLineCts = 0x01, kLineDsr = 0x02, kLineRlsd = 0x04, kLineRing = 0x08;

// Line error bits of LineStatus::errors, valued as the Windows comm error flags.
constexpr std::uint32_t kErrorRxOver = 0x0001, kErrorOverrun = 0x0002, kErrorParity = 0x0004,
                        kErrorFrame = 0x0008, kErrorBreak = 0x0010;

// The comm events the engine asks for (received byte, CTS, DSR, RLSD, line error, ring), then the
// narrower sets for drivers that refuse modem-line events (USB and Bluetooth adapters, emulators).
constexpr std::uint32_t kCommEventChoices[] = {0x01B9, 0x0081, 0x0001};

struct LineStatus {
    std::uint32_t errors = 0; // the line errors that occurred since the previous status
    std::uint32_t inQueue = 0;
    std::uint32_t outQueue = 0;
};

// The set-up step after open that the device refused.
enum class PrepareFailure { None, Timeouts, Buffers, EventMask };

class SerialDevice {
public:
    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens with exclusive access, DTR and RTS up. 0, or the system's error code of the step that
    // failed (errno, or GetLastError() on Windows).
    int open(const std::string& path);
    // Puts back what open changed and releases the device.
    void close();
    bool isOpen() const;
    // What the engine's threads wait on: the file descriptor, or the Windows handle.
    std::intptr_t native() const;

    // Reads that return at once, the system's queues, the events to watch.
    PrepareFailure prepare(std::int32_t inQueueSize, std::int32_t outQueueSize);
    // Applies the block, DTR and RTS included; false unless the device took all of it.
    bool apply(const ControlBlock& block);
    // The device's actual settings written over the fields of `block` that the device knows.
    void readBack(ControlBlock& block) const;

    LineStatus status();
    std::optional<int> modemLines() const; // nothing where the device has no modem lines (a pty)
    bool setDtr(bool on);
    bool setRts(bool on);
    void flushInput();  // drops what waits to be read
    void flushOutput(); // drops what waits to be sent

    // Bytes read, 0 when none are there; never waits. -1 on failure.
    long read(void* buffer, std::size_t count);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace platform
