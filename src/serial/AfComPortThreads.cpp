#include "serial/AfComPortThreads.h"

#include "platform/serial_device.h"
#include "serial/AfCircularBuffer.h"

#include <system_error>

namespace {

constexpr int kStartTimeoutMs = 3000;

} // namespace

TAfComPortCoreThread::TAfComPortCoreThread(TAfComPortCore& core, platform::SerialDevice& device)
    : m_core(core), m_device(device) {}

TAfComPortCoreThread::~TAfComPortCoreThread() {
    if (m_thread.joinable()) {
        MarkTerminated();
        m_stop.Set();
        m_thread.join();
    }
}

bool TAfComPortCoreThread::Start() {
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return m_started.Wait(kStartTimeoutMs);
}

void TAfComPortCoreThread::SetPriority(TThreadPriority priority) {
    applyThreadPriority(m_threadId.load(), priority);
}

void TAfComPortCoreThread::Stop() {
    MarkTerminated();
    m_stop.Set();
    if (m_thread.joinable())
        m_thread.join();
}

void TAfComPortCoreThread::run() {
    m_threadId = currentThreadId();
    try {
        Setup();
        m_started.Set();
        Execute();
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TAfComPortCoreThread::HandleException(std::exception_ptr error) {
    m_core.reportThreadError(std::move(error));
}

TAfComPortEventThread::TAfComPortEventThread(TAfComPortCore& core, platform::SerialDevice& device,
                                             TAfCoreEventCallback callback)
    : TAfComPortCoreThread(core, device), m_callback(std::move(callback)) {}

TAfComPortEventThread::~TAfComPortEventThread() {
    Stop();
}

void TAfComPortEventThread::Wake() {
    m_readHappened = true;
    m_stop.Set();
}

void TAfComPortEventThread::ClearCallback() {
    std::lock_guard lock(m_callbackLock);
    m_callback = nullptr;
}

void TAfComPortEventThread::Stop() {
    ClearCallback();
    TAfComPortCoreThread::Stop();
}

TAfCoreEventCallback TAfComPortEventThread::callback() {
    std::lock_guard lock(m_callbackLock);
    return m_callback;
}

void TAfComPortEventThread::Raise(TAfCoreEventKind kind, std::uint32_t data) {
    const TAfCoreEventCallback handler = callback();
    if (!handler)
        return;
    try {
        handler(m_core, kind, data, nullptr);
    } catch (...) {
        HandleException(std::current_exception());
    }
}

void TAfComPortEventThread::HandleException(std::exception_ptr error) {
    const TAfCoreEventCallback handler = callback();
    if (!handler) {
        TAfComPortCoreThread::HandleException(std::move(error));
        return;
    }
    try {
        handler(m_core, ckThreadError, 0, error);
    } catch (...) {
        // The carrier of errors failed itself: keep the first error for TakeThreadError.
        TAfComPortCoreThread::HandleException(std::move(error));
    }
}

std::uint32_t TAfComPortEventThread::modemLineEvents() {
    if (m_lastLines < 0)
        return 0;
    const std::optional<int> lines = m_device.modemLines();
    if (!lines)
        return 0;
    const int changed = *lines ^ m_lastLines;
    const bool ringStarted = (*lines & ~m_lastLines & platform::kLineRing) != 0;
    m_lastLines = *lines;
    std::uint32_t mask = 0;
    if (changed & platform::kLineCts)
        mask |= EV_CTS;
    if (changed & platform::kLineDsr)
        mask |= EV_DSR;
    if (changed & platform::kLineRlsd)
        mask |= EV_RLSD;
    if (ringStarted)
        mask |= EV_RING;
    return mask;
}

// Before the port counts as open: a write can complete as soon as OpenPort returns, and a reset
// after that would swallow its output-empty signal.
void TAfComPortEventThread::Setup() {
    m_core.m_outputEmpty->Reset();
    m_lastLines = m_device.modemLines().value_or(-1);
}

TAfComPortWriteThread::TAfComPortWriteThread(TAfComPortCore& core, platform::SerialDevice& device,
                                             TAfCircularBuffer& ring)
    : TAfComPortCoreThread(core, device), m_ring(ring) {}

TAfComPortWriteThread::~TAfComPortWriteThread() {
    Stop();
}

void TAfComPortWriteThread::Stop() {
    TAfComPortCoreThread::Stop();
}

bool TAfComPortWriteThread::Flush(int timeoutMs) {
    m_flushRequest.Set();
    return m_flushDone.Wait(timeoutMs);
}

std::span<const std::uint8_t> TAfComPortWriteThread::queuedPiece() {
    std::lock_guard lock(m_core.m_writeLock);
    return {m_ring.ReadPointer(), std::size_t(m_ring.ContiguousUsed())};
}

bool TAfComPortWriteThread::takeSent(std::int32_t written, std::int32_t pieceLength) {
    bool empty;
    {
        std::lock_guard lock(m_core.m_writeLock);
        m_ring.Remove(written);
        empty = m_ring.Used() == 0;
    }
    if (empty) {
        m_core.m_outputEmpty->Set();
        return true;
    }
    if (written == pieceLength) {
        m_dataReady.Set(); // the piece after the wrap, after a look at stop and flush
        return true;
    }
    return false;
}

void TAfComPortWriteThread::dropQueue() {
    {
        std::lock_guard lock(m_core.m_writeLock);
        m_ring.Clear();
        m_dataReady.Reset();
    }
    m_device.flushOutput();
    m_flushDone.Set();
}
