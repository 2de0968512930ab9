// Every phone exchange of the three pages against the virtual phone (paced at 19200 baud), timed
// from the click to the page's gauge going away, divided by its nominal time: the timer ticks that
// ran, the fixed pauses the page took, and one reply settle (250 ms: the data-received handler takes
// a reply that long after its first bytes) for each answer the exchange waits for (a selection,
// the last write's answer). Reads must also get every reply the phone gave in time, and writes
// must end without a box. Beside it, the longest time the GUI thread left a posted event
// unserved during the exchange. Then the CPU of the idle tool with the port open, and with the
// About window open.
//   bench_exchanges [rounds per exchange, default 3]
#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/error_report.h"
#include "app/Unit2.h"
#include "config/Unit5.h"
#include "numbers/Unit6.h"
#include "serial/AfSafeSync.h"
#include "sms/Unit4.h"
#include "support/liveness.h"
#include "support/recording_pause.h"
#include "support/scripted_dialogs.h"
#include "widgets/TGauge.h"
#include "widgets/VrStrEdit.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <thread>
#include <vector>

namespace {

constexpr int kReplySettleMs = 250;

double processCpuMs() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

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

const char kSim[] = "entry 1 \"+420603123456\" 145 \"Domov\"\n"
                    "entry 2 \"+420777000111\" 145 \"Prace\"\n"
                    "entry 3 \"+421905000111\" 145 \"Treti\"\n"
                    "entry 4 \"+420602000444\" 145 \"Ctvrte\"\n"
                    "entry 5 \"+000001101011\" 145 \"Setup\"\n"
                    "entry 6 \"+000000001235\" 145 \"Casy\"\n";

class Bench {
public:
    explicit Bench(const QString& phoneProgram) {
        QDir(m_dir.path()).mkpath("dosdevices");
        QFile state(m_dir.filePath("sim.txt"));
        if (state.open(QIODevice::WriteOnly))
            state.write(kSim);
        state.close();
        m_phone.setProgram(phoneProgram);
        m_phone.setArguments(
            {"--link", m_dir.filePath("dosdevices/com1"), "--state", m_dir.filePath("sim.txt"), "--paced"});
        m_phone.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_phone.start();
        if (!m_phone.waitForStarted(5000) || !m_phone.waitForReadyRead(5000))
            qFatal("the virtual phone did not start: %s", qPrintable(phoneProgram));
        m_errors = std::make_unique<ErrorReport>(m_dialogs);
        m_window = std::make_unique<TForm1>(
            MainWindowEnvironment{m_dir.path().toStdString(), m_dialogs, *m_errors, m_pause, m_delivery});
        m_window->choosePort(1);
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("the main window was not exposed");
    }
    ~Bench() {
        m_window.reset();
        m_phone.terminate();
        m_phone.waitForFinished(5000);
    }

    TForm1& window() { return *m_window; }
    QString simState() const {
        QFile state(m_dir.filePath("sim.txt"));
        return state.open(QIODevice::ReadOnly) ? QString::fromLatin1(state.readAll()) : QString();
    }

    struct Run {
        double measuredMs;
        double nominalMs;
        bool repliesTaken;
        double longestUnservedMs;
    };

    // Clicks the button and waits for the page's gauge to go. answersAwaited: the store selections,
    // plus the last write's answer where no pause follows the last command.
    Run run(QWidget& page, const char* button, const std::vector<QTimer*>& timers, int answersAwaited,
            const std::function<bool()>& repliesTaken) {
        m_dialogs.shown.clear();
        m_pause.waits.clear();
        int tickMs = 0;
        std::vector<QMetaObject::Connection> connections;
        for (QTimer* timer : timers)
            connections.push_back(
                QObject::connect(timer, &QTimer::timeout, [&tickMs, timer] { tickMs += timer->interval(); }));
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
            QTimer::singleShot(30000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        for (const auto& connection : connections)
            QObject::disconnect(connection);
        const double measured = double(gauge.hiddenAtMs);
        const double longestUnserved = latency.stop();
        // Let the answers to writes come in before the next exchange's probe.
        QTest::qWait(1500);
        return {measured,
                double(tickMs + std::accumulate(m_pause.waits.begin(), m_pause.waits.end(), 0) +
                       answersAwaited * kReplySettleMs),
                repliesTaken() && m_dialogs.shown.empty(), longestUnserved};
    }

private:
    QTemporaryDir m_dir;
    QProcess m_phone;
    ScriptedDialogs m_dialogs;
    std::unique_ptr<ErrorReport> m_errors;
    RecordingPause m_pause;
    TAfSafeSync m_delivery;
    std::unique_ptr<TForm1> m_window;
};

QStringList fieldsOf(QWidget& page) {
    QStringList texts;
    for (int n = 1; n <= 8; ++n)
        texts << page.findChild<VrStrEdit*>(QStringLiteral("VrStrEdit%1").arg(n))->text();
    return texts;
}
void clearFields(QWidget& page) {
    for (int n = 1; n <= 8; ++n)
        page.findChild<VrStrEdit*>(QStringLiteral("VrStrEdit%1").arg(n))->clear();
}

double idleCpuPercent(int milliseconds) {
    const double before = processCpuMs();
    QTest::qWait(milliseconds);
    return 100.0 * (processCpuMs() - before) / milliseconds;
}

} // namespace

int main(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QString phone = qEnvironmentVariable("ALARMGSM_PHONE");
    if (phone.isEmpty())
        phone = QStringLiteral(ALARMGSM_PHONE_PATH);
    Bench bench(phone);
    TForm1& window = bench.window();
    TForm5& configuration = window.configurationPage();
    TForm6& numbers = window.numbersPage();
    TForm4& sms = window.smsPage();
    auto* config1 = configuration.findChild<QTimer*>("Timer1");
    auto* config2 = configuration.findChild<QTimer*>("Timer2");
    auto* numbers2 = numbers.findChild<QTimer*>("Timer2");

    const QStringList simNumbers = {"+420603123456", "Domov", "+420777000111", "Prace",
                                    "+421905000111", "Treti", "+420602000444", "Ctvrte"};
    struct Exchange {
        const char* name;
        std::function<Bench::Run()> run;
    };
    const std::vector<Exchange> exchanges = {
        {"configuration read",
         [&] {
             configuration.findChild<QPushButton*>("BitBtn1")->click();
             return bench.run(configuration, "Button1", {config1, config2}, 1, [&] {
                 return configuration.staticText1() == "+000001101011" &&
                        configuration.staticText2() == "+000000001235";
             });
         }},
        {"configuration write",
         [&] {
             return bench.run(configuration, "BitBtn3", {config1, config2}, 2,
                              [&] { return bench.simState().contains("entry 6 \"+000000001235\""); });
         }},
        {"phone-number read",
         [&] {
             clearFields(numbers);
             return bench.run(numbers, "Button1", {numbers2}, 1,
                              [&] { return fieldsOf(numbers) == simNumbers; });
         }},
        {"phone-number write",
         [&] {
             return bench.run(numbers, "Button2", {numbers2}, 2, [&] {
                 return bench.simState().contains("entry 4 \"+420602000444\" 145 \"Ctvrte\"");
             });
         }},
        {"SMS store",
         [&] {
             return bench.run(sms, "Button3", {&sms.Timer1}, 2,
                              [&] { return bench.simState().contains("message 4 "); });
         }},
        {"SMS read",
         [&] {
             const QStringList stored = fieldsOf(sms);
             clearFields(sms);
             return bench.run(sms, "Button1", {&sms.Timer1}, 2, [&] { return fieldsOf(sms) == stored; });
         }},
        {"SMS delete-all",
         [&] {
             return bench.run(sms, "Button4", {&sms.Timer1}, 2,
                              [&] { return !bench.simState().contains("\nmessage "); });
         }},
    };

    std::printf("%-20s %12s %12s %7s %8s %s\n", "exchange", "measured ms", "nominal ms", "ratio", "replies",
                "longest unserved ms");
    bool allWithin = true;
    for (const Exchange& exchange : exchanges) {
        std::vector<double> ratios;
        std::vector<double> measured;
        double nominal = 0;
        int taken = 0;
        double longestUnserved = 0;
        for (int round = 0; round < rounds; ++round) {
            const Bench::Run run = exchange.run();
            measured.push_back(run.measuredMs);
            nominal = run.nominalMs;
            ratios.push_back(run.nominalMs > 0 ? run.measuredMs / run.nominalMs : 0);
            taken += run.repliesTaken ? 1 : 0;
            longestUnserved = std::max(longestUnserved, run.longestUnservedMs);
        }
        const double ratio = median(ratios);
        allWithin = allWithin && ratio <= 1.05 && taken == rounds;
        std::printf("%-20s %12.0f %12.0f %7.3f %6d/%d %.0f\n", exchange.name, median(measured), nominal,
                    ratio, taken, rounds, longestUnserved);
        std::fflush(stdout);
    }

    QTest::qWait(1000);
    std::printf("idle CPU, port open: %.2f %%\n", idleCpuPercent(5000));
    TForm2& about = window.aboutWindow();
    about.show();
    if (!QTest::qWaitForWindowExposed(&about))
        qWarning("the About window was not exposed");
    std::printf("idle CPU, port open, About window open: %.2f %%\n", idleCpuPercent(5000));
    about.close();
    std::printf("every ratio within 1.05 and every reply taken: %s\n", allWithin ? "yes" : "no");
    return 0;
}
