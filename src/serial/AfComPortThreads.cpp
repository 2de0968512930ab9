#include "serial/AfComPortThreads.h"

#include "platform/serial_device.h"
#include "serial/AfCircularBuffer.h"

#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr int kStartTimeoutMs = 3000;
// The receive thread looks at the line at least this often: unread input is reported again,
// modem lines are compared, and a pending arrival that poll did not watch is noticed.
constexpr int kStatusPollMs = 200;

int pollRetrying(pollfd* fds, nfds_t count, int timeoutMs) {
    int result;
    do
        result = ::poll(fds, count, timeoutMs);
    while (result < 0 && errno == EINTR);
    return result;
}

bool readable(const pollfd& entry) {
    return (entry.revents & POLLIN) != 0;
}

} // namespace

TAfSignal::TAfSignal() : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (m_fd < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

TAfSignal::~TAfSignal() {
    ::close(m_fd);
}

void TAfSignal::Set() {
    const std::uint64_t one = 1;
    while (::write(m_fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool TAfSignal::Reset() {
    std::uint64_t value = 0;
    long result;
    do
        result = ::read(m_fd, &value, sizeof value);
    while (result < 0 && errno == EINTR);
    return result == long(sizeof value) && value > 0;
}

bool TAfSignal::Wait(int timeoutMs) {
    pollfd entry{m_fd, POLLIN, 0};
    return pollRetrying(&entry, 1, timeoutMs) > 0 && Reset();
}

// Nice values per priority. Without CAP_SYS_NICE a thread may only be made nicer, so the steps
// above tpNormal take effect only where the process is allowed to raise priority; elsewhere the
// refusal leaves the thread at the normal level, which is no error.
void applyThreadPriority(pid_t threadId, TThreadPriority priority) {
    static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -15};
    if (threadId <= 0 || priority < tpIdle || priority > tpTimeCritical)
        return;
    ::setpriority(PRIO_PROCESS, id_t(threadId), kNice[priority]);
}

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
    m_threadId = ::gettid();
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

void TAfComPortEventThread::Execute() {
    // Bytes of the input queue already reported; a poll for POLLIN is armed only while there may
    // be more, since poll is level-triggered and would report unread bytes over and over.
    int reported = 0;
    bool watchInput = true;
    bool hungUp = false;

    while (!Terminated()) {
        pollfd fds[3] = {
            {m_stop.fd(), POLLIN, 0},
            {m_core.m_outputEmpty->fd(), POLLIN, 0},
            // After a hang-up the device reports POLLHUP for good: no longer watched at all.
            {hungUp ? -1 : m_device.fd(), short(watchInput ? POLLIN : 0), 0},
        };
        const int ready = pollRetrying(fds, 3, kStatusPollMs);
        if (ready < 0)
            throw std::system_error(errno, std::generic_category(), "poll");
        if (Terminated())
            break;
        if (readable(fds[0])) {
            m_stop.Reset();
            if (m_readHappened.exchange(false)) {
                reported = 0;
                watchInput = true;
            }
        }
        if (readable(fds[1])) {
            m_core.m_outputEmpty->Reset();
            Raise(ckOutputEmpty, 0);
        }

        std::uint32_t mask = 0;
        if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            hungUp = true;
        } else if (fds[2].revents & POLLIN) {
            const int waiting = m_device.bytesWaiting();
            if (waiting > reported)
                mask |= EV_RXCHAR;
            reported = waiting;
            watchInput = false;
        }
        mask |= modemLineEvents();
        if (m_core.pollLineErrors() != 0)
            mask |= EV_ERR;
        if (mask != 0)
            Raise(ckCommEvents, mask);
        if (hungUp)
            Raise(ckDeviceLost, 0);

        if (ready == 0) {
            const std::uint32_t waiting = m_core.GetStatus().InQueue;
            if (waiting > 0) {
                reported = int(waiting);
                Raise(ckDataWaiting, waiting);
            }
            watchInput = true;
        }
    }
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

void TAfComPortWriteThread::dropQueue() {
    {
        std::lock_guard lock(m_core.m_writeLock);
        m_ring.Clear();
        m_dataReady.Reset();
    }
    m_device.flushOutput();
    m_flushDone.Set();
}

void TAfComPortWriteThread::Execute() {
    while (!Terminated()) {
        pollfd fds[3] = {
            {m_stop.fd(), POLLIN, 0}, {m_flushRequest.fd(), POLLIN, 0}, {m_dataReady.fd(), POLLIN, 0}};
        if (pollRetrying(fds, 3, -1) < 0)
            throw std::system_error(errno, std::generic_category(), "poll");
        if (Terminated())
            break;
        if (readable(fds[1]) && m_flushRequest.Reset()) {
            dropQueue();
            continue;
        }
        if (readable(fds[2]) && m_dataReady.Reset() && sendQueue() == Outcome::Stop)
            break;
    }
}

// Sends the part of the queue that lies in one piece. Only what the device took is removed, so a
// short write never sends a byte twice; the rest goes on the next round.
TAfComPortWriteThread::Outcome TAfComPortWriteThread::sendQueue() {
    for (;;) {
        std::int32_t length;
        const std::uint8_t* start;
        {
            std::lock_guard lock(m_core.m_writeLock);
            length = m_ring.ContiguousUsed();
            start = m_ring.ReadPointer();
        }
        if (length == 0)
            return Outcome::Continue;
        // Appending only touches the free part of the ring, never these bytes.
        const long written = m_device.write(start, std::size_t(length));
        if (written < 0)
            return Outcome::Continue; // the bytes stay queued; the next WriteBytes tries again
        if (written > 0) {
            bool empty;
            {
                std::lock_guard lock(m_core.m_writeLock);
                m_ring.Remove(std::int32_t(written));
                empty = m_ring.Used() == 0;
            }
            if (empty) {
                m_core.m_outputEmpty->Set();
                return Outcome::Continue;
            }
            if (written == length) {
                m_dataReady.Set(); // the piece after the wrap, after a look at stop and flush
                return Outcome::Continue;
            }
        }
        // The device's queue is full: wait until it takes more.
        pollfd fds[3] = {
            {m_stop.fd(), POLLIN, 0}, {m_flushRequest.fd(), POLLIN, 0}, {m_device.fd(), POLLOUT, 0}};
        if (pollRetrying(fds, 3, -1) < 0)
            throw std::system_error(errno, std::generic_category(), "poll");
        if (Terminated())
            return Outcome::Stop;
        if (readable(fds[1]) && m_flushRequest.Reset()) {
            dropQueue();
            return Outcome::Continue;
        }
        if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL))
            return Outcome::Continue; // gone: the bytes wait for a device that takes them
    }
}
