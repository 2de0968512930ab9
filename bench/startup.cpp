// Cold start to the first painted main window, and the peak memory of the process, for the tool
// and for its floor: a bare Qt Widgets window built from the same Designer forms (same controls,
// no logic, no port, no settings file). Each start is a fresh process; tool and floor alternate,
// and the medians are compared.
//   bench_startup [starts of each, default 9]
// Without a display the children run on the offscreen platform.
#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/error_report.h"
#include "measures.h"
#include "platform/pause.h"
#include "serial/AfSafeSync.h"
#include "ui_alarm1.h"
#include "ui_Unit4.h"
#include "ui_Unit5.h"
#include "ui_Unit6.h"
#include "widgets/user_dialogs.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

namespace {

const char kStartEnv[] = "ALARMGSM_BENCH_START_NS";

long long monotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

long peakResidentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

// On the window's first paint: time since the parent started this process, and peak memory.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& window) { window.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            const double ms = double(monotonicNs() - qEnvironmentVariable(kStartEnv).toLongLong()) / 1e6;
            std::printf("%.1f %ld\n", ms, peakResidentKb());
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_done = false;
};

int runTool(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    QTemporaryDir settings; // no setting.ini: no port is opened
    QtUserDialogs dialogs;
    ErrorReport errors(dialogs);
    application.setErrorReport(&errors);
    platform::SleepingPause pause;
    TAfSafeSync delivery;
    TForm1 window({settings.path().toStdString(), dialogs, errors, pause, delivery});
    dialogs.setParent(&window);
    FirstPaint watch(window);
    window.show();
    return AlarmApplication::exec();
}

int runFloor(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    Ui::TForm1 main;
    main.setupUi(&window);
    QWidget configuration, numbers, sms;
    Ui::TForm5 configurationUi;
    Ui::TForm6 numbersUi;
    Ui::TForm4 smsUi;
    configurationUi.setupUi(&configuration);
    numbersUi.setupUi(&numbers);
    smsUi.setupUi(&sms);
    const std::pair<QWidget*, QWidget*> tabs[] = {
        {&configuration, main.TabSheet1}, {&numbers, main.TabSheet2}, {&sms, main.TabSheet3}};
    for (const auto& [page, tab] : tabs) {
        auto* fill = new QVBoxLayout(tab);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(page);
    }
    FirstPaint watch(window);
    window.show();
    return QApplication::exec();
}

struct Start {
    double ms;
    double peakKb;
};

bool startChild(const QString& mode, Start& result) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains("DISPLAY") && !environment.contains("WAYLAND_DISPLAY"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert(kStartEnv, QString::number(monotonicNs()));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {"--child", mode});
    if (!child.waitForFinished(30000) || child.exitCode() != 0)
        return false;
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 2)
        return false;
    result = {words[0].toDouble(), words[1].toDouble()};
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && std::string(argv[1]) == "--child")
        return std::string(argv[2]) == "tool" ? runTool(argc, argv) : runFloor(argc, argv);

    QCoreApplication application(argc, argv);
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::vector<double> toolMs, floorMs, toolKb, floorKb, ratioMs, ratioKb;
    for (int i = 0; i < starts; ++i) {
        Start tool{}, floor{};
        // Alternating, so that a busy moment of the machine hits both alike.
        if (!startChild("floor", floor) || !startChild("tool", tool)) {
            std::fprintf(stderr, "bench_startup: a child did not report its first paint\n");
            return 1;
        }
        toolMs.push_back(tool.ms);
        floorMs.push_back(floor.ms);
        toolKb.push_back(tool.peakKb);
        floorKb.push_back(floor.peakKb);
        ratioMs.push_back(tool.ms / floor.ms);
        ratioKb.push_back(tool.peakKb / floor.peakKb);
    }
    std::printf("starts of each: %d (medians)\n", starts);
    std::printf("first paint:  tool %.1f ms, floor %.1f ms, ratio %.2f\n", median(toolMs), median(floorMs),
                median(ratioMs));
    std::printf("peak memory:  tool %.0f kB, floor %.0f kB, ratio %.2f\n", median(toolKb), median(floorKb),
                median(ratioKb));
    return 0;
}
