#pragma once
// The card's side of vpcd's TCP link: the card dials the reader, and every message either way is a
// 2-byte big-endian length and its payload; a 1-byte payload from the reader is a control message.
// Every wait also watches `stopFd` (the signals), so a signal ends the card at once.
#include <cstdint>
#include <string>
#include <vector>

namespace vcard {

class VpcdLink {
public:
    enum class Event { Message, Closed, Stopped };

    // Dials host:port, again every 100 ms while nothing listens there yet (pcscd still starting).
    // Throws std::runtime_error on any other failure; Stopped leaves it unconnected.
    VpcdLink(const std::string& host, int port, int stopFd);
    ~VpcdLink();
    VpcdLink(const VpcdLink&) = delete;
    VpcdLink& operator=(const VpcdLink&) = delete;

    bool connected() const { return m_fd >= 0; }
    Event receive(std::vector<std::uint8_t>& message);
    void send(const std::vector<std::uint8_t>& message);
    // Waits `ms`, or less when a signal comes first (then false).
    bool pause(int ms);
    // The card leaves the reader: the link goes without a word.
    void drop();

private:
    Event readExactly(std::uint8_t* into, std::size_t size);
    bool stopped(int timeoutMs);

    int m_fd = -1;
    int m_stopFd;
};

} // namespace vcard
