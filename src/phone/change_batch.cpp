#include "phone/change_batch.h"

#include "phone/command_ledger.h"
#include "phone/phone_line.h"
#include "phone/reply.h"
#include "sim/position_report.h"

#include <utility>

using final_answers::Answer;
using final_answers::Final;

namespace {

// Commands as sent alone ("AT+CPBW=1\r", "AT+CPBW=2\r") on one line: "AT+CPBW=1;+CPBW=2\r".
std::string onOneLine(const std::vector<std::string>& commands) {
    std::string line = "AT";
    for (const std::string& command : commands)
        line += (line.size() > 2 ? ";" : "") + command.substr(2, command.size() - 3);
    return line + reply::kCR;
}

} // namespace

ChangeBatch::ChangeBatch(PhoneLine& line, sim::PositionReport& report) : m_line(line), m_report(report) {}

void ChangeBatch::add(std::string command, int position, bool absentIsDone) {
    m_waiting.push_back({std::move(command), position, absentIsDone});
}

bool ChangeBatch::send(const std::string& putBack) {
    const std::vector<Change> waiting = std::exchange(m_waiting, {});
    if (waiting.empty())
        return false;
    std::vector<std::string> commands;
    for (const Change& each : waiting)
        commands.push_back(each.command);
    if (!putBack.empty())
        commands.push_back(putBack);
    if (commands.size() == 1) {
        sendAlone(waiting.front());
        return false;
    }
    if (m_line.stopped()) {
        noteUnanswered(waiting);
        return false;
    }
    const Answer answer = m_line.ask(onOneLine(commands), CommandLedger::kWriteMs * int(commands.size()));
    if (!answer.complete()) {
        m_line.stop();
        noteUnanswered(waiting);
        return false;
    }
    if (answer.final == Final::Ok) {
        for (const Change& each : waiting)
            m_report.answered(each.position, true);
        return !putBack.empty();
    }
    for (const Change& each : waiting)
        sendAlone(each);
    return false;
}

void ChangeBatch::sendAlone(const Change& change) {
    if (m_line.stopped()) {
        m_report.unanswered(change.position);
        return;
    }
    const Answer answer = m_line.ask(change.command, CommandLedger::kWriteMs);
    if (!answer.complete()) {
        m_line.stop();
        m_report.unanswered(change.position);
        return;
    }
    const bool done = answer.final == Final::Ok || (change.absentIsDone && answer.final == Final::Error &&
                                                    final_answers::meansAbsent(answer.error));
    m_report.answered(change.position, done, PhoneLine::causeOf(answer));
}

void ChangeBatch::noteUnanswered(const std::vector<Change>& changes) {
    for (const Change& each : changes)
        m_report.unanswered(each.position);
}
