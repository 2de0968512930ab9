#include "platform/serial_device.h"

#include <bit>
#include <windows.h>

namespace platform {

namespace {

static_assert(sizeof(DCB) == sizeof(ControlBlock), "the block goes to the system unchanged");

// An overlapped record with its own manual-reset event.
struct OverlappedRecord {
    OverlappedRecord() { overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~OverlappedRecord() {
        if (overlapped.hEvent)
            ::CloseHandle(overlapped.hEvent);
    }
    OverlappedRecord(const OverlappedRecord&) = delete;
    OverlappedRecord& operator=(const OverlappedRecord&) = delete;
    OVERLAPPED overlapped{};
};

bool setEventMask(HANDLE handle) {
    for (const std::uint32_t events : kCommEventChoices)
        if (::SetCommMask(handle, events))
            return true;
    return false;
}

} // namespace

struct SerialDevice::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    OverlappedRecord readRecord; // reads come one at a time, under the engine's status lock
};

SerialDevice::SerialDevice() = default;

SerialDevice::~SerialDevice() {
    close();
}

int SerialDevice::open(const std::string& path) {
    close();
    const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return int(::GetLastError());
    auto state = std::make_unique<State>();
    if (!state->readRecord.overlapped.hEvent) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(handle);
        return int(error);
    }
    state->handle = handle;
    m_state = std::move(state);
    // Phones and their data cables take their power or their "PC present" signal from DTR and
    // only talk while RTS is up, even without hardware flow control.
    setDtr(true);
    setRts(true);
    return 0;
}

void SerialDevice::close() {
    if (!m_state)
        return;
    ::CloseHandle(m_state->handle);
    m_state.reset();
}

bool SerialDevice::isOpen() const {
    return m_state != nullptr;
}

std::intptr_t SerialDevice::native() const {
    return m_state ? reinterpret_cast<std::intptr_t>(m_state->handle) : -1;
}

PrepareFailure SerialDevice::prepare(std::int32_t inQueueSize, std::int32_t outQueueSize) {
    if (!m_state)
        return PrepareFailure::Timeouts;
    // Only the interval timeout, at its maximum: a read returns at once with what is there.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!::SetCommTimeouts(m_state->handle, &timeouts))
        return PrepareFailure::Timeouts;
    if (inQueueSize < 1 || outQueueSize < 1 ||
        !::SetupComm(m_state->handle, DWORD(inQueueSize), DWORD(outQueueSize)))
        return PrepareFailure::Buffers;
    if (!setEventMask(m_state->handle))
        return PrepareFailure::EventMask;
    return PrepareFailure::None;
}

bool SerialDevice::apply(const ControlBlock& block) {
    if (!m_state)
        return false;
    DCB native = std::bit_cast<DCB>(block);
    native.DCBlength = sizeof native;
    return ::SetCommState(m_state->handle, &native) != 0;
}

void SerialDevice::readBack(ControlBlock& block) const {
    DCB native{};
    native.DCBlength = sizeof native;
    if (m_state && ::GetCommState(m_state->handle, &native))
        block = std::bit_cast<ControlBlock>(native);
}

LineStatus SerialDevice::status() {
    if (!m_state)
        return {};
    DWORD errors = 0;
    COMSTAT queues{};
    if (!::ClearCommError(m_state->handle, &errors, &queues))
        return {};
    return {std::uint32_t(errors), std::uint32_t(queues.cbInQue), std::uint32_t(queues.cbOutQue)};
}

std::optional<int> SerialDevice::modemLines() const {
    DWORD status = 0;
    if (!m_state || !::GetCommModemStatus(m_state->handle, &status))
        return std::nullopt;
    int lines = 0;
    if (status & MS_CTS_ON)
        lines |= kLineCts;
    if (status & MS_DSR_ON)
        lines |= kLineDsr;
    if (status & MS_RLSD_ON)
        lines |= kLineRlsd;
    if (status & MS_RING_ON)
        lines |= kLineRing;
    return lines;
}

bool SerialDevice::setDtr(bool on) {
    return m_state && ::EscapeCommFunction(m_state->handle, on ? SETDTR : CLRDTR);
}

bool SerialDevice::setRts(bool on) {
    return m_state && ::EscapeCommFunction(m_state->handle, on ? SETRTS : CLRRTS);
}

void SerialDevice::flushInput() {
    if (m_state)
        ::PurgeComm(m_state->handle, PURGE_RXABORT | PURGE_RXCLEAR);
}

void SerialDevice::flushOutput() {
    if (m_state)
        ::PurgeComm(m_state->handle, PURGE_TXABORT | PURGE_TXCLEAR);
}

long SerialDevice::read(void* buffer, std::size_t count) {
    if (!m_state)
        return -1;
    OVERLAPPED& record = m_state->readRecord.overlapped;
    ::ResetEvent(record.hEvent);
    DWORD got = 0;
    if (!::ReadFile(m_state->handle, buffer, DWORD(count), &got, &record)) {
        if (::GetLastError() != ERROR_IO_PENDING)
            return -1;
        // The timeouts make even a pending read complete at once with what is there.
        if (!::GetOverlappedResult(m_state->handle, &record, &got, TRUE))
            return -1;
    }
    return long(got);
}

} // namespace platform
