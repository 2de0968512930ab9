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

int fdOf(const TAfSignal& signal) {
    return int(signal.native());
}

int fdOf(const platform::SerialDevice& device) {
    return int(device.native());
}

// Bytes written; 0 when the device takes nothing now; -1 on failure.
long writeSome(const platform::SerialDevice& device, const void* bytes, std::size_t count) {
    long result;
    do
        result = long(::write(fdOf(device), bytes, count));
    while (result < 0 && errno == EINTR);
    if (result < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return 0;
    return result;
}

} // namespace

TAfSignal::TAfSignal() : m_native(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (m_native < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

TAfSignal::~TAfSignal() {
    ::close(fdOf(*this));
}

void TAfSignal::Set() {
    const std::uint64_t one = 1;
    while (::write(fdOf(*this), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool TAfSignal::Reset() {
    std::uint64_t value = 0;
    long result;
    do
        result = ::read(fdOf(*this), &value, sizeof value);
    while (result < 0 && errno == EINTR);
    return result == long(sizeof value) && value > 0;
}

bool TAfSignal::Wait(int timeoutMs) {
    pollfd entry{fdOf(*this), POLLIN, 0};
    return pollRetrying(&entry, 1, timeoutMs) > 0 && Reset();
}

long currentThreadId() {
    return ::gettid();
}

// Nice values per priority. Without CAP_SYS_NICE a thread may only be made nicer, so the steps
// above tpNormal take effect only where the process is allowed to raise priority; elsewhere the
// refusal leaves the thread at the normal level, which is no error.
void applyThreadPriority(long threadId, TThreadPriority priority) {
    static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -15};
    if (threadId <= 0 || priority < tpIdle || priority > tpTimeCritical)
        return;
    ::setpriority(PRIO_PROCESS, id_t(threadId), kNice[priority]);
}

void TAfComPortEventThread::Execute() {
    // Bytes of the input queue already reported; a poll for POLLIN is armed only while there may
    // be more, since poll is level-triggered and would report unread bytes over and over.
    int reported = 0;
    bool watchInput = true;
    bool hungUp = false;

    while (!Terminated()) {
        pollfd fds[3] = {
            {fdOf(m_stop), POLLIN, 0},
            {fdOf(*m_core.m_outputEmpty), POLLIN, 0},
            // After a hang-up the device reports POLLHUP for good: no longer watched at all.
            {hungUp ? -1 : fdOf(m_device), short(watchInput ? POLLIN : 0), 0},
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

        // Line errors and the input queue, once per round.
        const platform::LineStatus line = m_core.pollStatus();
        std::uint32_t mask = 0;
        if (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            hungUp = true;
        } else if (fds[2].revents & POLLIN) {
            const int waiting = int(line.inQueue);
            if (waiting > reported)
                mask |= EV_RXCHAR;
            reported = waiting;
            watchInput = false;
        }
        mask |= modemLineEvents();
        if (line.errors != 0)
            mask |= EV_ERR;
        if (mask != 0)
            Raise(ckCommEvents, mask);
        if (hungUp)
            Raise(ckDeviceLost, 0);

        if (ready == 0) {
            if (line.inQueue > 0) {
                reported = int(line.inQueue);
                Raise(ckDataWaiting, line.inQueue);
            }
            watchInput = true;
        }
    }
}

void TAfComPortWriteThread::Execute() {
    while (!Terminated()) {
        pollfd fds[3] = {
            {fdOf(m_stop), POLLIN, 0}, {fdOf(m_flushRequest), POLLIN, 0}, {fdOf(m_dataReady), POLLIN, 0}};
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
        const auto piece = queuedPiece();
        if (piece.empty())
            return Outcome::Continue;
        // Appending only touches the free part of the ring, never these bytes.
        const long written = writeSome(m_device, piece.data(), piece.size());
        if (written < 0)
            return Outcome::Continue; // the bytes stay queued; the next WriteBytes tries again
        if (written > 0 && takeSent(std::int32_t(written), std::int32_t(piece.size())))
            return Outcome::Continue;
        // The device's queue is full: wait until it takes more.
        pollfd fds[3] = {
            {fdOf(m_stop), POLLIN, 0}, {fdOf(m_flushRequest), POLLIN, 0}, {fdOf(m_device), POLLOUT, 0}};
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
