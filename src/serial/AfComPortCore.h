#pragma once
// The serial port engine: opens COM port n (through a resolver that names its device), sets it up,
// runs a receive thread that reports port events and a write thread that sends the write queue.
// Bytes that arrive stay in the device's input queue until ReadBytes takes them.
#include "platform/serial_device.h"
#include "serial/AfComPortTypes.h"

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class TAfCircularBuffer;
class TAfSignal;
class TAfComPortEventThread;
class TAfComPortWriteThread;

using ComDeviceResolver = std::function<std::string(int portNumber)>;

struct TAfLineStatus {
    std::uint32_t Errors = 0;
    std::uint32_t InQueue = 0;
    std::uint32_t OutQueue = 0;
    friend bool operator==(const TAfLineStatus&, const TAfLineStatus&) = default;
};

class TAfComPortCore;
// Called on the receive thread (and, for ckThreadError, on the thread that failed). `error` is set
// only for ckThreadError.
using TAfCoreEventCallback = std::function<void(TAfComPortCore& sender, TAfCoreEventKind kind,
                                                std::uint32_t data, const std::exception_ptr& error)>;

class TAfComPortCore {
public:
    explicit TAfComPortCore(ComDeviceResolver resolveDevice);
    ~TAfComPortCore();
    TAfComPortCore(const TAfComPortCore&) = delete;
    TAfComPortCore& operator=(const TAfComPortCore&) = delete;

    void OpenPort(int portNumber); // throws EAfComPortCoreError
    // A device by its path rather than a COM number; its failures name the device.
    void OpenPath(const std::string& path); // throws EAfComPortCoreError
    void ClosePort();
    bool IsOpen() const { return m_open.load(); }
    int PortNumber() const { return m_portNumber; } // 0 for a device opened by its path

    void ApplyDcb(const DCB& block); // throws "Error setting parameters from DCB"
    const DCB& Dcb() const { return m_dcb; }

    TAfLineStatus GetStatus();
    std::uint32_t TakeLineErrors();
    std::int32_t ReadBytes(void* buffer, std::int32_t count); // -1 when not active
    bool WriteBytes(const void* bytes, std::int32_t count);
    std::int32_t OutputFree();
    bool EscapeLine(TAfLineFunction function);

    void SetInQueueSize(std::int32_t size) { m_inQueueSize = size; }
    void SetOutQueueSize(std::int32_t size) { m_outQueueSize = size; }
    std::int32_t InQueueSize() const { return m_inQueueSize; }
    std::int32_t OutQueueSize() const { return m_outQueueSize; }
    void SetEventThreadPriority(TThreadPriority priority);
    void SetWriteThreadPriority(TThreadPriority priority);
    TThreadPriority EventThreadPriority() const { return m_eventPriority; }
    TThreadPriority WriteThreadPriority() const { return m_writePriority; }

    // Set before OpenPort; the receive thread takes its own copy when it starts.
    void SetEventCallback(TAfCoreEventCallback callback) { m_callback = std::move(callback); }

    // An error of a thread when no event callback was set to carry it; empty when none.
    std::exception_ptr TakeThreadError();

private:
    friend class TAfComPortCoreThread;
    friend class TAfComPortEventThread;
    friend class TAfComPortWriteThread;

    void openDevice(const std::string& path);
    void closeDevice();
    void reportThreadError(std::exception_ptr error);
    // Under the status lock: the device's status; its new line errors are gathered.
    platform::LineStatus gatherStatus();
    // The same, taking the lock; for the receive thread, also while the port closes.
    platform::LineStatus pollStatus();
    void wakeReceiver();

    ComDeviceResolver m_resolve;
    int m_portNumber = 0;
    DCB m_dcb{};
    std::unique_ptr<platform::SerialDevice> m_device;
    std::atomic<bool> m_open{false};
    std::atomic<bool> m_active{false};
    std::int32_t m_inQueueSize = 8192;
    std::int32_t m_outQueueSize = 4096;
    TThreadPriority m_writePriority = tpHigher;
    TThreadPriority m_eventPriority = tpNormal;
    TAfCoreEventCallback m_callback;

    std::mutex m_statusLock; // device status, reads, line errors, the device's closing
    std::uint32_t m_lineErrors = 0;
    std::mutex m_writeLock; // the ring buffer's positions
    std::unique_ptr<TAfCircularBuffer> m_ring;
    std::unique_ptr<TAfSignal> m_outputEmpty; // the write queue has been sent
    std::mutex m_errorLock;
    std::exception_ptr m_threadError;

    std::unique_ptr<TAfComPortWriteThread> m_writeThread;
    std::unique_ptr<TAfComPortEventThread> m_eventThread;
};
