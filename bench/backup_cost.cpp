// What the backup before a page's write costs: each set's write with the backup the pages make
// first (writeBackedUp: the read of the positions it replaces and the saving, in the same exchange)
// beside the same write without it, round by round on one virtual phone at 19200 baud, quick and
// with a slow SIM. Every write puts other content on the SIM, so every backup is saved. Printed:
// the medians from the start of the exchange to its end, and with over without.
//   bench_backup [rounds per set and way, default 5]
#include "backup/backed_up_write.h"
#include "backup/backup_folder.h"
#include "cli/alarm_set.h"
#include "cli/phone_session.h"
#include "measures.h"
#include "sim/prompts.h"
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

// The ways to a SIM the backup is measured on. A virtual card reader joins here as a way of its own
// once it exists.
struct Way {
    const char* name;
    QStringList phoneOptions;
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

double timed(PhoneSession& session, const AlarmSet& set, const ExchangeRunner::Steps& steps, bool& done) {
    QElapsedTimer clock;
    clock.start();
    done = session.exchange(set, steps) == TransferOutcome::Done;
    return double(clock.elapsed());
}

Figures measure(PhoneSession& session, CountingPrompts& prompts, BackupFolder& folder, const AlarmSet& set,
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

void benchWay(const QString& phoneProgram, const Way& way, int rounds) {
    QTemporaryDir dir;
    const VirtualPhone phone(phoneProgram, dir.path(), way.phoneOptions, kSim);
    CountingPrompts prompts;
    PhoneSession session(dir.path().toStdString(), kSmsc, prompts);
    session.open({1, {}});
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
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QString phone = qEnvironmentVariable("ALARMGSM_PHONE");
    if (phone.isEmpty())
        phone = QStringLiteral(ALARMGSM_PHONE_PATH);
    for (const Way& way :
         {Way{"quick phone", {"--paced"}}, Way{"slow SIM", {"--paced", "--sim-delay", "1200"}}})
        benchWay(phone, way, rounds);
    return 0;
}
