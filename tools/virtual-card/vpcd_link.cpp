#include "vpcd_link.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace vcard {

namespace {

[[noreturn]] void fail(const std::string& what, int error) {
    throw std::runtime_error(what + ": " + std::strerror(error));
}

// Without these an APDU waits some 40 ms for the delayed ACK of the reader's side; QUICKACK lasts only
// until the kernel decides otherwise, so it is set again before every read.
void quickAck(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

// One attempt: the socket, or -1 with errno ECONNREFUSED while nothing listens.
int dial(const addrinfo& address) {
    const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0)
        fail("socket", errno);
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) {
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        quickAck(fd);
        return fd;
    }
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

} // namespace

VpcdLink::VpcdLink(const std::string& host, int port, int stopFd) : m_stopFd(stopFd) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (const int error = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
        error != 0)
        throw std::runtime_error(host + ": " + ::gai_strerror(error));
    const std::unique_ptr<addrinfo, void (*)(addrinfo*)> address(found, ::freeaddrinfo);
    while (m_fd < 0) {
        m_fd = dial(*address);
        if (m_fd < 0 && errno != ECONNREFUSED)
            fail(host + ":" + std::to_string(port), errno);
        if (m_fd < 0 && stopped(100))
            return;
    }
}

VpcdLink::~VpcdLink() {
    drop();
}

void VpcdLink::drop() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool VpcdLink::stopped(int timeoutMs) {
    pollfd fd{m_stopFd, POLLIN, 0};
    return ::poll(&fd, 1, timeoutMs) > 0;
}

bool VpcdLink::pause(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (auto now = std::chrono::steady_clock::now(); now < until; now = std::chrono::steady_clock::now()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
        if (stopped(int(left)))
            return false;
    }
    return true;
}

VpcdLink::Event VpcdLink::readExactly(std::uint8_t* into, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            fail("poll", errno);
        }
        if (fds[1].revents & POLLIN)
            return Event::Stopped;
        quickAck(m_fd);
        const ssize_t n = ::read(m_fd, into + done, size - done);
        if (n == 0 || (n < 0 && errno == ECONNRESET))
            return Event::Closed;
        if (n < 0 && errno != EINTR)
            fail("read from vpcd", errno);
        if (n > 0)
            done += std::size_t(n);
    }
    return Event::Message;
}

VpcdLink::Event VpcdLink::receive(std::vector<std::uint8_t>& message) {
    std::uint8_t length[2];
    if (const Event event = readExactly(length, 2); event != Event::Message)
        return event;
    message.resize(std::size_t(length[0]) << 8 | length[1]);
    return readExactly(message.data(), message.size());
}

void VpcdLink::send(const std::vector<std::uint8_t>& message) {
    std::vector<std::uint8_t> frame{std::uint8_t(message.size() >> 8), std::uint8_t(message.size())};
    frame.insert(frame.end(), message.begin(), message.end());
    std::size_t done = 0;
    while (done < frame.size()) {
        const ssize_t n = ::send(m_fd, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail("write to vpcd", errno);
        done += std::size_t(n);
    }
}

} // namespace vcard
