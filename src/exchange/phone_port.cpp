#include "exchange/phone_port.h"

#include "exchange/exchange_lock.h"
#include "phone/shared_state.h"

#include <utility>

namespace {

constexpr int kReplySettleMs = 250;
// A flood during an exchange must not eat the memory; the answers that matter come early.
constexpr std::size_t kTranscriptLimit = 1 << 20;

} // namespace

PhonePort::PhonePort(TAfSafeSync& delivery, ComDeviceResolver resolveDevice, SharedState& shared,
                     const ExchangeLock& exchanges)
    : m_shared(shared), m_exchanges(exchanges), m_port("AfComPort1", delivery, std::move(resolveDevice)) {
    m_port.setBaudRate(br19200);
    m_port.setEventThreadPriority(tpTimeCritical);
    m_port.setInBufSize(8192);
    m_port.OnDataRecived = [this](TAfComPort&, std::int32_t) { dataReceived(); };
    m_replySettle.setSingleShot(true);
    m_replySettle.setInterval(kReplySettleMs);
    QObject::connect(&m_replySettle, &QTimer::timeout, [this] { takeReply(); });
}

bool PhonePort::IsOpen() const {
    return m_port.IsOpen();
}

void PhonePort::SendText(const std::string& text) {
    m_port.SendText(text);
}

void PhonePort::Close() {
    m_replySettle.stop();
    m_port.Close();
}

// What the phone says goes to a running exchange at once, so an answer that is in is never waited
// for; ReplyBuffer still takes a reply whole, 250 ms after its first bytes, by a timer rather than a
// sleep, so the event loop goes on meanwhile and the port's hand-over returns at once.
void PhonePort::dataReceived() {
    const std::string text = m_port.ReadAllText();
    if (text.empty())
        return;
    if (m_exchanges.busy() && m_shared.Transcript.size() < kTranscriptLimit)
        m_shared.Transcript += text;
    m_settlingReply += text;
    if (!m_replySettle.isActive())
        m_replySettle.start();
}

void PhonePort::takeReply() {
    m_shared.LastReceived = std::exchange(m_settlingReply, {});
    if (!m_shared.LastReceived.empty())
        m_shared.ReplyBuffer = m_shared.LastReceived;
}
