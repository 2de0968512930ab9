// Every phone exchange of the three pages against the virtual phone at 19200 baud, quick and with a
// slow SIM, timed from the click to the page's gauge going away, divided by its nominal time: what
// the phone itself took to answer each command (from its byte log), plus the 100 ms gap V.250 asks
// of a terminal before each command that follows a final result code. Reads must show the SIM,
// writes must land, and neither may end with a box. Beside it, the longest time the GUI thread
// left a posted event unserved. Then the same writes by gammu on a phone of their own, each from
// connecting to done, as our time over gammu's. Last, the CPU of the idle tool with the port open,
// and with the About window open.
//   bench_exchanges [rounds per exchange, default 3] [directory to keep the phone logs in]
#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/error_report.h"
#include "app/live_pause.h"
#include "app/Unit2.h"
#include "config/Unit5.h"
#include "measures.h"
#include "numbers/Unit6.h"
#include "phone_log.h"
#include "serial/AfSafeSync.h"
#include "sms/Unit4.h"
#include "support/liveness.h"
#include "support/scripted_dialogs.h"
#include "virtual_phone.h"
#include "widgets/TGauge.h"
#include "widgets/VrStrEdit.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>

namespace {

// V.250: after a final result code a terminal gives the phone this long before the next command.
constexpr double kGapMs = 100;
constexpr double kNominalGoal = 1.05;
constexpr double kPeerGoal = 0.5;
constexpr int kExchangeLimitMs = 60000;
constexpr int kPeerLimitMs = 180000;

const char kSim[] = "entry 1 \"+420603123456\" 145 \"Domov\"\n"
                    "entry 2 \"+420777000111\" 145 \"Prace\"\n"
                    "entry 3 \"+421905000111\" 145 \"Treti\"\n"
                    "entry 4 \"+420602000444\" 145 \"Ctvrte\"\n"
                    "entry 5 \"+000001101011\" 145 \"Setup\"\n"
                    "entry 6 \"+000000001235\" 145 \"Casy\"\n"
                    // Positions 1-4 hold messages, so that a store deletes real ones first.
                    "message 1 2 079124603050020011000C9124603021436500000003CFA50C\n"
                    "message 2 2 079124603050020011000C9124603021436500000003CFE50C\n"
                    "message 3 2 079124603050020011000C9124603021436500000003CF250D\n"
                    "message 4 2 079124603050020011000C9124603021436500000007D0379C1D1EA301\n";
const QStringList kSimNumbers = {"+420603123456", "Domov", "+420777000111", "Prace",
                                 "+421905000111", "Treti", "+420602000444", "Ctvrte"};
const QStringList kSmsRows = {"+420603123456", "OK2", "+420603123456", "OK3",
                              "+420603123456", "OK4", "+420603123456", "Poplach"};

struct PhoneKind {
    const char* name;
    QStringList options;
};

// Notes when a widget is hidden, by the clock the click started, and ends the wait for it.
class HideWatch : public QObject {
public:
    HideWatch(QWidget& widget, const QElapsedTimer& clock, QEventLoop& loop) : m_clock(clock), m_loop(loop) {
        widget.installEventFilter(this);
    }
    qint64 hiddenAtMs = -1;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            hiddenAtMs = m_clock.elapsed();
            m_loop.quit();
        }
        return false;
    }

private:
    const QElapsedTimer& m_clock;
    QEventLoop& m_loop;
};

// Whether an exchange did its work, from the SIM before and after it (and the page).
using Check = std::function<bool(const QString& simBefore, const QString& simAfter)>;

// The whole tool on COM1, with the virtual phone behind it.
class ToolBench {
public:
    ToolBench(const QString& phoneProgram, const QStringList& phoneOptions)
        : m_phone(phoneProgram, m_dir.path(), phoneOptions, kSim) {
        m_errors = std::make_unique<ErrorReport>(m_dialogs);
        m_window = std::make_unique<TForm1>(
            MainWindowEnvironment{m_dir.path().toStdString(), m_dialogs, *m_errors, m_pause, m_delivery});
        m_window->choosePort(1);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("the main window was not exposed");
    }
    TForm1& window() { return *m_window; }
    const VirtualPhone& phone() const { return m_phone; }

    struct Run {
        double measuredMs;
        double nominalMs;
        bool taken;
        double longestUnservedMs;
    };

    // Clicks the button and waits for the page's gauge to go.
    Run run(QWidget& page, const char* button, const Check& check) {
        m_dialogs.shown.clear();
        const QString simBefore = m_phone.simState();
        const qint64 logStart = QFileInfo(m_phone.logPath()).size();
        // The page in front, as the user sees it: a hidden tab's gauge gets no hide event.
        m_window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(page.parentWidget());
        QElapsedTimer clock;
        QEventLoop loop;
        HideWatch gauge(*page.findChild<TGauge*>("Gauge1"), clock, loop);
        PostedEventLatency latency;
        latency.start();
        clock.start();
        QTest::mouseClick(page.findChild<QPushButton*>(button), Qt::LeftButton);
        if (gauge.hiddenAtMs < 0) {
            QTimer::singleShot(kExchangeLimitMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
        const double longestUnserved = latency.stop();
        // The phone's last words reach its log, and the next exchange starts on a quiet line.
        QTest::qWait(500);
        const PhoneTime phone = phoneTime(fileBytes(m_phone.logPath(), logStart));
        const bool taken = check(simBefore, m_phone.simState()) && m_dialogs.shown.empty() &&
                           phone.answered == phone.commands;
        return {double(gauge.hiddenAtMs), phone.answeringMs + phone.gaps * kGapMs, taken, longestUnserved};
    }

private:
    QTemporaryDir m_dir;
    VirtualPhone m_phone;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<ErrorReport> m_errors;
    LivePause m_pause;
    TAfSafeSync m_delivery;
    std::unique_ptr<TForm1> m_window;
};

VrStrEdit& field(QWidget& page, int number) {
    return *page.findChild<VrStrEdit*>(QStringLiteral("VrStrEdit%1").arg(number));
}
// The eight fields of a page's rows: number and name, or number and text, four times.
QStringList fieldsOf(QWidget& page) {
    QStringList texts;
    for (int n = 1; n <= 8; ++n)
        texts << field(page, n).text();
    return texts;
}
void setFields(QWidget& page, const QStringList& texts) {
    for (int n = 1; n <= 8; ++n)
        field(page, n).setText(texts.value(n - 1));
}
// Every name or text marked with the round, so that each write changes what the SIM holds.
QStringList tagged(QStringList pairs, int round) {
    for (qsizetype at = 1; at < pairs.size(); at += 2)
        pairs[at] += QStringLiteral(" %1").arg(round);
    return pairs;
}

// Numbers and names, from firstPosition on.
bool holdsEntries(const QString& sim, int firstPosition, const QStringList& pairs) {
    for (qsizetype at = 0; at + 1 < pairs.size(); at += 2)
        if (!sim.contains(QStringLiteral("entry %1 \"%2\" 145 \"%3\"")
                              .arg(firstPosition + at / 2)
                              .arg(pairs[at], pairs[at + 1])))
            return false;
    return true;
}
QStringList phonebookWrite(int firstPosition, const QStringList& pairs) {
    QStringList arguments{"phonebook"};
    for (qsizetype at = 0; at + 1 < pairs.size(); at += 2)
        arguments << QString::number(firstPosition + at / 2) << pairs[at] << pairs[at + 1];
    return arguments;
}

QStringList messageLines(const QString& sim) {
    return sim.split('\n').filter(QRegularExpression("^message "));
}
// Four new messages, stored unsent in positions 1 to 4.
bool storedAnew(const QString& before, const QString& after) {
    const QStringList stored = messageLines(after);
    for (qsizetype at = 0; at < stored.size(); ++at)
        if (!stored[at].startsWith(QStringLiteral("message %1 2 ").arg(at + 1)))
            return false;
    return stored.size() == 4 && stored != messageLines(before);
}

struct Exchange {
    const char* name;
    QWidget& page;
    const char* button;
    std::function<void(int round)> prepare; // what the user does before the click
    Check check;
    // For a write: the arguments of gammu_writes.py, the same data the tool wrote.
    std::function<QStringList()> peerWrite;
};

std::vector<Exchange> exchangesOf(TForm1& window) {
    TForm5& configuration = window.configurationPage();
    TForm6& numbers = window.numbersPage();
    TForm4& sms = window.smsPage();
    // Positions 5 and 6 under the names the page gives them.
    const auto configurationEntries = [&configuration] {
        return QStringList{QString::fromStdString(configuration.staticText1()), "Setup",
                           QString::fromStdString(configuration.staticText2()), "Casy"};
    };
    const auto smsShown = std::make_shared<QStringList>();
    return {
        {"configuration read",
         configuration,
         "Button1",
         [&configuration](int) { configuration.findChild<QPushButton*>("BitBtn1")->click(); },
         [&configuration](const QString&, const QString&) {
             return configuration.staticText1() == "+000001101011" &&
                    configuration.staticText2() == "+000000001235";
         },
         {}},
        {"configuration write", configuration, "BitBtn3",
         // One option turned over, so that the code differs from the stored one.
         [&configuration](int) {
             auto* on = configuration.findChild<QRadioButton*>("RadioButton1");
             (on->isChecked() ? configuration.findChild<QRadioButton*>("RadioButton2") : on)->click();
         },
         [configurationEntries](const QString&, const QString& after) {
             return holdsEntries(after, 5, configurationEntries());
         },
         [configurationEntries] { return phonebookWrite(5, configurationEntries()); }},
        {"phone-number read",
         numbers,
         "Button1",
         [&numbers](int) { setFields(numbers, {}); },
         [&numbers](const QString&, const QString&) { return fieldsOf(numbers) == kSimNumbers; },
         {}},
        {"phone-number write", numbers, "Button2",
         [&numbers](int round) { setFields(numbers, tagged(kSimNumbers, round)); },
         [&numbers](const QString&, const QString& after) {
             return holdsEntries(after, 1, fieldsOf(numbers));
         },
         [&numbers] { return phonebookWrite(1, fieldsOf(numbers)); }},
        {"SMS store", sms, "Button3", [&sms](int round) { setFields(sms, tagged(kSmsRows, round)); },
         storedAnew,
         [&sms] {
             return QStringList{"sms", sms.findChild<VrStrEdit*>("VrStrEdit19")->text()} + fieldsOf(sms);
         }},
        {"SMS read",
         sms,
         "Button1",
         [&sms, smsShown](int) {
             *smsShown = fieldsOf(sms);
             setFields(sms, {});
         },
         [&sms, smsShown](const QString&, const QString&) { return fieldsOf(sms) == *smsShown; },
         {}},
        {"SMS delete-all",
         sms,
         "Button4",
         [](int) {},
         [](const QString&, const QString& after) { return messageLines(after).isEmpty(); },
         {}},
    };
}

struct Summary {
    double measuredMs = 0;
    double nominalMs = 0;
    double ratio = 0;
    int taken = 0;
    double longestUnservedMs = 0;
};

Summary measure(ToolBench& bench, const Exchange& exchange, int rounds) {
    std::vector<double> measured, nominal, ratios;
    Summary summary;
    for (int round = 1; round <= rounds; ++round) {
        exchange.prepare(round);
        const ToolBench::Run run = bench.run(exchange.page, exchange.button, exchange.check);
        measured.push_back(run.measuredMs);
        nominal.push_back(run.nominalMs);
        ratios.push_back(run.nominalMs > 0 ? run.measuredMs / run.nominalMs : 0);
        summary.taken += run.taken ? 1 : 0;
        summary.longestUnservedMs = std::max(summary.longestUnservedMs, run.longestUnservedMs);
    }
    summary.measuredMs = median(measured);
    summary.nominalMs = median(nominal);
    summary.ratio = median(ratios);
    return summary;
}

// gammu's time for a write on a phone of its own, started as the tool's was; landed when the SIM
// holds what the tool wrote.
struct PeerRun {
    double ms = 0;
    bool landed = false;
};

PeerRun peerRun(const QString& phoneProgram, const QStringList& phoneOptions, const Exchange& write) {
    QTemporaryDir dir;
    const VirtualPhone phone(phoneProgram, dir.path(), phoneOptions, kSim);
    QProcess script;
    script.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's python3-gammu, so Debian's own interpreter.
    script.start("/usr/bin/python3", QStringList{GAMMU_WRITES_SCRIPT, phone.device()} + write.peerWrite());
    const bool finished = script.waitForFinished(kPeerLimitMs) && script.exitCode() == 0;
    bool isNumber = false;
    const double ms = QString::fromLatin1(script.readAllStandardOutput()).trimmed().toDouble(&isNumber);
    return {ms, finished && isNumber && write.check(QString::fromLatin1(kSim), phone.simState())};
}

struct PeerSummary {
    const char* name;
    double oursMs;
    double gammuMs;
    int landed;
};

// Right after the tool's rounds, while the page still holds what the tool wrote.
PeerSummary measurePeer(const QString& phoneProgram, const PhoneKind& kind, const Exchange& write, int rounds,
                        double oursMs) {
    std::vector<double> times;
    int landed = 0;
    for (int round = 0; round < rounds; ++round) {
        const PeerRun run = peerRun(phoneProgram, kind.options, write);
        times.push_back(run.ms);
        landed += run.landed ? 1 : 0;
    }
    return {write.name, oursMs, median(times), landed};
}

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

bool printPeers(const std::vector<PeerSummary>& peers, int rounds) {
    std::printf("%-20s %12s %12s %7s %8s\n", "the same write", "ours ms", "gammu ms", "ratio", "landed");
    bool met = true;
    for (const PeerSummary& peer : peers) {
        const double ratio = peer.oursMs / peer.gammuMs;
        met = met && ratio <= kPeerGoal && peer.landed == rounds;
        std::printf("%-20s %12.0f %12.0f %7.3f %6d/%d\n", peer.name, peer.oursMs, peer.gammuMs, ratio,
                    peer.landed, rounds);
    }
    std::printf("goal met (every ratio <= %.2f, every gammu write landed): %s\n", kPeerGoal, yesNo(met));
    return met;
}

// Our exchanges on one kind of phone, each write also by gammu; true when both goals are met.
bool benchPhone(const QString& phoneProgram, const PhoneKind& kind, int rounds, const QString& logDirectory) {
    ToolBench bench(phoneProgram, kind.options);
    std::printf("\n%s (%s)\n%-20s %12s %12s %7s %8s %s\n", kind.name, qPrintable(kind.options.join(' ')),
                "exchange", "measured ms", "nominal ms", "ratio", "replies", "longest unserved ms");
    bool met = true;
    std::vector<PeerSummary> peers;
    for (const Exchange& exchange : exchangesOf(bench.window())) {
        const Summary summary = measure(bench, exchange, rounds);
        met = met && summary.ratio <= kNominalGoal && summary.taken == rounds;
        std::printf("%-20s %12.0f %12.0f %7.3f %6d/%d %.0f\n", exchange.name, summary.measuredMs,
                    summary.nominalMs, summary.ratio, summary.taken, rounds, summary.longestUnservedMs);
        std::fflush(stdout);
        if (exchange.peerWrite)
            peers.push_back(measurePeer(phoneProgram, kind, exchange, rounds, summary.measuredMs));
    }
    std::printf("goal met (every ratio <= %.2f, every reply taken): %s\n", kNominalGoal, yesNo(met));
    if (!logDirectory.isEmpty())
        QFile::copy(bench.phone().logPath(),
                    QDir(logDirectory).filePath(QString(kind.name).replace(' ', '-') + ".log"));
    return printPeers(peers, rounds) && met;
}

double idleCpuPercent(int milliseconds) {
    const double before = processCpuMs();
    QTest::qWait(milliseconds);
    return 100.0 * (processCpuMs() - before) / milliseconds;
}

void benchIdle(const QString& phoneProgram, const PhoneKind& kind) {
    ToolBench bench(phoneProgram, kind.options);
    QTest::qWait(1000);
    std::printf("\nidle CPU, port open: %.2f %%\n", idleCpuPercent(5000));
    TForm2& about = bench.window().aboutWindow();
    about.show();
    if (!QTest::qWaitForWindowExposed(&about))
        qWarning("the About window was not exposed");
    std::printf("idle CPU, port open, About window open: %.2f %%\n", idleCpuPercent(5000));
    about.close();
}

} // namespace

int main(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const QString logDirectory = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QString phone = qEnvironmentVariable("ALARMGSM_PHONE");
    if (phone.isEmpty())
        phone = QStringLiteral(ALARMGSM_PHONE_PATH);
    const PhoneKind quick{"quick phone", {"--paced"}};
    const PhoneKind slowSim{"slow SIM", {"--paced", "--sim-delay", "1200"}};
    bool met = true;
    for (const PhoneKind& kind : {quick, slowSim})
        met = benchPhone(phone, kind, rounds, logDirectory) && met;
    benchIdle(phone, quick);
    std::printf("goal met on both phones: %s\n", yesNo(met));
    return 0;
}
