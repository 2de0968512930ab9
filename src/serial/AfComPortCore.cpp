#include "serial/AfComPortCore.h"

#include "platform/device_paths.h"
#include "platform/serial_fault.h"
#include "serial/AfCircularBuffer.h"
#include "serial/AfComPortThreads.h"

#include <cstdio>
#include <new>
#include <utility>

namespace {

constexpr int kFlushTimeoutMs = 2000;

std::string withPortNumber(const char* format, int portNumber) {
    char text[128];
    std::snprintf(text, sizeof text, format, portNumber);
    return text;
}

// The first line of an open failure names the port as the user chose it.
std::string failureHeadline(platform::SerialFault fault, int portNumber, const std::string& path) {
    if (portNumber == 0)
        return "Nemohu otevřít port " + platform::deviceName(path);
    return withPortNumber(fault == platform::SerialFault::NoSuchDevice ? "Chybné číslo portu (COM%d)"
                                                                       : "Nemohu otevřít port COM%d",
                          portNumber);
}

platform::SerialSettings settingsFromDcb(const DCB& block) {
    platform::SerialSettings settings;
    settings.baudRate = block.BaudRate;
    settings.dataBits = block.ByteSize;
    switch (block.Parity) {
    case dcb::ODDPARITY:
        settings.parity = platform::SerialParity::Odd;
        break;
    case dcb::EVENPARITY:
        settings.parity = platform::SerialParity::Even;
        break;
    case dcb::MARKPARITY:
        settings.parity = platform::SerialParity::Mark;
        break;
    case dcb::SPACEPARITY:
        settings.parity = platform::SerialParity::Space;
        break;
    default:
        settings.parity = platform::SerialParity::None;
        break;
    }
    settings.parityCheck = (block.Flags & dcb::fParity) != 0;
    switch (block.StopBits) {
    case dcb::ONE5STOPBITS:
        settings.stopBits = platform::SerialStopBits::OneAndHalf;
        break;
    case dcb::TWOSTOPBITS:
        settings.stopBits = platform::SerialStopBits::Two;
        break;
    default:
        settings.stopBits = platform::SerialStopBits::One;
        break;
    }
    if (block.Flags & (dcb::fOutxDsrFlow | dcb::fDtrControlHandshake))
        settings.flow = platform::SerialFlow::DtrDsr;
    else if (block.Flags & (dcb::fOutxCtsFlow | dcb::fRtsControlHandshake))
        settings.flow = platform::SerialFlow::RtsCts;
    else if (block.Flags & (dcb::fOutX | dcb::fInX))
        settings.flow = platform::SerialFlow::XonXoff;
    settings.xonChar = block.XonChar;
    settings.xoffChar = block.XoffChar;
    return settings;
}

// The device's actual settings written over the corresponding fields of `block`; the fields that
// a termios line has no counterpart for keep their values.
void settingsIntoDcb(const platform::SerialSettings& settings, DCB& block) {
    block.BaudRate = settings.baudRate;
    block.ByteSize = std::uint8_t(settings.dataBits);
    switch (settings.parity) {
    case platform::SerialParity::None:
        block.Parity = dcb::NOPARITY;
        break;
    case platform::SerialParity::Odd:
        block.Parity = dcb::ODDPARITY;
        break;
    case platform::SerialParity::Even:
        block.Parity = dcb::EVENPARITY;
        break;
    case platform::SerialParity::Mark:
        block.Parity = dcb::MARKPARITY;
        break;
    case platform::SerialParity::Space:
        block.Parity = dcb::SPACEPARITY;
        break;
    }
    block.StopBits = settings.stopBits == platform::SerialStopBits::Two ? dcb::TWOSTOPBITS : dcb::ONESTOPBIT;
    block.Flags &= ~(dcb::fParity | dcb::fOutX | dcb::fInX | dcb::fOutxCtsFlow | dcb::fRtsControlHandshake |
                     dcb::fOutxDsrFlow | dcb::fDtrControlHandshake);
    if (settings.parityCheck)
        block.Flags |= dcb::fParity;
    if (settings.flow == platform::SerialFlow::XonXoff)
        block.Flags |= dcb::fOutX | dcb::fInX;
    if (settings.flow == platform::SerialFlow::RtsCts)
        block.Flags |= dcb::fOutxCtsFlow | dcb::fRtsControlHandshake;
    block.XonChar = settings.xonChar;
    block.XoffChar = settings.xoffChar;
}

// DTR and RTS as the block asks, where no handshake drives them. A pty has neither line.
void applyControlLines(platform::SerialDevice& device, const DCB& block) {
    if (!(block.Flags & dcb::fDtrControlHandshake))
        device.setDtr((block.Flags & dcb::fDtrControlEnable) != 0);
    if (!(block.Flags & dcb::fRtsControlHandshake))
        device.setRts((block.Flags & dcb::fRtsControlEnable) != 0);
}

std::uint32_t lineErrorFlags(const platform::LineCounters& before, const platform::LineCounters& now) {
    std::uint32_t flags = 0;
    if (now.frame != before.frame)
        flags |= CE_FRAME;
    if (now.overrun != before.overrun)
        flags |= CE_OVERRUN;
    if (now.parity != before.parity)
        flags |= CE_RXPARITY;
    if (now.brk != before.brk)
        flags |= CE_BREAK;
    if (now.bufferOverrun != before.bufferOverrun)
        flags |= CE_RXOVER;
    return flags;
}

} // namespace

TAfComPortCore::TAfComPortCore(ComDeviceResolver resolveDevice)
    : m_resolve(std::move(resolveDevice)), m_outputEmpty(std::make_unique<TAfSignal>()) {}

TAfComPortCore::~TAfComPortCore() {
    ClosePort();
}

void TAfComPortCore::OpenPort(int portNumber) {
    if (m_open)
        return;
    if (portNumber <= 0)
        throw EAfComPortCoreError(withPortNumber("Chybné číslo portu (COM%d)", portNumber));
    m_portNumber = portNumber;
    openDevice(m_resolve ? m_resolve(portNumber) : std::string());
}

void TAfComPortCore::OpenPath(const std::string& path) {
    if (m_open)
        return;
    m_portNumber = 0;
    openDevice(path);
}

void TAfComPortCore::openDevice(const std::string& path) {
    auto device = std::make_unique<platform::SerialDevice>();
    if (const int error = device->open(path)) {
        const platform::SerialFault fault = platform::serialFaultFromErrno(error);
        throw EAfComPortCoreError(failureHeadline(fault, m_portNumber, path) + "\n" +
                                  platform::serialFaultCause(fault, error, platform::deviceTarget(path)));
    }
    m_device = std::move(device);
    try {
        // Reads never block (VMIN = VTIME = 0, set at open) and the receive thread watches every
        // line event, so there are no timeouts or event mask to set. The kernel's tty queues are
        // fixed; the output queue size is the size of the write ring.
        if (m_inQueueSize < 1 || m_outQueueSize < 1)
            throw EAfComPortCoreError("Error initializing buffers");
        if (!m_device->apply(settingsFromDcb(m_dcb))) {
            settingsIntoDcb(m_device->current(), m_dcb);
            throw EAfComPortCoreError("Error setting parameters from DCB");
        }
        applyControlLines(*m_device, m_dcb);
        {
            std::lock_guard lock(m_statusLock);
            m_lineErrors = 0;
            m_lineCounters = m_device->lineCounters();
        }
        try {
            m_ring = std::make_unique<TAfCircularBuffer>(m_outQueueSize);
        } catch (const std::bad_alloc&) {
            throw EAfComPortCoreError("Error initializing buffers");
        }
        m_writeThread = std::make_unique<TAfComPortWriteThread>(*this, *m_device, *m_ring);
        if (!m_writeThread->Start())
            throw EAfComPortCoreError("Error creating threads");
        m_writeThread->SetPriority(m_writePriority);
        m_active = true;
        m_eventThread = std::make_unique<TAfComPortEventThread>(*this, *m_device, m_callback);
        if (!m_eventThread->Start())
            throw EAfComPortCoreError("Error creating threads");
        m_eventThread->SetPriority(m_eventPriority);
        m_open = true;
    } catch (...) {
        closeDevice();
        throw;
    }
}

void TAfComPortCore::ClosePort() {
    if (!m_open)
        return;
    closeDevice();
    m_open = false;
}

// The status lock is not held while the threads are joined: the receive thread takes it for its
// status poll, so holding it across the join could wait forever. Clearing the active flag first
// keeps new status calls away; the device itself is closed under the lock.
void TAfComPortCore::closeDevice() {
    m_active = false;
    if (!m_device)
        return;
    if (m_writeThread) {
        m_writeThread->Flush(kFlushTimeoutMs);
        m_writeThread->Stop();
        m_writeThread.reset();
    }
    if (m_eventThread) {
        m_eventThread->Stop();
        m_eventThread.reset();
    }
    std::lock_guard lock(m_statusLock);
    m_device->flushInput();
    m_device->flushOutput();
    m_device->close();
    m_device.reset();
    std::lock_guard writeLock(m_writeLock);
    m_ring.reset();
}

void TAfComPortCore::ApplyDcb(const DCB& block) {
    m_dcb = block;
    if (!m_active)
        return;
    std::lock_guard lock(m_statusLock);
    if (!m_device->apply(settingsFromDcb(m_dcb))) {
        settingsIntoDcb(m_device->current(), m_dcb);
        throw EAfComPortCoreError("Error setting parameters from DCB");
    }
    applyControlLines(*m_device, m_dcb);
}

TAfLineStatus TAfComPortCore::GetStatus() {
    if (!m_active)
        return {};
    std::lock_guard lock(m_statusLock);
    return {m_lineErrors, std::uint32_t(m_device->bytesWaiting()), std::uint32_t(m_device->bytesQueuedOut())};
}

std::uint32_t TAfComPortCore::pollLineErrors() {
    std::lock_guard lock(m_statusLock);
    if (!m_lineCounters || !m_device)
        return 0;
    const std::optional<platform::LineCounters> now = m_device->lineCounters();
    if (!now)
        return 0;
    const std::uint32_t flags = lineErrorFlags(*m_lineCounters, *now);
    m_lineCounters = now;
    m_lineErrors |= flags;
    return flags;
}

std::uint32_t TAfComPortCore::TakeLineErrors() {
    if (!m_active)
        return 0;
    std::lock_guard lock(m_statusLock);
    return std::exchange(m_lineErrors, 0);
}

std::int32_t TAfComPortCore::ReadBytes(void* buffer, std::int32_t count) {
    if (!m_active)
        return -1;
    if (count < 1)
        return 0;
    long got;
    {
        std::lock_guard lock(m_statusLock);
        got = m_device->read(buffer, std::size_t(count));
    }
    if (m_eventThread)
        m_eventThread->Wake();
    return got < 0 ? 0 : std::int32_t(got);
}

bool TAfComPortCore::WriteBytes(const void* bytes, std::int32_t count) {
    if (!m_active)
        return false;
    {
        std::lock_guard lock(m_writeLock);
        if (!m_ring->Write(bytes, count))
            return false;
    }
    m_writeThread->DataReady();
    return true;
}

std::int32_t TAfComPortCore::OutputFree() {
    if (!m_active)
        return 0;
    std::lock_guard lock(m_writeLock);
    return m_ring->Free();
}

bool TAfComPortCore::EscapeLine(TAfLineFunction function) {
    if (!m_active)
        return false;
    switch (function) {
    case SETDTR:
        return m_device->setDtr(true);
    case CLRDTR:
        return m_device->setDtr(false);
    case SETRTS:
        return m_device->setRts(true);
    case CLRRTS:
        return m_device->setRts(false);
    }
    return false;
}

void TAfComPortCore::SetEventThreadPriority(TThreadPriority priority) {
    m_eventPriority = priority;
    if (m_active && m_eventThread)
        m_eventThread->SetPriority(priority);
}

void TAfComPortCore::SetWriteThreadPriority(TThreadPriority priority) {
    m_writePriority = priority;
    if (m_active && m_writeThread)
        m_writeThread->SetPriority(priority);
}

void TAfComPortCore::reportThreadError(std::exception_ptr error) {
    std::lock_guard lock(m_errorLock);
    if (!m_threadError)
        m_threadError = std::move(error);
}

std::exception_ptr TAfComPortCore::TakeThreadError() {
    std::lock_guard lock(m_errorLock);
    return std::exchange(m_threadError, nullptr);
}
