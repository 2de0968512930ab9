#pragma once
// The command side of the virtual phone: takes received bytes one at a time and gives back the echo
// and the response as a phone on a serial line would (command echo, CR LF framing, verbose
// result codes, "SM" phonebook and "SM" message store, "ME" ones beside them on request, messages in
// PDU mode or text mode, a SIM that may ask for its PIN). No timing and no I/O here.
#include "params.h"
#include "sim.h"
#include "sim_lock.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vphone {

struct PhoneOptions {
    bool echo = true;            // the stored profile; ATZ returns to it, AT&F to echo on
    bool emptyError = false;     // empty position read: +CME ERROR: 22 / +CMS ERROR: 321 instead of OK
    bool cutNames = false;       // a name beyond the limit is confirmed and kept cut to it
    bool phoneMemory = false;    // "ME" phonebook and message store beside the SIM's, selected at start
    bool textMode = false;       // SMS text mode offered (AT+CMGF=1) and selected at start
    int cmee = 0;                // AT+CMEE at start and after ATZ and AT&F
    std::string charset = "IRA"; // selected at start and by ATZ and AT&F
    // Offered by AT+CSCS.
    std::vector<std::string> charsets{"IRA", "GSM", "UCS2"};
    std::string pin;               // asked for at start unless empty
    int pinTries = 3;              // wrong PINs until the SIM is blocked
    bool simLoadsAfterPin = false; // busy after the right PIN until simLoaded()
    std::string codeInside;        // an unsolicited code put into every response, unless empty
};

struct PhoneOutput {
    std::string echo;     // to send at once
    std::string response; // the answer to a completed command line (or a PDU), to send as one reply
    bool hasResponse = false;
    int simAccesses = 0;     // the commands of the line that read or wrote the SIM
    bool simLoading = false; // the right PIN was entered and the SIM now loads, busy until simLoaded()
};

class Phone {
public:
    Phone(Sim& sim, PhoneOptions options, std::function<void()> simChanged);

    void receive(char c, PhoneOutput& out);

    // A command line is partly typed or a message is being entered: no unsolicited code fits in now.
    bool midCommand() const { return !m_line.empty() || inMessageEntry(); }
    // After the prompt of AT+CMGW, up to its Ctrl-Z or ESC.
    bool inMessageEntry() const { return m_mode == Mode::Body; }

    void simLoaded() { m_lock.loaded(); }

private:
    // A TPDU is at most 164 octets and the SMSC part 12, so anything longer is not a PDU (and far
    // beyond the 160 characters of a text).
    static constexpr std::size_t maxBody = 2 * (164 + 12);

    enum class Mode { Command, Body }; // Body: a message after the prompt, up to Ctrl-Z
    enum class Kind { Action, Query, Test, Set };
    struct Result {
        enum { Ok, Fail, Prompt } kind = Ok;
        std::string text;
    };

    void executeLine(PhoneOutput& out);
    void finishBody(bool cancelled, PhoneOutput& out);
    std::string pduBody() const;
    std::string textBodyPdu() const;
    std::string frame(const Result& final);

    Result basic(char name, int value);
    Result extended(const std::string& name, Kind kind, const std::string& args);

    Result identity(Kind kind, const char* text);
    Result cpin(Kind kind, const std::vector<Param>& params);
    // The answer of a locked, blocked or loading SIM to a command that needs it; none when it is ready.
    std::optional<Result> simRefusal(bool messageCommand) const;
    Result cpbs(Kind kind, const std::vector<Param>& params);
    Result cpbr(Kind kind, const std::vector<Param>& params);
    Result cpbw(Kind kind, const std::vector<Param>& params);
    // Message commands, in phone_messages.cpp.
    Result cmgf(Kind kind, const std::vector<Param>& params);
    Result cpms(Kind kind, const std::vector<Param>& params);
    Result cmgw(Kind kind, const std::vector<Param>& params);
    Result cmgwText(Kind kind, const std::vector<Param>& params);
    Result cmgr(Kind kind, const std::vector<Param>& params);
    Result cmgd(Kind kind, const std::vector<Param>& params);
    Result cmgl(Kind kind, const std::vector<Param>& params);
    Result cscs(Kind kind, const std::vector<Param>& params);
    Result csca(Kind kind, const std::vector<Param>& params);

    // "SM", or "ME" with phone memory; null for a store the phone does not have.
    Phonebook* phonebookNamed(const std::string& name);
    MessageStore* messageStoreNamed(const std::string& name);
    std::string storeNames() const;
    std::string storeCounts(const std::string& name);

    // The stores the commands act on: the phonebook, messages read and deleted, messages written.
    Phonebook& phonebook() { return *phonebookNamed(m_phonebookStore); }
    MessageStore& readStore() { return *messageStoreNamed(m_messageStores[0]); }
    MessageStore& writeStore() { return *messageStoreNamed(m_messageStores[1]); }

    Result cme(int code) const;
    Result cms(int code) const;
    void changed() { m_simChanged(); }
    std::string quoteText(const std::string& text) const;
    bool decodeText(const std::string& text, std::string& out) const;
    // The name of a store or a character set: plain, or in "UCS2" also as its hex.
    std::string nameParam(const Param& param) const;
    bool givenInUcs2(const std::vector<Param>& params) const;
    // Message status as a number in PDU mode, as "REC UNREAD" and so on in text mode.
    std::optional<int> statusParam(const std::vector<Param>& params, std::size_t i, int fallback,
                                   int high) const;
    std::string statusText(int status) const;
    // The lines of AT+CMGR (index 0) or AT+CMGL; false when text mode cannot show the PDU.
    bool showMessage(int index, const StoredMessage& message);
    // Texts of messages between the GSM alphabet and the selected character set.
    std::string fromGsm(const std::string& gsm) const;
    std::optional<std::string> toGsm(const std::string& text) const;

    Sim& m_sim;
    const PhoneOptions m_options;
    SimLock m_lock;
    std::function<void()> m_simChanged;

    Mode m_mode = Mode::Command;
    std::string m_line;
    bool m_inString = false;
    bool m_lineOverflow = false;
    int m_lineSimAccesses = 0;
    std::vector<std::string> m_info;

    // The message being written: its PDU length, or in text mode its address.
    std::string m_body;
    int m_bodyStatus = StoUnsent;
    int m_pduLength = 0;
    bool m_bodyIsText = false;
    std::string m_textAddress;
    int m_textAddressType = 129;

    bool m_echo;
    int m_cmee;
    bool m_textMode;
    int m_cregMode = 0;
    std::string m_charset;
    std::string m_phonebookStore;
    std::array<std::string, 3> m_messageStores; // read and delete, write, receive
};

} // namespace vphone
