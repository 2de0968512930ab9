#pragma once
// A PortLink that records what a page sends and answers at once as a phone would, straight into
// the transcript the main window keeps of an exchange.
#include "phone/port_link.h"
#include "phone/reply.h"

#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A phone with an unlocked SIM that takes everything: echo, then "OK"; the prompt for AT+CMGW, then
// "+CMGW: n" for the n-th message. A test gives other answers per command in `answers` (what
// follows the echo; empty for a phone that stays silent) and the SIM's content the same way;
// `answersInTurn` come first, one per sending.
struct FakePhone {
    bool echo = true;
    std::string charsets = "(\"IRA\")"; // names go as they are
    std::string charset = "IRA";        // the one in use
    std::map<std::string, std::string> answers;
    std::map<std::string, std::deque<std::string>> answersInTurn;
    int stored = 0;

    // Several commands on one line ("AT+CMEE=1;+CPIN?") are answered as a phone does: their
    // information lines in turn and one final result; the first that fails ends the line.
    std::string operator()(const std::string& sent) {
        const std::vector<std::string> commands = split(sent);
        if (commands.size() == 1 || answers.contains(sent) || answersInTurn.contains(sent))
            return answerOne(sent);
        const std::string echoed = echo ? sent : std::string();
        std::string infos;
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const std::string said = answerOne(commands[i]);
            if (said.empty())
                return said;
            const std::string reply = said.substr(echo ? commands[i].size() : 0);
            if (i + 1 == commands.size() || !reply.ends_with(kOk))
                return echoed + infos + reply;
            infos += reply.substr(0, reply.size() - kOk.size());
        }
        return {};
    }

private:
    static constexpr std::string_view kOk = "\r\nOK\r\n";

    // Each command of the line as if sent alone: "AT", the command, CR.
    static std::vector<std::string> split(const std::string& line) {
        if (!line.starts_with("AT") || !line.ends_with(reply::kCR))
            return {line};
        std::vector<std::string> commands;
        std::string command = "AT";
        bool quoted = false;
        for (const char c : std::string_view(line).substr(2, line.size() - 3)) {
            quoted = quoted != (c == '"');
            if (c == ';' && !quoted)
                commands.push_back(std::exchange(command, "AT") + reply::kCR);
            else
                command += c;
        }
        commands.push_back(command + reply::kCR);
        return commands;
    }

    std::string answerOne(const std::string& sent) {
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
        if (sent == "AT+CSCS?\r")
            return echoed + "\r\n+CSCS: \"" + charset + "\"\r\n\r\nOK\r\n";
        if (sent.starts_with("AT+CSCS=\""))
            charset = sent.substr(9, sent.find('"', 9) - 9);
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
