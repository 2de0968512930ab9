#include "cli/alarm_set.h"
#include "exchange/exchange_context.h"
#include "phone/phone_messages.h"
#include "phone/shared_state.h"
#include "sms/alarm_pdu.h"
#include "sms/messages_transfer.h"

namespace {

using message_set::kPositions;

message_set::Messages messagesOf(const SetLines& lines) {
    message_set::Messages messages;
    for (std::size_t i = 0; i < messages.size(); ++i)
        messages[i] = {lines.at(2 * i), lines.at(2 * i + 1)};
    return messages;
}

class MessagesSet final : public AlarmSet {
public:
    explicit MessagesSet(std::string smscNumber) : m_smsc(std::move(smscNumber)) {}

    QString title() const override { return QStringLiteral("SMS"); }
    std::string extension() const override { return "sms"; }
    std::size_t lineCount() const override { return 2 * kPositions; }
    QString positions() const override { return QString::fromUtf8("SMS 1 až 4"); }
    bool probes() const override { return false; }

    SetLines checked(const SetLines& lines, QString& error) const override {
        if (message_set::acceptable(m_smsc, messagesOf(lines)))
            return lines;
        error = QString::fromUtf8(phone_messages::kNumbersMalformed);
        return {};
    }

    TransferOutcome write(sim::Session& sim, const SetLines& lines,
                          const TransferProgress& progress) const override {
        const auto messages = messagesOf(lines);
        return messages_transfer::store(
            sim,
            [&](int position) {
                const auto& message = messages[std::size_t(position - 1)];
                return alarm_pdu::encode(m_smsc, message.number, message.text);
            },
            progress, [] {});
    }

    TransferRead<SetLines> read(ExchangeContext& context, sim::Session& sim,
                                const TransferProgress& progress) const override {
        const auto read = messages_transfer::read(sim, context.shared.StepState, progress);
        if (read.outcome != TransferOutcome::Done)
            return {read.outcome, {}};
        SetLines lines;
        for (const message_set::Message& message : read.data) {
            lines.push_back(message.number);
            lines.push_back(message.text);
        }
        return {TransferOutcome::Done, lines};
    }

    void tellRead(const SetLines&, sim::Prompts&) const override {}

    // A message is compared as its PDU carried it: a character the alarm's alphabet lacks was
    // already changed on the way, by the window's write just the same.
    QStringList differing(const SetLines& written, const SetLines& read) const override {
        const auto sent = messagesOf(written);
        const auto kept = messagesOf(read);
        QStringList positions;
        for (int position = 1; position <= kPositions; ++position) {
            const auto& message = sent[std::size_t(position - 1)];
            const auto encoded = alarm_pdu::encode(m_smsc, message.number, message.text);
            if (alarm_pdu::decode(encoded.octets) != kept[std::size_t(position - 1)])
                positions << QStringLiteral("SMS %1").arg(position);
        }
        return positions;
    }

    // The first message's number.
    QString summary(const SetLines& lines) const override { return QString::fromStdString(lines.at(0)); }

private:
    std::string m_smsc;
};

} // namespace

std::unique_ptr<AlarmSet> messagesSet(const std::string& smscNumber) {
    return std::make_unique<MessagesSet>(smscNumber);
}
