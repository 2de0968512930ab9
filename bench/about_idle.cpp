// The CPU the tool spends at rest with its About window open, where the running credit line is the
// only thing that moves. Four states of the same process, alternating in each round so that a busy
// moment of the machine hits all alike: the About window closed (the floor); closed, with a bare
// timer waking the process 60 times a second (what any animation at that rate costs this machine
// before it paints anything); open as the tool runs it; and open with its line repainted at a fixed
// 5 ms step (the peer: 200 paints a second, more than any screen shows). Each is the process's CPU
// time over a span of the wall clock.
//   bench_about_idle [rounds, default 3] [seconds a state, default 5]
// Without a display it runs on the offscreen platform.
#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/error_report.h"
#include "app/Unit2.h"
#include "measures.h"
#include "platform/pause.h"
#include "serial/AfSafeSync.h"
#include "widgets/user_dialogs.h"
#include "widgets/VrScrollText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <vector>

namespace {

constexpr double kGoalPercent = 2.0;
constexpr int kPeerStepMs = 5;
constexpr int kFrameMs = 18; // the line's frame timer at 60 Hz

// Percent of one core over the span, in the tool's own event loop: QTest::qWait would add its own
// wake-ups every 10 ms.
double cpuPercentOver(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    const double before = processCpuMs();
    loop.exec();
    return 100.0 * (processCpuMs() - before) / milliseconds;
}

struct Round {
    double closed;
    double bareFrames;
    double open;
    double peer;
};

class AboutBench {
public:
    AboutBench()
        : m_errors(m_dialogs),
          m_window({m_settings.path().toStdString(), m_dialogs, m_errors, m_pause, m_delivery}),
          m_line(*m_window.aboutWindow().findChild<VrScrollText*>("VrScrollText1")) {
        m_dialogs.setParent(&m_window);
        m_window.show();
        if (!QTest::qWaitForWindowExposed(&m_window))
            qWarning("the main window was not exposed");
        m_peerStep.setTimerType(Qt::PreciseTimer);
        m_peerStep.setInterval(kPeerStepMs);
        QObject::connect(&m_peerStep, &QTimer::timeout, &m_line, qOverload<>(&QWidget::update));
        m_bareFrame.setTimerType(Qt::CoarseTimer);
        m_bareFrame.setInterval(kFrameMs);
        QObject::connect(&m_bareFrame, &QTimer::timeout, [] {});
    }

    Round measure(int milliseconds) {
        Round round{};
        round.closed = cpuPercentOver(milliseconds);
        m_bareFrame.start();
        round.bareFrames = cpuPercentOver(milliseconds);
        m_bareFrame.stop();
        showAbout();
        round.open = cpuPercentOver(milliseconds);
        m_peerStep.start();
        round.peer = cpuPercentOver(milliseconds);
        m_peerStep.stop();
        m_window.aboutWindow().close();
        return round;
    }

private:
    void showAbout() {
        TForm2& about = m_window.aboutWindow();
        about.showCentred();
        if (!QTest::qWaitForWindowExposed(&about))
            qWarning("the About window was not exposed");
        // Its first paints are not the state at rest.
        QTest::qWait(200);
    }

    QTemporaryDir m_settings; // no setting.ini: no port is opened
    QtUserDialogs m_dialogs;
    ErrorReport m_errors;
    platform::SleepingPause m_pause;
    TAfSafeSync m_delivery;
    TForm1 m_window;
    VrScrollText& m_line;
    QTimer m_peerStep;
    QTimer m_bareFrame;
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AlarmApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    AboutBench bench;
    QTest::qWait(1000); // start-up work done
    std::vector<double> closed, bareFrames, open, peer, ratio;
    for (int i = 0; i < rounds; ++i) {
        const Round round = bench.measure(seconds * 1000);
        closed.push_back(round.closed);
        bareFrames.push_back(round.bareFrames);
        open.push_back(round.open);
        peer.push_back(round.peer);
        ratio.push_back(round.open / round.peer);
    }
    std::printf("rounds: %d of %d s a state (medians), screen refresh %.0f Hz\n", rounds, seconds,
                QGuiApplication::primaryScreen()->refreshRate());
    std::printf("%-40s %6.2f %% of a core\n", "CPU, About closed:", median(closed));
    std::printf("%-40s %6.2f %% of a core\n", "CPU, About closed, a bare 60 Hz timer:", median(bareFrames));
    std::printf("%-40s %6.2f %% of a core\n", "CPU, About open:", median(open));
    std::printf("CPU, About open, painted every %d ms:     %6.2f %% of a core\n", kPeerStepMs, median(peer));
    std::printf("open over painted every %d ms: %.3f\n", kPeerStepMs, median(ratio));
    std::printf("goal met (About open under %.0f %% of a core): %s\n", kGoalPercent,
                median(open) < kGoalPercent ? "yes" : "no");
    return 0;
}
