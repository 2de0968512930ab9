#include "cli/console_prompts.h"

#include "cli/console.h"
#include "platform/console.h"

#include <string>
#include <utility>

namespace {

const QString kNoPin = QString::fromUtf8("PIN nebyl zadán.");
const QString kNoTerminal =
    QString::fromUtf8("PIN nelze zadat: program nemá terminál; použijte --pin-stdin.");

// The first line of a PIN question says what happened ("Telefon tento PIN odmítl."), the rest asks
// for another.
QString headline(const QString& text) {
    return text.section('\n', 0, 0);
}

} // namespace

ConsolePrompts::ConsolePrompts(Console& console, PinSource pins, std::FILE* input)
    : m_console(console), m_pins(pins), m_input(input) {}

void ConsolePrompts::warn(const std::string& text) {
    m_console.message(QString::fromStdString(text));
}

void ConsolePrompts::error(const std::string& text) {
    m_console.message(QString::fromStdString(text));
}

std::optional<std::string> ConsolePrompts::askPin(const sim::PinQuestion& question) {
    const QString text = QString::fromStdString(sim::shownText(question));
    if (m_pins == PinSource::StandardInput)
        return pinFromInput(text);
    m_console.endProgress();
    QString prompt = text;
    prompt.replace('\n', ' ');
    const auto answer = platform::askHidden((prompt + ' ').toStdString());
    if (answer.kind != platform::HiddenAnswer::Kind::Typed) {
        m_console.message(answer.kind == platform::HiddenAnswer::Kind::NoTerminal ? kNoTerminal : kNoPin);
        return std::nullopt;
    }
    return answer.text;
}

// A script gives one PIN: one the SIM refused, or one of the wrong form, ends the exchange.
std::optional<std::string> ConsolePrompts::pinFromInput(const QString& text) {
    if (std::exchange(m_inputTaken, true)) {
        m_console.message(headline(text));
        return std::nullopt;
    }
    std::string line;
    for (int c; (c = std::fgetc(m_input)) != EOF && c != '\n';)
        line += char(c);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}
