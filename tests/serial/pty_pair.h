#pragma once
// A pseudo-terminal standing in for the phone: the engine opens the slave side by its path, the
// test plays the phone on the master side.
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        char name[128] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) < 0)
            throw std::runtime_error("openpty failed");
        m_path = name;
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        // Raw before the engine opens it, so that nothing sent early is echoed or cooked.
        termios attributes{};
        ::tcgetattr(m_slave, &attributes);
        ::cfmakeraw(&attributes);
        ::tcsetattr(m_slave, TCSANOW, &attributes);
    }
    ~PtyPair() {
        hangUp();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& path() const { return m_path; }
    int slave() const { return m_slave; } // the same terminal the engine opened
    int master() const { return m_master; }

    // The phone side goes away, as when a cable or adapter is pulled.
    void hangUp() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    bool send(const std::string& bytes) {
        return ::write(m_master, bytes.data(), bytes.size()) == long(bytes.size());
    }

    // What the engine sent, until `count` bytes have come or `timeoutMs` has passed.
    std::string receive(std::size_t count, int timeoutMs = 3000) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd entry{m_master, POLLIN, 0};
            if (::poll(&entry, 1, int(left.count())) <= 0)
                continue;
            char buffer[4096];
            const long n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, std::size_t(n));
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                break;
        }
        return got;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
