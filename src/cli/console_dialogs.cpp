#include "cli/console_dialogs.h"

#include "cli/console.h"
#include "platform/console.h"

#include <string>
#include <utility>

namespace {

const QString kNoPin = QString::fromUtf8("PIN nebyl zadán.");
const QString kNoTerminal =
    QString::fromUtf8("PIN nelze zadat: program nemá terminál; použijte --pin-stdin.");

// The first line of a PIN dialog's text says what happened ("Telefon tento PIN odmítl."), the rest
// asks for another.
QString headline(const QString& text) {
    return text.section('\n', 0, 0);
}

} // namespace

ConsoleDialogs::ConsoleDialogs(Console& console, PinSource pins, std::FILE* input)
    : m_console(console), m_pins(pins), m_input(input) {}

void ConsoleDialogs::error(const QString& text) {
    m_console.message(text);
}

void ConsoleDialogs::warning(const QString& text) {
    m_console.message(text);
}

bool ConsoleDialogs::askYesNo(const QString& text) {
    m_console.message(text);
    return false;
}

void ConsoleDialogs::reportFailure(const QString&, const QString& text) {
    m_console.message(text);
}

std::optional<QString> ConsoleDialogs::saveFileName(const FileDialogSpec&) {
    return std::nullopt;
}

std::optional<QString> ConsoleDialogs::openFileName(const FileDialogSpec&) {
    return std::nullopt;
}

std::optional<QString> ConsoleDialogs::askPin(const QString& text) {
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
    return QString::fromLocal8Bit(answer.text.c_str());
}

// A script gives one PIN: one the phone refused, or one of the wrong form, ends the exchange.
std::optional<QString> ConsoleDialogs::pinFromInput(const QString& text) {
    if (std::exchange(m_inputTaken, true)) {
        m_console.message(headline(text));
        return std::nullopt;
    }
    std::string line;
    for (int c; (c = std::fgetc(m_input)) != EOF && c != '\n';)
        line += char(c);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromLocal8Bit(line.c_str());
}
