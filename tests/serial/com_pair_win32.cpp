#include "com_pair.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <windows.h>

namespace {

HANDLE handleOf(void* phone) {
    return static_cast<HANDLE>(phone);
}

} // namespace

ComPair::ComPair()
    : m_phone(
          ::CreateFileA("\\\\.\\COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    if (m_phone == INVALID_HANDLE_VALUE)
        throw std::runtime_error("COM2, the phone's end of the null modem, does not open");
    ::PurgeComm(handleOf(m_phone), PURGE_RXCLEAR | PURGE_TXCLEAR);
}

ComPair::~ComPair() {
    ::CloseHandle(handleOf(m_phone));
}

bool ComPair::send(const std::string& bytes) {
    DWORD written = 0;
    return ::WriteFile(handleOf(m_phone), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string ComPair::receive(std::size_t count, int timeoutMs) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        // Returns as soon as a byte is there, or when the time left has passed.
        COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, DWORD(left.count()), 0, 0};
        ::SetCommTimeouts(handleOf(m_phone), &timeouts);
        char buffer[4096];
        DWORD read = 0;
        if (!::ReadFile(handleOf(m_phone), buffer, DWORD(std::min(sizeof buffer, count - got.size())), &read,
                        nullptr))
            break;
        got.append(buffer, read);
    }
    return got;
}

bool ComPair::refusesSecondOpener() {
    return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr;
}
