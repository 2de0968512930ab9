// Time from the phone side writing a reply on a pty to the data-received handler running on the
// GUI thread, for the tool's port component and for QSerialPort, side by side; then the CPU an
// open port costs while idle and while received bytes stay unread.
//   bench_serial_latency [rounds per peer, default 1000]
#include "measures.h"
#include "pty_pair.h"
#include "serial/AfComPort.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>
#include <QCoreApplication>
#include <QSerialPort>
#include <QTimer>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The phone: writes one reply, then waits until the GUI side has taken it before the next.
class Phone {
public:
    explicit Phone(PtyPair& pty) : m_pty(pty) {}

    // Runs `rounds` exchanges; the GUI side calls taken() from its handler.
    void start(int rounds) {
        m_thread = std::thread([this, rounds] {
            std::mt19937 random(42);
            std::uniform_int_distribution<int> gapUs(2000, 6000);
            for (int i = 0; i < rounds; ++i) {
                std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
                {
                    std::lock_guard lock(m_lock);
                    m_sentAt = Clock::now();
                    m_waiting = true;
                }
                m_pty.send("\r\nOK\r\n");
                std::unique_lock lock(m_lock);
                m_changed.wait(lock, [this] { return !m_waiting; });
            }
        });
    }
    void join() { m_thread.join(); }

    // On the GUI thread, first thing in the handler.
    void taken(std::vector<double>& latenciesUs) {
        const Clock::time_point now = Clock::now();
        std::lock_guard lock(m_lock);
        if (!m_waiting)
            return;
        latenciesUs.push_back(std::chrono::duration<double, std::micro>(now - m_sentAt).count());
        m_waiting = false;
        m_changed.notify_all();
    }

private:
    PtyPair& m_pty;
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_changed;
    Clock::time_point m_sentAt;
    bool m_waiting = false;
};

void runEventLoopFor(int milliseconds) {
    QTimer::singleShot(milliseconds, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

// Runs the loop until the phone thread has finished its rounds.
void runUntilDone(Phone& phone, int rounds) {
    std::atomic<bool> done{false};
    phone.start(rounds);
    std::thread watcher([&] {
        phone.join();
        done = true;
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    });
    while (!done)
        QCoreApplication::exec();
    watcher.join();
}

struct Peer {
    const char* name;
    std::vector<double> latenciesUs;
    double idleCpuPercent = 0;
    double unreadCpuPercent = 0;
    int unreadDeliveries = 0;
};

// The tool's component, set up as the main window sets it up.
void latencyOurs(Peer& peer, int rounds) {
    PtyPair pty;
    TAfSafeSync delivery;
    TAfComPort port("AfComPort1", delivery, [&](int) { return pty.path(); });
    port.setBaudRate(br19200);
    port.setEventThreadPriority(tpTimeCritical);
    port.setInBufSize(8192);
    Phone phone(pty);
    port.OnDataRecived = [&](TAfComPort& sender, std::int32_t) {
        phone.taken(peer.latenciesUs);
        sender.ReadAllText();
    };
    port.setComNumber(1);
    port.Open();
    runUntilDone(phone, rounds);
    port.Close();
}

void latencyQt(Peer& peer, int rounds) {
    PtyPair pty;
    QSerialPort port(QString::fromStdString(pty.path()));
    port.setBaudRate(19200);
    Phone phone(pty);
    QObject::connect(&port, &QSerialPort::readyRead, [&] {
        phone.taken(peer.latenciesUs);
        port.readAll();
    });
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "QSerialPort: %s\n", qPrintable(port.errorString()));
        return;
    }
    runUntilDone(phone, rounds);
    port.close();
}

constexpr int kCpuWindowMs = 3000;

void cpuOurs(Peer& peer) {
    PtyPair pty;
    TAfSafeSync delivery;
    TAfComPort port("AfComPort1", delivery, [&](int) { return pty.path(); });
    port.setBaudRate(br19200);
    int deliveries = 0;
    port.OnDataRecived = [&](TAfComPort&, std::int32_t) { ++deliveries; }; // leaves the bytes unread
    port.setComNumber(1);
    port.Open();
    runEventLoopFor(300);
    double before = processCpuMs();
    runEventLoopFor(kCpuWindowMs);
    peer.idleCpuPercent = (processCpuMs() - before) * 100.0 / kCpuWindowMs;
    pty.send("RING\r\n");
    runEventLoopFor(300);
    deliveries = 0;
    before = processCpuMs();
    runEventLoopFor(kCpuWindowMs);
    peer.unreadCpuPercent = (processCpuMs() - before) * 100.0 / kCpuWindowMs;
    peer.unreadDeliveries = deliveries;
    port.Close();
}

void cpuQt(Peer& peer) {
    PtyPair pty;
    QSerialPort port(QString::fromStdString(pty.path()));
    port.setBaudRate(19200);
    int deliveries = 0;
    QObject::connect(&port, &QSerialPort::readyRead, [&] { ++deliveries; }); // leaves the bytes unread
    if (!port.open(QIODevice::ReadWrite))
        return;
    runEventLoopFor(300);
    double before = processCpuMs();
    runEventLoopFor(kCpuWindowMs);
    peer.idleCpuPercent = (processCpuMs() - before) * 100.0 / kCpuWindowMs;
    pty.send("RING\r\n");
    runEventLoopFor(300);
    deliveries = 0;
    before = processCpuMs();
    runEventLoopFor(kCpuWindowMs);
    peer.unreadCpuPercent = (processCpuMs() - before) * 100.0 / kCpuWindowMs;
    peer.unreadDeliveries = deliveries;
    port.close();
}

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(20, std::atoi(argv[1])) : 1000;

    Peer ours{"AfComPort", {}}, qt{"QSerialPort", {}};
    // Alternating blocks, so that a change in the machine's load hits both peers alike.
    const int blocks = 20;
    for (int block = 0; block < blocks; ++block) {
        latencyOurs(ours, rounds / blocks);
        latencyQt(qt, rounds / blocks);
    }
    cpuOurs(ours);
    cpuQt(qt);

    std::printf("reply latency, phone write -> handler on the GUI thread (%d rounds each, microseconds)\n",
                rounds);
    std::printf("%-12s %8s %8s %8s %6s\n", "peer", "median", "p90", "max", "n");
    for (const Peer* peer : {&ours, &qt})
        std::printf("%-12s %8.1f %8.1f %8.1f %6zu\n", peer->name, percentile(peer->latenciesUs, 0.5),
                    percentile(peer->latenciesUs, 0.9), percentile(peer->latenciesUs, 1.0),
                    peer->latenciesUs.size());
    const double qtMedian = percentile(qt.latenciesUs, 0.5);
    if (qtMedian > 0)
        std::printf("median ratio AfComPort / QSerialPort: %.2f\n",
                    percentile(ours.latenciesUs, 0.5) / qtMedian);
    std::printf("\nCPU of the whole process with the port open (%% of one core over %d ms)\n", kCpuWindowMs);
    std::printf("%-12s %8s %14s %22s\n", "peer", "idle", "bytes unread", "handler runs (unread)");
    for (const Peer* peer : {&ours, &qt})
        std::printf("%-12s %8.3f %14.3f %22d\n", peer->name, peer->idleCpuPercent, peer->unreadCpuPercent,
                    peer->unreadDeliveries);
    return 0;
}
