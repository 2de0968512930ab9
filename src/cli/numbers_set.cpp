#include "cli/alarm_set.h"
#include "exchange/exchange_context.h"
#include "numbers/numbers_transfer.h"
#include "phone/phone_messages.h"
#include "phone/shared_state.h"

namespace {

using number_list::kPositions;

numbers_transfer::Entries entriesOf(const SetLines& lines) {
    numbers_transfer::Entries entries;
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i] = {lines.at(2 * i), lines.at(2 * i + 1)};
    return entries;
}

// An empty number empties its position, whatever name the file gives it.
sim::Entry asStored(const sim::Entry& entry) {
    return entry.number.empty() ? sim::Entry{} : entry;
}

class NumbersSet final : public AlarmSet {
public:
    QString title() const override { return QString::fromUtf8("Telefonní čísla"); }
    std::string extension() const override { return "num"; }
    std::size_t lineCount() const override { return 2 * kPositions; }
    QString positions() const override { return QString::fromUtf8("1 až 4"); }
    bool probes() const override { return true; }

    SetLines checked(const SetLines& lines, QString& error) const override {
        std::array<std::string, kPositions> numbers;
        for (std::size_t i = 0; i < numbers.size(); ++i)
            numbers[i] = lines.at(2 * i);
        if (number_list::allNumbersAcceptable(numbers))
            return lines;
        error = QString::fromUtf8(phone_messages::kNumbersMalformed);
        return {};
    }

    TransferOutcome write(sim::Session& sim, const SetLines& lines,
                          const TransferProgress& progress) const override {
        return numbers_transfer::write(sim, entriesOf(lines), progress);
    }

    TransferRead<SetLines> read(ExchangeContext& context, sim::Session& sim,
                                const TransferProgress& progress) const override {
        const auto read = numbers_transfer::read(sim, context.shared.StepState, progress);
        if (read.outcome != TransferOutcome::Done)
            return {read.outcome, {}};
        SetLines lines;
        for (const sim::Entry& entry : read.data) {
            lines.push_back(entry.number);
            lines.push_back(entry.name);
        }
        return {TransferOutcome::Done, lines};
    }

    void tellRead(const SetLines&, sim::Prompts&) const override {}

    QStringList differing(const SetLines& written, const SetLines& read) const override {
        const auto sent = entriesOf(written);
        const auto kept = entriesOf(read);
        QStringList positions;
        for (int position = 1; position <= kPositions; ++position)
            if (asStored(sent[std::size_t(position - 1)]) != kept[std::size_t(position - 1)])
                positions << QString::number(position);
        return positions;
    }

    // The numbers at positions 1 and 2.
    QString summary(const SetLines& lines) const override {
        return QStringLiteral("%1, %2").arg(QString::fromStdString(lines.at(0)),
                                            QString::fromStdString(lines.at(2)));
    }
};

} // namespace

std::unique_ptr<AlarmSet> numbersSet() {
    return std::make_unique<NumbersSet>();
}
