#include "phone.h"

#include "params.h"

#include <algorithm>

namespace vphone {

Phone::Result Phone::cmgf(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Query) {
        m_info.push_back("+CMGF: 0");
    } else if (kind == Kind::Test) {
        m_info.push_back("+CMGF: (0)");
    } else if (kind != Kind::Set || params.size() != 1 || intParam(params, 0, 0, 0, 0) != 0) {
        return {Result::Fail, "ERROR"}; // PDU mode only
    }
    return {};
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
        if (param.present && !messageStoreNamed(param.value))
            return cms(302);
    }
    for (std::size_t i = 0; i < params.size(); ++i)
        if (params[i].present)
            m_messageStores[i] = params[i].value;
    m_info.push_back("+CPMS: " + storeCounts(m_messageStores[0]) + "," + storeCounts(m_messageStores[1]) +
                     "," + storeCounts(m_messageStores[2]));
    return {};
}

Phone::Result Phone::cmgw(Kind kind, const std::vector<Param>& params) {
    if (kind == Kind::Test)
        return {};
    // In PDU mode the TPDU length is mandatory.
    if (kind != Kind::Set || params.size() > 2)
        return {Result::Fail, "ERROR"};
    const auto length = intParam(params, 0, 1, 164);
    const auto status = intParam(params, 1, 0, 3, int(StoUnsent));
    if (!length || !status)
        return {Result::Fail, "ERROR"};
    m_pdu.clear();
    m_pduLength = *length;
    m_pduStatus = *status;
    return {Result::Prompt, {}};
}

void Phone::finishPdu(bool cancelled, PhoneOutput& out) {
    m_mode = Mode::Command;
    out.hasResponse = true;
    if (cancelled) {
        out.response = frame({Result::Ok, "OK"});
        return;
    }
    const std::string pdu = normalisePdu(m_pdu);
    if (pdu.empty() || m_pdu.size() > maxPduHex || tpduLength(pdu) != m_pduLength) {
        out.response = frame(cms(304));
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
    store.messages[index] = StoredMessage{m_pduStatus, pdu};
    changed();
    m_info.push_back("+CMGW: " + std::to_string(index));
    out.response = frame({Result::Ok, "OK"});
}

std::string Phone::messageLines(int index, const StoredMessage& message) const {
    const std::string length = std::to_string(tpduLength(message.pdu));
    if (index == 0)
        return "+CMGR: " + std::to_string(message.status) + ",," + length;
    return "+CMGL: " + std::to_string(index) + "," + std::to_string(message.status) + ",," + length;
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
    m_info.push_back(messageLines(0, it->second));
    m_info.push_back(it->second.pdu);
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
        m_info.push_back("+CMGL: (0-4)");
        return {};
    }
    if (kind == Kind::Set && params.size() != 1)
        return {Result::Fail, "ERROR"};
    if (kind != Kind::Set && kind != Kind::Action)
        return {Result::Fail, "ERROR"};
    const auto status = intParam(params, 0, 0, 4, int(RecUnread));
    if (!status)
        return {Result::Fail, "ERROR"};
    bool marked = false;
    for (auto& [index, message] : readStore().messages) {
        if (*status != 4 && message.status != *status)
            continue;
        m_info.push_back(messageLines(index, message));
        m_info.push_back(message.pdu);
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
