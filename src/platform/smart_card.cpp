#include "platform/smart_card.h"

#include PLATFORM_SMART_CARD_API

namespace platform {

namespace {

SmartCardError errorOf(LONG code) {
    return {smartCardFaultOf(code), long(code)};
}

// A PC/SC context, released with its owner.
class Context {
public:
    Context() = default;
    ~Context() {
        if (m_established)
            SCardReleaseContext(m_context);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    LONG establish() {
        const LONG result = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &m_context);
        m_established = result == SCARD_S_SUCCESS;
        return result;
    }
    SCARDCONTEXT get() const { return m_context; }

private:
    SCARDCONTEXT m_context = 0;
    bool m_established = false;
};

// A multi-string: names each ended by a NUL, the list by one more.
std::vector<std::string> splitNames(const char* names, std::size_t size) {
    std::vector<std::string> list;
    for (std::size_t at = 0; at < size && names[at] != '\0'; at += list.back().size() + 1)
        list.emplace_back(names + at);
    return list;
}

// T=0 is what the alarm's SIM speaks; a card that offers only T=1 is taken so.
LONG connectPreferringT0(SCARDCONTEXT context, const std::string& reader, SCARDHANDLE& card, DWORD& active) {
    const LONG result = pcsc::connect(context, reader.c_str(), SCARD_PROTOCOL_T0, &card, &active);
    if (result != SCARD_E_PROTO_MISMATCH)
        return result;
    return pcsc::connect(context, reader.c_str(), SCARD_PROTOCOL_T1, &card, &active);
}

} // namespace

ReaderList listSmartCardReaders() {
    ReaderList list;
    Context context;
    LONG result = context.establish();
    // One call that sizes and fills, so a reader plugged in meanwhile cannot outgrow the buffer.
    char* names = nullptr;
    DWORD size = SCARD_AUTOALLOCATE;
    if (result == SCARD_S_SUCCESS)
        result = pcsc::listReaders(context.get(), reinterpret_cast<char*>(&names), &size);
    if (result == SCARD_S_SUCCESS) {
        list.names = splitNames(names, size);
        SCardFreeMemory(context.get(), names);
    }
    list.error = errorOf(result);
    return list;
}

struct SmartCardSession::Handles {
    Context context;
    SCARDHANDLE card = 0;
    bool connected = false;
    bool inTransaction = false;
    bool cardGone = false;

    // The reset comes while the transaction still holds the card, so nobody meets the verified card.
    // A card that has gone is not reset: pcscd, asked to reset a card it has not yet seen leave, takes
    // the next card in that reader for none.
    ~Handles() {
        if (inTransaction)
            SCardEndTransaction(card, cardGone ? SCARD_LEAVE_CARD : SCARD_RESET_CARD);
        if (connected)
            SCardDisconnect(card, SCARD_LEAVE_CARD);
    }
};

std::unique_ptr<SmartCardSession> SmartCardSession::open(const std::string& reader, SmartCardError& error) {
    auto handles = std::make_unique<Handles>();
    DWORD active = 0;
    LONG result = handles->context.establish();
    if (result == SCARD_S_SUCCESS)
        result = connectPreferringT0(handles->context.get(), reader, handles->card, active);
    handles->connected = result == SCARD_S_SUCCESS;
    if (result == SCARD_S_SUCCESS)
        result = SCardBeginTransaction(handles->card);
    handles->inTransaction = result == SCARD_S_SUCCESS;
    error = errorOf(result);
    if (result != SCARD_S_SUCCESS)
        return nullptr;
    return std::unique_ptr<SmartCardSession>(
        new SmartCardSession(std::move(handles), active == SCARD_PROTOCOL_T1 ? 1 : 0));
}

SmartCardSession::SmartCardSession(std::unique_ptr<Handles> handles, int protocol)
    : m_handles(std::move(handles)), m_protocol(protocol) {}

SmartCardSession::~SmartCardSession() = default;

std::optional<std::vector<std::uint8_t>> SmartCardSession::transmit(std::span<const std::uint8_t> command) {
    // Up to 256 bytes of data and the status word.
    std::vector<std::uint8_t> response(258);
    DWORD size = DWORD(response.size());
    const LONG result = SCardTransmit(m_handles->card, m_protocol == 1 ? SCARD_PCI_T1 : SCARD_PCI_T0,
                                      command.data(), DWORD(command.size()), nullptr, response.data(), &size);
    // A reader that lost the card mid-exchange may hand back success and no status word; that is a
    // transfer that failed, which pcsc-lite otherwise reports as not transacted.
    m_lastError = errorOf(result == SCARD_S_SUCCESS && size < 2 ? SCARD_E_NOT_TRANSACTED : result);
    m_handles->cardGone = m_handles->cardGone || m_lastError.fault == SmartCardFault::CardRemoved;
    if (m_lastError.fault != SmartCardFault::None)
        return std::nullopt;
    response.resize(size);
    return response;
}

} // namespace platform
