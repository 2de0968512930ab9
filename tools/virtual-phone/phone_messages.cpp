#include "phone.h"

#include "charset.h"
#include "params.h"
#include "text_message.h"

#include <algorithm>

namespace vphone {

namespace {

constexpr const char* statusNames[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"};

} // namespace

// Text mode only when offered; otherwise PDU mode is all there is.
Phone::Result Phone::cmgf(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Query) {
        m_info.push_back(m_textMode ? "+CMGF: 1" : "+CMGF: 0");
        return {};
    }
    if (kind == Kind::Test) {
        m_info.push_back(m_options.textMode ? "+CMGF: (0,1)" : "+CMGF: (0)");
        return {};
    }
    const auto mode = intParam(params, 0, 0, m_options.textMode ? 1 : 0, 0);
    if (kind != Kind::Set || params.size() != 1 || !mode)
        return {Result::Fail, "ERROR"};
    m_textMode = *mode == 1;
    return {};
}

std::optional<int> Phone::statusParam(const std::vector<Param>& params, std::size_t i, int fallback,
                                      int high) const {
    if (!m_textMode)
        return intParam(params, i, 0, high, fallback);
    if (i >= params.size() || !params[i].present)
        return fallback;
    for (int status = 0; status <= high && params[i].quoted; ++status)
        if (params[i].value == statusNames[status])
            return status;
    return std::nullopt;
}

std::string Phone::statusText(int status) const {
    return m_textMode ? std::string("\"") + statusNames[status] + "\"" : std::to_string(status);
}

// A character the selected set lacks is shown as "?", as a phone shows it.
std::string Phone::fromGsm(const std::string& gsm) const {
    if (m_charset == "GSM")
        return gsm;
    std::string text;
    for (std::size_t i = 0; i < gsm.size(); ++i) {
        const std::size_t length = gsm[i] == '\x1B' && i + 1 < gsm.size() ? 2 : 1;
        text += gsmToCp1250(gsm.substr(i, length)).value_or("?");
        i += length - 1;
    }
    return text;
}

std::optional<std::string> Phone::toGsm(const std::string& text) const {
    if (m_charset != "GSM")
        return cp1250ToGsm(text);
    if (!gsmToCp1250(text))
        return std::nullopt;
    return text;
}

MessageStore* Phone::messageStoreNamed(const std::string& name) {
    if (name == "SM")
        return &m_sim.messages;
    if (name == "ME" && m_options.phoneMemory)
        return &m_sim.phoneMessages;
    return nullptr;
}

std::string Phone::storeCounts(const std::string& name) {
    const MessageStore& store = *messageStoreNamed(name);
    return std::to_string(store.messages.size()) + "," + std::to_string(store.size);
}

Phone::Result Phone::cpms(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Query) {
        std::string line;
        for (const auto& name : m_messageStores)
            line += (line.empty() ? "+CPMS: \"" : ",\"") + name + "\"," + storeCounts(name);
        m_info.push_back(line);
        return {};
    }
    if (kind == Kind::Test) {
        m_info.push_back("+CPMS: " + storeNames() + "," + storeNames() + "," + storeNames());
        return {};
    }
    if (kind != Kind::Set || params.empty() || params.size() > m_messageStores.size())
        return {Result::Fail, "ERROR"};
    for (const auto& param : params) {
        if (param.present && !param.quoted)
            return {Result::Fail, "ERROR"};
        if (param.present && !messageStoreNamed(nameParam(param)))
            return cms(302);
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        if (params[i].present)
            m_messageStores[i] = nameParam(params[i]);
    m_info.push_back("+CPMS: " + storeCounts(m_messageStores[0]) + "," + storeCounts(m_messageStores[1]) +
                     "," + storeCounts(m_messageStores[2]));
    return {};
}

Phone::Result Phone::cmgw(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Test)
        return {};
    if (m_textMode)
        return cmgwText(kind, params);
    // In PDU mode the TPDU length is mandatory.
    if (kind != Kind::Set || params.size() > 2)
        return {Result::Fail, "ERROR"};
    const auto length = intParam(params, 0, 1, 164);
    const auto status = statusParam(params, 1, StoUnsent, StoSent);
    if (!length || !status)
        return {Result::Fail, "ERROR"};
    m_body.clear();
    m_bodyIsText = false;
    m_pduLength = *length;
    m_bodyStatus = *status;
    return {Result::Prompt, {}};
}

// AT+CMGW[=<da>[,<toda>[,<stat>]]]. Phones take the address unquoted too, so a PDU length sent to
// a phone in text mode becomes the destination.
Phone::Result Phone::cmgwText(Kind kind, const std::vector<Param>& params) {
    if ((kind != Kind::Set && kind != Kind::Action) || params.size() > 3)
        return {Result::Fail, "ERROR"};
    const std::string address = params.empty() ? std::string() : params[0].value;
    const auto type = intParam(params, 1, 128, 255, defaultNumberType(address));
    const auto status = statusParam(params, 2, StoUnsent, StoSent);
    if (!type || !status)
        return {Result::Fail, "ERROR"};
    if (!isMessageAddress(address))
        return cms(305);
    m_body.clear();
    m_bodyIsText = true;
    m_textAddress = address;
    m_textAddressType = *type;
    m_bodyStatus = *status;
    return {Result::Prompt, {}};
}

std::string Phone::pduBody() const {
    const std::string pdu = normalisePdu(m_body);
    return m_body.size() <= maxBody && tpduLength(pdu) == m_pduLength ? pdu : std::string();
}

// Kept as a PDU like every message, so the state file has one form.
std::string Phone::textBodyPdu() const {
    const auto text = toGsm(m_body);
    if (!text || m_body.size() > maxBody)
        return {};
    return encodeSubmit(m_textAddress, m_textAddressType, *text);
}

void Phone::finishBody(bool cancelled, PhoneOutput& out) {
    m_mode = Mode::Command;
    out.hasResponse = true;
    out.simAccesses = cancelled ? 0 : 1;
    if (cancelled) {
        out.response = frame({Result::Ok, "OK"});
        return;
    }
    const std::string pdu = m_bodyIsText ? textBodyPdu() : pduBody();
    if (pdu.empty()) {
        out.response = frame(cms(m_bodyIsText ? 305 : 304));
        return;
    }
    // Full is told only after the PDU, so a sender that does not wait for the prompt stays in step.
    int index = 0;
    MessageStore& store = writeStore();
    for (int i = 1; i <= store.size && index == 0; ++i)
        if (!store.messages.count(i))
            index = i;
    if (index == 0) {
        out.response = frame(cms(322));
        return;
    }
    store.messages[index] = StoredMessage{m_bodyStatus, pdu};
    changed();
    m_info.push_back("+CMGW: " + std::to_string(index));
    out.response = frame({Result::Ok, "OK"});
}

bool Phone::showMessage(int index, const StoredMessage& message) {
    std::string head = index == 0 ? "+CMGR: " : "+CMGL: " + std::to_string(index) + ",";
    head += statusText(message.status);
    if (!m_textMode) {
        m_info.push_back(head + ",," + std::to_string(tpduLength(message.pdu)));
        m_info.push_back(message.pdu);
        return true;
    }
    const auto view = decodeForText(message.pdu);
    if (!view)
        return false;
    // The sender's time stamp only for a received message; the listing has the fields regardless.
    head += "," + quoteRaw(fromGsm(view->address));
    if (!view->timestamp.empty())
        head += ",,\"" + view->timestamp + "\"";
    else if (index != 0)
        head += ",,";
    m_info.push_back(head);
    m_info.push_back(view->isText ? fromGsm(view->data) : view->data);
    return true;
}

Phone::Result Phone::cmgr(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Test)
        return {};
    if (kind != Kind::Set || params.size() != 1)
        return {Result::Fail, "ERROR"};
    const auto index = intParam(params, 0, 0, 99999);
    if (!index)
        return {Result::Fail, "ERROR"};
    MessageStore& store = readStore();
    if (*index < 1 || *index > store.size)
        return cms(321);
    const auto it = store.messages.find(*index);
    if (it == store.messages.end())
        return m_options.emptyError ? cms(321) : Result{};
    if (!showMessage(0, it->second))
        return cms(500);
    if (it->second.status == RecUnread) {
        it->second.status = RecRead;
        changed();
    }
    return {};
}

Phone::Result Phone::cmgd(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Test) {
        std::string used;
        for (const auto& [index, message] : readStore().messages)
            used += (used.empty() ? "" : ",") + std::to_string(index);
        m_info.push_back("+CMGD: (" + used + "),(0-4)");
        return {};
    }
    if (kind != Kind::Set || params.empty() || params.size() > 2)
        return {Result::Fail, "ERROR"};
    const auto index = intParam(params, 0, 0, 99999, 0);
    const auto flag = intParam(params, 1, 0, 4, 0);
    if (!index || !flag)
        return {Result::Fail, "ERROR"};
    if (*flag == 0) {
        if (*index < 1 || *index > readStore().size)
            return cms(321);
        if (readStore().messages.erase(*index))
            changed();
        return {};
    }
    // 1: read; 2: read and sent; 3: read, sent and unsent; 4: all.
    const int level = *flag;
    const auto doomed = [level](int status) {
        return level == 4 || status == RecRead || (level >= 2 && status == StoSent) ||
               (level >= 3 && status == StoUnsent);
    };
    auto& messages = readStore().messages;
    const auto before = messages.size();
    std::erase_if(messages, [&](const auto& item) { return doomed(item.second.status); });
    if (messages.size() != before)
        changed();
    return {};
}

Phone::Result Phone::cmgl(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Test) {
        std::string names;
        for (const char* name : statusNames)
            names += (names.empty() ? "(\"" : ",\"") + std::string(name) + "\"";
        m_info.push_back(m_textMode ? "+CMGL: " + names + ")" : "+CMGL: (0-4)");
        return {};
    }
    if (kind == Kind::Set && params.size() != 1)
        return {Result::Fail, "ERROR"};
    if (kind != Kind::Set && kind != Kind::Action)
        return {Result::Fail, "ERROR"};
    const auto status = statusParam(params, 0, RecUnread, 4);
    if (!status)
        return {Result::Fail, "ERROR"};
    bool marked = false;
    for (auto& [index, message] : readStore().messages) {
        if (*status != 4 && message.status != *status)
            continue;
        if (!showMessage(index, message))
            return cms(500);
        if (message.status == RecUnread) {
            message.status = RecRead;
            marked = true;
        }
    }
    if (marked)
        changed();
    return {};
}

} // namespace vphone
