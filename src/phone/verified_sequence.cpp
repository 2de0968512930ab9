#include "phone/verified_sequence.h"

#include "phone/exchange.h"
#include "phone/page_context.h"
#include "phone/phone_messages.h"
#include "phone/shared_state.h"
#include "platform/cp1250.h"
#include "platform/pause.h"
#include "widgets/user_dialogs.h"

#include <QStringList>

namespace {

QString fromCp1250(const std::string& text) {
    return QString::fromStdU16String(platform::cp1250ToUtf16(text));
}

// A bare "ERROR" carries no code worth quoting.
void addErrorCode(QStringList& codes, const std::string& error) {
    const QString code = fromCp1250(error);
    if (error != "ERROR" && !error.empty() && !codes.contains(code))
        codes << code;
}

QString withCodes(QString text, const QStringList& codes) {
    return codes.isEmpty() ? text : text + '\n' + codes.join(QStringLiteral(", "));
}

} // namespace

// A reply still coming in belongs to what went before; the transcript starts after it.
VerifiedSequence::VerifiedSequence(PageContext& context)
    : m_context(context), m_ledger(context.port, context.shared, context.pause) {
    awaitSettledReply(context);
    context.shared.Transcript.clear();
}

bool VerifiedSequence::select(std::initializer_list<const char*> commands) {
    for (const char* command : commands) {
        m_ledger.send(std::string(command) + '\r');
        m_ledger.awaitAnswers();
        const final_answers::Outcome outcome = m_ledger.outcomes().back();
        if (!outcome.answered) {
            m_context.dialogs.warning(QString::fromUtf8(phone_messages::kPhoneSilent));
            return false;
        }
        if (!outcome.confirmed) {
            QStringList codes;
            addErrorCode(codes, outcome.error);
            m_context.dialogs.warning(withCodes(
                QString::fromUtf8(phone_messages::kCommandRefused).arg(QString::fromLatin1(command)), codes));
            return false;
        }
    }
    m_firstChange = m_ledger.commands().size();
    // The selections' answers must not pass for the reply to the next command.
    m_context.shared.ReplyBuffer.assign(1, ' ');
    return true;
}

void VerifiedSequence::send(const std::string& text, const final_answers::Expectation& expected) {
    m_ledger.send(text, expected);
}

void VerifiedSequence::sendRest(const std::string& text) {
    m_ledger.sendRest(text);
}

void VerifiedSequence::pause(int milliseconds) {
    if (!m_ledger.lineLost())
        m_context.pause.wait(milliseconds);
}

bool VerifiedSequence::finish(const char* unconfirmedText) {
    m_ledger.awaitAnswers();
    const auto outcomes = m_ledger.outcomes();
    const auto& commands = m_ledger.commands();
    bool anyAnswered = false;
    QStringList positions;
    QStringList codes;
    for (std::size_t i = m_firstChange; i < commands.size(); ++i) {
        anyAnswered = anyAnswered || outcomes[i].answered;
        if (outcomes[i].confirmed || commands[i].position == 0)
            continue;
        if (!positions.contains(QString::number(commands[i].position)))
            positions << QString::number(commands[i].position);
        addErrorCode(codes, outcomes[i].error);
    }
    if (!anyAnswered && m_firstChange < commands.size()) {
        m_context.dialogs.warning(QString::fromUtf8(phone_messages::kPhoneSilent));
        return false;
    }
    if (positions.isEmpty())
        return true;
    m_context.dialogs.warning(
        withCodes(QString::fromUtf8(unconfirmedText).arg(positions.join(QStringLiteral(", "))), codes));
    return false;
}
