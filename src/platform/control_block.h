#pragma once
// The device-control block, laid out byte for byte as the 28-byte record that the port settings
// have always been described with, so that the Windows build hands it to the system unchanged; the
// bit fields are kept as one word with named masks.
#include <cstdint>

namespace platform {

struct ControlBlock {
    std::uint32_t DCBlength = 0;
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;

    friend bool operator==(const ControlBlock&, const ControlBlock&) = default;
};
static_assert(sizeof(ControlBlock) == 28, "the device-control block is a 28-byte record");

// Flag bits of ControlBlock::Flags, and the values of its Parity and StopBits fields.
namespace dcb {
constexpr std::uint32_t fBinary = 0x0001;
constexpr std::uint32_t fParity = 0x0002;
constexpr std::uint32_t fOutxCtsFlow = 0x0004;
constexpr std::uint32_t fOutxDsrFlow = 0x0008;
constexpr std::uint32_t fDtrControlEnable = 0x0010;
constexpr std::uint32_t fDtrControlHandshake = 0x0020;
constexpr std::uint32_t fDsrSensitivity = 0x0040;
constexpr std::uint32_t fTXContinueOnXoff = 0x0080;
constexpr std::uint32_t fOutX = 0x0100;
constexpr std::uint32_t fInX = 0x0200;
constexpr std::uint32_t fErrorChar = 0x0400;
constexpr std::uint32_t fNull = 0x0800;
constexpr std::uint32_t fRtsControlEnable = 0x1000;
constexpr std::uint32_t fRtsControlHandshake = 0x2000;
constexpr std::uint32_t fAbortOnError = 0x4000;

constexpr std::uint8_t NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr std::uint8_t ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;
} // namespace dcb

} // namespace platform
