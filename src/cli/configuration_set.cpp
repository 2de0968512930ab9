#include "cli/alarm_set.h"
#include "config/configuration_file.h"
#include "config/configuration_transfer.h"
#include "config/setup_codes.h"
#include "exchange/exchange_context.h"
#include "phone/shared_state.h"

namespace {

class ConfigurationSet final : public AlarmSet {
public:
    QString title() const override { return QStringLiteral("Konfigurace"); }
    std::string extension() const override { return "par"; }
    std::size_t lineCount() const override { return 2; }
    QString positions() const override { return QStringLiteral("5, 6"); }
    bool probes() const override { return true; }

    SetLines checked(const SetLines& lines, QString& error) const override {
        try {
            const auto codes = configuration_file::codesOf(lines.at(0), lines.at(1));
            return {codes.setup, codes.casy};
        } catch (const setup_codes::EConvertError& convert) {
            error = QString::fromUtf8(convert.what());
            return {};
        }
    }

    TransferOutcome write(sim::Session& sim, const SetLines& lines,
                          const TransferProgress& progress) const override {
        return configuration_transfer::write(sim, lines.at(0), lines.at(1), progress);
    }

    // A position without a configuration is saved as an empty line.
    TransferRead<SetLines> read(ExchangeContext& context, sim::Session& sim,
                                const TransferProgress& progress) const override {
        const auto read = configuration_transfer::read(sim, context.shared.StepState, progress);
        if (read.outcome != TransferOutcome::Done)
            return {read.outcome, {}};
        return {TransferOutcome::Done, {read.data.setup.value_or(""), read.data.casy.value_or("")}};
    }

    // As the page tells it.
    void tellRead(const SetLines& lines, sim::Prompts& prompts) const override {
        const auto stored = [](const std::string& line) {
            return line.empty() ? std::nullopt : std::optional(line);
        };
        configuration_transfer::tellMissing({stored(lines.at(0)), stored(lines.at(1))}, prompts);
    }

    QStringList differing(const SetLines& written, const SetLines& read) const override {
        QStringList positions;
        for (const int position :
             {configuration_transfer::kSetupPosition, configuration_transfer::kCasyPosition}) {
            const std::size_t line = std::size_t(position - configuration_transfer::kSetupPosition);
            if (written.at(line) != read.at(line))
                positions << QString::number(position);
        }
        return positions;
    }

    QString summary(const SetLines& lines) const override {
        return QStringLiteral("%1, %2").arg(QString::fromStdString(lines.at(0)),
                                            QString::fromStdString(lines.at(1)));
    }
};

} // namespace

std::unique_ptr<AlarmSet> configurationSet() {
    return std::make_unique<ConfigurationSet>();
}
