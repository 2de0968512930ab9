#pragma once
// A PortLink that records what a page sends and answers at once as a phone would, straight into
// the transcript the main window keeps of an exchange.
#include "phone/port_link.h"
#include "phone/reply.h"

#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

// A phone with an unlocked SIM that takes everything: echo, then "OK"; the prompt for AT+CMGW, then
// "+CMGW: n" for the n-th message. A test gives other answers per command in `answers` (what
// follows the echo; empty for a phone that stays silent) and the SIM's content the same way;
// `answersInTurn` come first, one per sending.
struct FakePhone {
    bool echo = true;
    std::string charsets = "(\"IRA\")"; // names go as they are
    std::map<std::string, std::string> answers;
    std::map<std::string, std::deque<std::string>> answersInTurn;
    int stored = 0;

    std::string operator()(const std::string& sent) {
        const std::string echoed = echo ? sent : std::string();
        if (auto turn = answersInTurn.find(sent); turn != answersInTurn.end() && !turn->second.empty()) {
            const std::string given = turn->second.front();
            turn->second.pop_front();
            return given.empty() ? std::string() : echoed + given;
        }
        if (const auto given = answers.find(sent); given != answers.end())
            return given->second.empty() ? std::string() : echoed + given->second;
        if (!sent.empty() && sent.back() == reply::kCtrlZ)
            return echoed + "\r\n+CMGW: " + std::to_string(++stored) + "\r\n\r\nOK\r\n";
        if (sent.starts_with("AT+CMGW="))
            return echoed + "\r\n> ";
        if (sent == "AT+CPIN?\r")
            return echoed + "\r\n+CPIN: READY\r\n\r\nOK\r\n";
        if (sent == "AT+CSCS=?\r")
            return echoed + "\r\n+CSCS: " + charsets + "\r\n\r\nOK\r\n";
        return echoed + "\r\nOK\r\n";
    }
};

class FakePort final : public PortLink {
public:
    bool open = true;
    std::vector<std::string> sent;
    std::size_t failingSend = 0; // 1-based: that send raises, as on a line pulled out; 0: never
    FakePhone* phone = nullptr;
    std::string* transcript = nullptr;

    bool IsOpen() const override { return open; }
    void SendText(const std::string& text) override {
        if (sent.size() + 1 == failingSend)
            throw std::runtime_error("write failed");
        sent.push_back(text);
        if (transcript && phone)
            *transcript += (*phone)(text);
    }
};
