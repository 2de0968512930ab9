#pragma once
// The serial port as the tool talks to a phone through it, for the window and the command line
// alike: 19200 baud, and what the phone says going to a running exchange at once and into
// ReplyBuffer whole, 250 ms after its first bytes.
#include "phone/port_link.h"
#include "serial/AfComPort.h"

#include <QTimer>
#include <string>

class ExchangeLock;
struct SharedState;

class PhonePort final : public PortLink {
public:
    PhonePort(TAfSafeSync& delivery, ComDeviceResolver resolveDevice, SharedState& shared,
              const ExchangeLock& exchanges);

    TAfComPort& port() { return m_port; }
    const TAfComPort& port() const { return m_port; }

    bool IsOpen() const override;
    void SendText(const std::string& text) override;

    // Closes the port; a reply still settling is dropped.
    void Close();

private:
    void dataReceived();
    void takeReply();

    SharedState& m_shared;
    const ExchangeLock& m_exchanges;
    TAfComPort m_port;
    QTimer m_replySettle; // lets the rest of a reply arrive before it is taken whole
    std::string m_settlingReply;
};
