#include "phone_log.h"

#include <QList>
#include <vector>

namespace {

constexpr char kCtrlZ = 26;

QByteArray unescaped(QByteArrayView text) {
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        const char code = text[++i];
        if (code == 'x') {
            bytes += char(text.sliced(i + 1, 2).toByteArray().toInt(nullptr, 16));
            i += 2;
        } else {
            bytes += code == 'r' ? '\r' : code == 'n' ? '\n' : code;
        }
    }
    return bytes;
}

enum class Ending { None, Final, Prompt };

// The phone's words since a command ended, echo included, as far as they have come.
Ending endingOf(const QByteArray& said) {
    if (said.endsWith("\r\n> "))
        return Ending::Prompt;
    if (!said.endsWith("\r\n"))
        return Ending::None;
    const QByteArray body = said.chopped(2);
    const QByteArray line = body.mid(body.lastIndexOf('\n') + 1);
    const bool final =
        line == "OK" || line == "ERROR" || line.startsWith("+CME ERROR:") || line.startsWith("+CMS ERROR:");
    return final ? Ending::Final : Ending::None;
}

// A command's answer may still be coming when the next command arrives: a terminal may send a
// message once the prompt's ">" is in, before its blank. Answers come in the order of the commands.
class Reader {
public:
    void received(double ms, char byte) {
        if (byte != '\r' && byte != kCtrlZ)
            return;
        m_commands.push_back({ms, 0, Ending::None});
    }

    void sent(double ms, char byte) {
        if (m_answering == m_commands.size())
            return;
        m_said += byte;
        Command& command = m_commands[m_answering];
        command.ending = endingOf(m_said);
        if (command.ending == Ending::None)
            return;
        command.answeredMs = ms;
        m_said.clear();
        ++m_answering;
    }

    PhoneTime time() const {
        PhoneTime time;
        time.commands = int(m_commands.size());
        time.answered = int(m_answering);
        for (std::size_t at = 0; at < m_answering; ++at)
            time.answeringMs += m_commands[at].answeredMs - m_commands[at].endMs;
        for (std::size_t at = 1; at < m_commands.size(); ++at)
            time.gaps += m_commands[at - 1].ending == Ending::Prompt ? 0 : 1;
        return time;
    }

private:
    struct Command {
        double endMs;
        double answeredMs;
        Ending ending;
    };
    std::vector<Command> m_commands;
    std::size_t m_answering = 0; // the first command not answered yet
    QByteArray m_said;           // by the phone since it began that answer, echo included
};

} // namespace

PhoneTime phoneTime(const QByteArray& log) {
    Reader reader;
    for (const QByteArray& line : log.split('\n')) {
        const qsizetype stamp = line.indexOf(' ');
        if (line.startsWith('#') || stamp < 0)
            continue;
        const double ms = line.left(stamp).toDouble();
        const bool in = line.mid(stamp + 1, 3) == "in ";
        const qsizetype bytesAt = stamp + (in ? 4 : 5);
        for (const char byte : unescaped(QByteArrayView(line).sliced(std::min(bytesAt, line.size()))))
            in ? reader.received(ms, byte) : reader.sent(ms, byte);
    }
    return reader.time();
}
