// What the backup before a page's write costs: each set's write with the backup the pages make
// first (writeBackedUp: the read of the positions it replaces and the saving, in the same exchange)
// beside the same write without it, round by round on one virtual phone at 19200 baud, quick and
// with a slow SIM, and on the virtual card in vpcd's reader, quick and slow (pcscd must run). Every
// write puts other content on the SIM, so every backup is saved. Printed: the medians from the
// start of the exchange to its end, and with over without.
//   bench_backup [rounds per set and way, default 5]
#include "backup/backed_up_write.h"
#include "backup/backup_folder.h"
#include "cli/alarm_set.h"
#include "cli/sim_line.h"
#include "measures.h"
#include "sim/prompts.h"
#include "virtual_card.h"
#include "virtual_phone.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <vector>

namespace {

const char kSim[] = "entry 1 \"+420603123456\" 145 \"Domov\"\n"
                    "entry 2 \"+420777000111\" 145 \"Prace\"\n"
                    "entry 5 \"+000001101011\" 145 \"Setup\"\n"
                    "entry 6 \"+000000001235\" 145 \"Casy\"\n"
                    "message 1 2 079124603050020011000C9124603021436500000003CFA50C\n";
const std::string kSmsc = "+420603052000";

// The ways to a SIM the backup is measured on: the virtual phone, or the virtual card, with their
// options.
struct Way {
    const char* name;
    bool card;
    QStringList options;
};

// Any box the exchange tells is a failed round.
class CountingPrompts final : public sim::Prompts {
public:
    int told = 0;
    void warn(const std::string& text) override { tell(text); }
    void error(const std::string& text) override { tell(text); }
    std::optional<std::string> askPin(const sim::PinQuestion&) override { return std::nullopt; }

private:
    void tell(const std::string& text) {
        ++told;
        std::fprintf(stderr, "box: %s\n", text.c_str());
    }
};

// The n-th write's content: other names, codes or texts each time.
SetLines contentOf(const AlarmSet& set, int n) {
    const std::string tag = std::to_string(n);
    if (set.extension() == "par") {
        char code[16];
        std::snprintf(code, sizeof code, "+%012d", n);
        return {"+000001101011", code};
    }
    if (set.extension() == "num")
        return {"+420603123456", "Domov " + tag, "+420777000111", "Prace " + tag, "", "", "", ""};
    return {"+420603123456", "OK2 " + tag, "+420603123456", "OK3 " + tag,
            "+420603123456", "OK4 " + tag, "+420603123456", "Poplach " + tag};
}

struct Figures {
    std::vector<double> withMs, withoutMs;
    int failed = 0;
};

double timed(SimLine& session, const AlarmSet& set, const ExchangeRunner::Steps& steps, bool& done) {
    QElapsedTimer clock;
    clock.start();
    done = session.exchange(set, steps) == TransferOutcome::Done;
    return double(clock.elapsed());
}

Figures measure(SimLine& session, CountingPrompts& prompts, BackupFolder& folder, const AlarmSet& set,
                int rounds, int& written) {
    Figures figures;
    const TransferProgress gauge = [](int) {};
    for (int round = 0; round < rounds; ++round) {
        for (const bool backedUp : {false, true}) {
            const SetLines lines = contentOf(set, ++written);
            const int toldBefore = prompts.told;
            bool done = false;
            const double ms = timed(
                session, set,
                [&](sim::Session& sim) {
                    const SetWrite write = [&](const TransferProgress& progress) {
                        return set.write(sim, lines, progress);
                    };
                    return backedUp ? writeBackedUp(set, folder, session.context(), sim, gauge, write)
                                    : write(gauge);
                },
                done);
            (backedUp ? figures.withMs : figures.withoutMs).push_back(ms);
            figures.failed += done && prompts.told == toldBefore ? 0 : 1;
        }
    }
    return figures;
}

QString programNamed(const char* variable, const char* built) {
    const QString named = qEnvironmentVariable(variable);
    return named.isEmpty() ? QString::fromLatin1(built) : named;
}

void benchWay(const Way& way, int rounds) {
    QTemporaryDir dir;
    std::unique_ptr<VirtualPhone> phone;
    std::unique_ptr<VirtualCard> card;
    CountingPrompts prompts;
    SimLine session(dir.path().toStdString(), kSmsc, prompts);
    if (way.card) {
        card = std::make_unique<VirtualCard>(programNamed("ALARMGSM_CARD", ALARMGSM_CARD_PATH), dir.path(),
                                             way.options);
        session.useReader(VirtualCard::reader, false);
    } else {
        phone = std::make_unique<VirtualPhone>(programNamed("ALARMGSM_PHONE", ALARMGSM_PHONE_PATH),
                                               dir.path(), way.options, kSim);
        session.openPort({1, {}, {}});
    }
    BackupFolder folder(QDir(dir.path()).filePath("zalohy"));
    std::vector<std::unique_ptr<AlarmSet>> sets;
    sets.push_back(configurationSet());
    sets.push_back(numbersSet());
    sets.push_back(messagesSet(kSmsc));
    std::printf("\n%s (%d rounds each)\n%-18s %14s %14s %8s %7s\n", way.name, rounds, "write", "without ms",
                "with backup ms", "ratio", "failed");
    int written = 0;
    for (const auto& set : sets) {
        const Figures figures = measure(session, prompts, folder, *set, rounds, written);
        const double without = median(figures.withoutMs);
        const double with = median(figures.withMs);
        // Padded by characters, not by the bytes of their UTF-8.
        std::printf("%s %14.0f %14.0f %8.2f %7d\n", qPrintable(set->title().leftJustified(18)), without, with,
                    without > 0 ? with / without : 0, figures.failed);
    }
    std::printf("backups saved: %zu\n", folder.list().size());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // The slow card takes as long for an APDU as slow real SIMs do.
    for (const Way& way :
         {Way{"quick phone", false, {"--paced"}}, Way{"slow SIM", false, {"--paced", "--sim-delay", "1200"}},
          Way{"card", true, {}}, Way{"slow card", true, {"--apdu-delay", "50"}}})
        benchWay(way, rounds);
    return 0;
}
