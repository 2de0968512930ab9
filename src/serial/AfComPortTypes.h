#pragma once
// The settings vocabulary of the serial port: enumerations whose numeric values are fixed by their
// order, the 28-byte device-control block, the engine's event kinds and its error class.
#include "platform/control_block.h"

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

enum TAfBaudrate : int {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    brUser
};

enum TAfDatabits : int { db4, db5, db6, db7, db8 };
enum TAfParity : int { paNone, paOdd, paEven, paMark, paSpace };
enum TAfStopbits : int { sbOne, sbOneAndHalf, sbTwo };
enum TAfFlowControl : int { fwNone, fwXOnXOff, fwRtsCts, fwDtrDsr };
enum TAfComOption : int { coParityCheck, coDsrSensitivity, coIgnoreXOff, coErrorChar, coStripNull };

// A set of TAfComOption, one bit per element at the element's ordinal.
class TAfComOptions {
public:
    constexpr TAfComOptions() = default;
    constexpr TAfComOptions(std::initializer_list<TAfComOption> options) {
        for (TAfComOption option : options)
            m_bits |= bit(option);
    }
    constexpr bool contains(TAfComOption option) const { return (m_bits & bit(option)) != 0; }
    constexpr TAfComOptions& operator<<(TAfComOption option) {
        m_bits |= bit(option);
        return *this;
    }
    constexpr TAfComOptions& operator>>(TAfComOption option) {
        m_bits &= ~bit(option);
        return *this;
    }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr std::uint8_t bits() const { return m_bits; }
    friend constexpr bool operator==(TAfComOptions, TAfComOptions) = default;

private:
    static constexpr std::uint8_t bit(TAfComOption option) { return std::uint8_t(1u << option); }
    std::uint8_t m_bits = 0;
};

// Linux lets an unprivileged process only lower a thread's priority, so the upper steps mostly
// stay at the normal level there (see the mapping in serial/AfComPortThreads_posix.cpp).
enum TThreadPriority : int { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// The platform's device-control block and its flag bits, under the names the port settings use.
using DCB = platform::ControlBlock;
namespace dcb = platform::dcb;

// Bits of the comm event mask carried by ckCommEvents.
constexpr std::uint32_t EV_RXCHAR = 0x0001;
constexpr std::uint32_t EV_CTS = 0x0008;
constexpr std::uint32_t EV_DSR = 0x0010;
constexpr std::uint32_t EV_RLSD = 0x0020;
constexpr std::uint32_t EV_ERR = 0x0080;
constexpr std::uint32_t EV_RING = 0x0100;

// Line error flags, gathered by the engine and handed out by TakeLineErrors.
constexpr std::uint32_t CE_RXOVER = 0x0001;
constexpr std::uint32_t CE_OVERRUN = 0x0002;
constexpr std::uint32_t CE_RXPARITY = 0x0004;
constexpr std::uint32_t CE_FRAME = 0x0008;
constexpr std::uint32_t CE_BREAK = 0x0010;

// Line functions of EscapeLine.
enum TAfLineFunction : int { SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6 };

// What the receive thread reports to the engine's event callback.
// ckDeviceLost: the device hung up or went away (a USB adapter pulled out); raised again at every
// status poll until the port is closed, so that a hand-over that timed out is made up for.
enum TAfCoreEventKind : int {
    ckOutputEmpty = 0,
    ckCommEvents = 1,
    ckDataWaiting = 2,
    ckThreadError = 3,
    ckDeviceLost = 4
};

class EAfComPortCoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
