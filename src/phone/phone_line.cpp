#include "phone/phone_line.h"

#include "phone/phone_messages.h"
#include "phone/shared_state.h"
#include "platform/cp1250.h"
#include "platform/pause.h"
#include "sim/prompts.h"

namespace {

// A SIM that has just taken its PIN is busy loading for a few seconds.
constexpr int kBusyRetries = 5;
constexpr int kBusyRetryMs = 1000;

} // namespace

PhoneLine::PhoneLine(PortLink& port, SharedState& shared, platform::Pause& pause, sim::Prompts& prompts)
    : m_ledger(port, shared, pause), m_shared(shared), m_pause(pause), m_prompts(prompts) {}

final_answers::Answer PhoneLine::ask(const std::string& text, int timeoutMs) {
    for (int retry = 0;; ++retry) {
        final_answers::Answer answer = m_ledger.ask(text, timeoutMs);
        if (answer.final != final_answers::Final::Error || !final_answers::meansSimBusy(answer.error) ||
            retry == kBusyRetries)
            return answer;
        m_pause.wait(kBusyRetryMs);
    }
}

std::string PhoneLine::causeOf(const final_answers::Answer& answer) {
    return answer.error == "ERROR" ? std::string() : platform::cp1250ToUtf8(answer.error);
}

void PhoneLine::warn(const std::string& text) {
    m_prompts.warn(text);
}

void PhoneLine::warnSilent() {
    if (!lineLost())
        warn(phone_messages::kPhoneSilent);
}

void PhoneLine::forgetTranscript() {
    m_shared.Transcript.clear();
}
