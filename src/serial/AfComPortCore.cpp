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

const char* prepareFailureText(platform::PrepareFailure failure) {
    switch (failure) {
    case platform::PrepareFailure::Timeouts:
        return "Error setting timeouts";
    case platform::PrepareFailure::Buffers:
        return "Error initializing buffers";
    case platform::PrepareFailure::EventMask:
        return " Error setting EventMask";
    case platform::PrepareFailure::None:
        break;
    }
    return "";
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
        const platform::SerialFault fault = platform::serialFaultFromSystemError(error);
        throw EAfComPortCoreError(failureHeadline(fault, m_portNumber, path) + "\n" +
                                  platform::serialFaultCause(fault, error, platform::deviceTarget(path)));
    }
    m_device = std::move(device);
    try {
        const platform::PrepareFailure failure = m_device->prepare(m_inQueueSize, m_outQueueSize);
        if (failure != platform::PrepareFailure::None)
            throw EAfComPortCoreError(prepareFailureText(failure));
        if (!m_device->apply(m_dcb)) {
            m_device->readBack(m_dcb);
            throw EAfComPortCoreError("Error setting parameters from DCB");
        }
        {
            std::lock_guard lock(m_statusLock);
            m_device->status(); // errors from before the open are not this port's
            m_lineErrors = 0;
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
    if (!m_device->apply(m_dcb)) {
        m_device->readBack(m_dcb);
        throw EAfComPortCoreError("Error setting parameters from DCB");
    }
}

platform::LineStatus TAfComPortCore::gatherStatus() {
    platform::LineStatus status = m_device->status();
    m_lineErrors |= status.errors;
    return status;
}

TAfLineStatus TAfComPortCore::GetStatus() {
    if (!m_active)
        return {};
    std::lock_guard lock(m_statusLock);
    const platform::LineStatus status = gatherStatus();
    return {m_lineErrors, status.inQueue, status.outQueue};
}

platform::LineStatus TAfComPortCore::pollStatus() {
    std::lock_guard lock(m_statusLock);
    if (!m_device)
        return {};
    return gatherStatus();
}

std::uint32_t TAfComPortCore::TakeLineErrors() {
    if (!m_active)
        return 0;
    std::lock_guard lock(m_statusLock);
    gatherStatus(); // a line error may come without a byte whose status would have gathered it
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
