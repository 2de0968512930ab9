#pragma once
// A PortLink that records what a page sends and answers as a phone with command echo would,
// straight into the transcript the main window keeps of an exchange (the replies the timer ticks
// read are set by the tests). The default phone takes everything.
#include "phone/port_link.h"
#include "phone/reply.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// Echo and "OK"; the prompt for AT+CMGW, then "+CMGW: n" for the n-th PDU. The probe's answer is
// the test's to give, in ReplyBuffer.
inline std::function<std::string(const std::string&)> phoneTakingEverything() {
    return [stored = 0](const std::string& sent) mutable {
        if (sent == reply::kProbe)
            return std::string();
        if (!sent.empty() && sent.back() == reply::kCtrlZ)
            return sent + "\r\n+CMGW: " + std::to_string(++stored) + "\r\n\r\nOK\r\n";
        if (sent.rfind("AT+CMGW=", 0) == 0)
            return sent + "\r\n> ";
        return sent + "\r\nOK\r\n";
    };
}

class FakePort final : public PortLink {
public:
    bool open = true;
    std::vector<std::string> sent;
    std::size_t failingSend = 0; // 1-based: that send raises, as on a line pulled out; 0: never
    std::function<std::string(const std::string&)> answer = phoneTakingEverything();
    std::string* transcript = nullptr;

    bool IsOpen() const override { return open; }
    void SendText(const std::string& text) override {
        if (sent.size() + 1 == failingSend)
            throw std::runtime_error("write failed");
        sent.push_back(text);
        if (transcript && answer)
            *transcript += answer(text);
    }
};
