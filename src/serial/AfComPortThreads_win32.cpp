#include "serial/AfComPortThreads.h"

#include "platform/serial_device.h"
#include "serial/AfCircularBuffer.h"

#include <optional>
#include <system_error>

// The Win32 headers name their device-control record DCB, as the engine does. The engine's names
// come first; the system's record, never used here, is renamed while its headers are read. The
// comm-event and error macros they define carry the values the engine's constants have.
#define DCB Win32ControlBlock
#include <windows.h>
#undef DCB

namespace {

// The receive thread looks at the line at least this often: unread input is reported again, and
// modem lines are compared where the driver does not report them.
constexpr DWORD kStatusPollMs = 200;

HANDLE handleOf(std::intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

HANDLE handleOf(const TAfSignal& signal) {
    return handleOf(signal.native());
}

HANDLE handleOf(const platform::SerialDevice& device) {
    return handleOf(device.native());
}

// Which of `count` objects was signalled; throws when the wait itself failed.
DWORD waitForAny(DWORD count, const HANDLE* objects, DWORD timeoutMs) {
    const DWORD result = ::WaitForMultipleObjects(count, objects, FALSE, timeoutMs);
    if (result == WAIT_FAILED)
        throw std::system_error(int(::GetLastError()), std::system_category(), "WaitForMultipleObjects");
    return result;
}

// An overlapped operation of this thread: its record with a manual-reset event. An operation that
// is still with the driver when the record goes is cancelled and waited for, so that the driver
// never writes into a record, or reads from bytes, that are gone.
class Overlapped {
public:
    explicit Overlapped(HANDLE port) : m_port(port) {
        m_record.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!m_record.hEvent)
            throw std::system_error(int(::GetLastError()), std::system_category(), "CreateEvent");
    }
    ~Overlapped() {
        abandon();
        ::CloseHandle(m_record.hEvent);
    }
    Overlapped(const Overlapped&) = delete;
    Overlapped& operator=(const Overlapped&) = delete;

    OVERLAPPED* record() {
        ::ResetEvent(m_record.hEvent);
        return &m_record;
    }
    HANDLE event() const { return m_record.hEvent; }
    bool pending() const { return m_pending; }
    void setPending() { m_pending = true; }
    // Waits for the pending operation to end; false when it failed.
    bool finish(DWORD& transferred) {
        m_pending = false;
        return ::GetOverlappedResult(m_port, &m_record, &transferred, TRUE) != 0;
    }
    // Whether the pending operation has ended, without waiting. Wine can signal the event of a
    // comm-event wait that has ended and leave its status at "pending" for good (it writes the
    // status after its waiting thread has finished): a signalled event then counts as the end,
    // and the wait is never cancelled nor waited for again.
    enum class State { Done, Pending, Aborted, Failed };
    State look(DWORD& transferred) {
        if (::GetOverlappedResult(m_port, &m_record, &transferred, FALSE)) {
            m_pending = false;
            return State::Done;
        }
        const DWORD error = ::GetLastError();
        if (error == ERROR_IO_INCOMPLETE && ::WaitForSingleObject(m_record.hEvent, 0) != WAIT_OBJECT_0)
            return State::Pending;
        m_pending = false;
        if (error == ERROR_IO_INCOMPLETE)
            return State::Done;
        return error == ERROR_OPERATION_ABORTED ? State::Aborted : State::Failed;
    }
    // Cancels the pending operation and waits until the driver has let go of it.
    void abandon() {
        DWORD transferred = 0;
        if (m_pending) {
            ::CancelIo(m_port);
            finish(transferred);
        }
    }

private:
    HANDLE m_port;
    OVERLAPPED m_record{};
    bool m_pending = false;
};

// What a comm-event wait came to.
enum class CommWait { Events, Pending, Refused, Failed };

CommWait startCommWait(HANDLE port, Overlapped& wait, DWORD& events) {
    events = 0;
    if (::WaitCommEvent(port, &events, wait.record()))
        return CommWait::Events;
    switch (::GetLastError()) {
    case ERROR_IO_PENDING:
        wait.setPending();
        return CommWait::Pending;
    // Some drivers take the mask but refuse to wait for modem-line events (USB and Bluetooth
    // adapters; Wine on a pseudo-terminal).
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_PARAMETER:
        return CommWait::Refused;
    default:
        return CommWait::Failed;
    }
}

// The mask of a comm-event wait that has ended (read only once it has), empty for one that the
// driver aborted; nothing while it goes on. A wait that failed means the device is gone.
std::optional<std::uint32_t> finishedEvents(Overlapped& wait, const DWORD& completed, bool& lost) {
    DWORD unused = 0;
    switch (wait.look(unused)) {
    case Overlapped::State::Done:
        return completed;
    case Overlapped::State::Aborted:
        return 0;
    case Overlapped::State::Failed:
        lost = true;
        return std::nullopt;
    case Overlapped::State::Pending:
        return std::nullopt;
    }
    return std::nullopt;
}

// Sets the next narrower event mask after the one in use; false when there is none.
bool narrowCommEvents(HANDLE port) {
    DWORD current = 0;
    if (!::GetCommMask(port, &current))
        return false;
    bool passed = false;
    for (const std::uint32_t events : platform::kCommEventChoices) {
        if (passed && ::SetCommMask(port, events))
            return true;
        passed = passed || events == current;
    }
    return false;
}

bool reportsModemLines(HANDLE port) {
    DWORD current = 0;
    return ::GetCommMask(port, &current) && (current & EV_CTS) != 0;
}

} // namespace

TAfSignal::TAfSignal()
    : m_native(reinterpret_cast<std::intptr_t>(::CreateEventW(nullptr, FALSE, FALSE, nullptr))) {
    if (m_native == 0)
        throw std::system_error(int(::GetLastError()), std::system_category(), "CreateEvent");
}

TAfSignal::~TAfSignal() {
    ::CloseHandle(handleOf(*this));
}

void TAfSignal::Set() {
    ::SetEvent(handleOf(*this));
}

bool TAfSignal::Reset() {
    return ::WaitForSingleObject(handleOf(*this), 0) == WAIT_OBJECT_0;
}

bool TAfSignal::Wait(int timeoutMs) {
    return ::WaitForSingleObject(handleOf(*this), DWORD(timeoutMs)) == WAIT_OBJECT_0;
}

long currentThreadId() {
    return long(::GetCurrentThreadId());
}

void applyThreadPriority(long threadId, TThreadPriority priority) {
    static constexpr int kPriority[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                        THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                        THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                        THREAD_PRIORITY_TIME_CRITICAL};
    if (threadId <= 0 || priority < tpIdle || priority > tpTimeCritical)
        return;
    const HANDLE thread = ::OpenThread(THREAD_SET_INFORMATION, FALSE, DWORD(threadId));
    if (!thread)
        return;
    ::SetThreadPriority(thread, kPriority[priority]);
    ::CloseHandle(thread);
}

void TAfComPortEventThread::Execute() {
    const HANDLE port = handleOf(m_device);
    Overlapped wait(port);
    DWORD completed = 0; // where a comm-event wait puts its mask
    bool linesReported = reportsModemLines(port);
    // Bytes of the input queue already reported. Some drivers (Wine's among them) report
    // EV_RXCHAR for as long as bytes wait rather than once per arrival: a report of no new bytes
    // pauses the comm-event wait until the next read or status poll, as on POSIX.
    std::uint32_t reported = 0;
    bool watchArrivals = true;
    // The driver no longer answers (an adapter pulled out): only the stop signal, the output-empty
    // signal and the status poll remain, and the owner is told at every poll.
    bool lost = false;

    while (!Terminated()) {
        std::optional<std::uint32_t> ended; // the mask of a comm-event wait that ended
        if (!lost && watchArrivals && !wait.pending()) {
            const CommWait started = startCommWait(port, wait, completed);
            if (started == CommWait::Refused && narrowCommEvents(port)) {
                linesReported = reportsModemLines(port);
                continue;
            }
            lost = started == CommWait::Refused || started == CommWait::Failed;
            if (started == CommWait::Events)
                ended = completed;
        }
        if (!ended) {
            const HANDLE objects[3] = {handleOf(m_stop), handleOf(*m_core.m_outputEmpty), wait.event()};
            const DWORD signalled = waitForAny(wait.pending() ? 3 : 2, objects, kStatusPollMs);
            if (Terminated())
                break;
            if (signalled == WAIT_OBJECT_0 && m_readHappened.exchange(false)) {
                reported = 0;
                watchArrivals = true;
            } else if (signalled == WAIT_OBJECT_0 + 1) {
                Raise(ckOutputEmpty, 0);
            } else if (signalled == WAIT_OBJECT_0 + 2) {
                ended = finishedEvents(wait, completed, lost);
            } else if (signalled == WAIT_TIMEOUT) {
                if (lost)
                    Raise(ckDeviceLost, 0);
                const std::uint32_t waiting = m_core.GetStatus().InQueue;
                if (!watchArrivals && waiting > reported) {
                    ended = EV_RXCHAR; // bytes that came while the wait was paused are an arrival
                } else {
                    reported = waiting;
                    if (waiting > 0)
                        Raise(ckDataWaiting, waiting);
                }
                watchArrivals = true;
            }
        }
        // A wait that ended without an event pauses the comm-event wait until the next read or
        // status poll, as one that reported nothing new. Wine aborts its waits on a pseudo-terminal
        // by the hundred a second; starting each again at once would keep a core busy.
        if (ended == 0u)
            watchArrivals = false;
        std::uint32_t events = ended.value_or(0);
        if (events & EV_RXCHAR) {
            const std::uint32_t waiting = m_core.GetStatus().InQueue;
            if (waiting > reported) {
                reported = waiting;
            } else {
                events &= ~std::uint32_t(EV_RXCHAR);
                watchArrivals = false;
            }
        }
        // Where the driver does not report the modem lines, they are compared at every wake.
        if (!linesReported)
            events |= modemLineEvents();
        if (events != 0)
            Raise(ckCommEvents, events);
    }
}

void TAfComPortWriteThread::Execute() {
    while (!Terminated()) {
        const HANDLE objects[3] = {handleOf(m_stop), handleOf(m_flushRequest), handleOf(m_dataReady)};
        const DWORD signalled = waitForAny(3, objects, INFINITE);
        if (Terminated())
            break;
        if (signalled == WAIT_OBJECT_0 + 1) {
            dropQueue();
            continue;
        }
        if (signalled == WAIT_OBJECT_0 + 2 && sendQueue() == Outcome::Stop)
            break;
    }
}

// Sends the part of the queue that lies in one piece. Only what the device took is removed, so a
// short write never sends a byte twice; the rest goes on the next round.
TAfComPortWriteThread::Outcome TAfComPortWriteThread::sendQueue() {
    const HANDLE port = handleOf(m_device);
    Overlapped write(port);
    for (;;) {
        const auto piece = queuedPiece();
        if (piece.empty())
            return Outcome::Continue;
        // Appending only touches the free part of the ring, never these bytes.
        DWORD written = 0;
        if (!::WriteFile(port, piece.data(), DWORD(piece.size()), &written, write.record())) {
            if (::GetLastError() != ERROR_IO_PENDING)
                return Outcome::Continue; // the bytes stay queued; the next WriteBytes tries again
            write.setPending();
            const HANDLE objects[3] = {handleOf(m_stop), handleOf(m_flushRequest), write.event()};
            const DWORD signalled = waitForAny(3, objects, INFINITE);
            if (signalled != WAIT_OBJECT_0 + 2) {
                // Stop or flush: the driver lets go of the bytes before they may be dropped.
                write.abandon();
                if (signalled != WAIT_OBJECT_0 + 1)
                    return Outcome::Stop;
                dropQueue();
                return Outcome::Continue;
            }
            if (!write.finish(written))
                return Outcome::Continue;
        }
        if (written == 0)
            return Outcome::Continue; // the driver took nothing; the bytes stay queued
        if (takeSent(std::int32_t(written), std::int32_t(piece.size())))
            return Outcome::Continue;
    }
}
