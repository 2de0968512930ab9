#pragma once
// SIM cards in PC/SC card readers (pcsc-lite's pcscd on Linux, the Smart Card service on Windows):
// the readers there are, and one card's session, through which the card-side SIM code sends its raw
// APDUs. The shared logic is written once against the PC/SC API both systems have; what differs
// lies in smart_card_api_posix.h and smart_card_api_win32.h.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// Why a card or reader could not be used, in the tool's own kinds.
enum class SmartCardFault {
    None,
    NoService,
    NoReaders,
    ReaderGone,
    NoCard,
    CardRemoved,
    InUse,
    Unresponsive,
    Other
};

struct SmartCardError {
    SmartCardFault fault = SmartCardFault::None;
    long code = 0; // the PC/SC return value
};

// The one place where a PC/SC return value becomes a fault.
SmartCardFault smartCardFaultOf(long code);
// A Czech sentence telling the user what happened and what to do; the system's text where the user
// cannot act on it. `reader` is the name the user chose.
std::string smartCardFaultText(const SmartCardError& error, const std::string& reader);

struct ReaderList {
    std::vector<std::string> names; // in the system's order
    SmartCardError error;           // set when none could be listed
};
ReaderList listSmartCardReaders();

// What the card-side SIM code transmits through, so it can be tested with a scripted card.
class SmartCardLink {
public:
    virtual ~SmartCardLink() = default;
    // The whole response (data, SW1, SW2), or nothing with lastError() saying why.
    virtual std::optional<std::vector<std::uint8_t>> transmit(std::span<const std::uint8_t> command) = 0;
    virtual SmartCardError lastError() const = 0;
};

// The card in one reader: connected shared, T=0 preferred (T=1 accepted), inside one transaction
// from open to close, so that no other program interleaves between a VERIFY, the writes and the
// read-back. Closing ends the transaction and resets the card, so no PIN verification outlives the
// session. Raw APDUs only: a 9Fxx or 61xx is handed back as it came.
class SmartCardSession final : public SmartCardLink {
public:
    // Null with `error` set when the reader or card cannot be had. Waits while another program
    // holds a transaction on the card.
    static std::unique_ptr<SmartCardSession> open(const std::string& reader, SmartCardError& error);
    ~SmartCardSession() override;
    SmartCardSession(const SmartCardSession&) = delete;
    SmartCardSession& operator=(const SmartCardSession&) = delete;

    std::optional<std::vector<std::uint8_t>> transmit(std::span<const std::uint8_t> command) override;
    SmartCardError lastError() const override { return m_lastError; }
    // The protocol the card was connected with: 0 for T=0, 1 for T=1.
    int protocol() const { return m_protocol; }

private:
    struct Handles;
    SmartCardSession(std::unique_ptr<Handles> handles, int protocol);

    std::unique_ptr<Handles> m_handles;
    int m_protocol;
    SmartCardError m_lastError;
};

} // namespace platform
