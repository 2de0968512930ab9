#pragma once
// Faults, end to end: the whole main window against the virtual phone or a bare pseudo-terminal,
// with a pause that can pull the cable at a chosen wait, measures of CPU, memory and event-loop
// liveness, and the pages' idle state.
#include "app/alarm1.h"
#include "app/error_report.h"
#include "app/live_pause.h"
#include "config/Unit5.h"
#include "numbers/Unit6.h"
#include "serial/AfSafeSync.h"
#include "sms/Unit4.h"
#include "support/liveness.h"
#include "support/process_cpu.h"
#include "support/scripted_dialogs.h"
#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"
#include "widgets/VrStrEdit.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <poll.h>
#include <pty.h>
#include <QPushButton>
#include <QtTest>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

// The application's live pause, which runs a hook at its n-th wait: the gap before the n-th
// command after the first of a sequence.
class HookedPause final : public platform::Pause {
public:
    void armAt(int occurrence, std::function<void()> hook) {
        m_left = occurrence;
        m_hook = std::move(hook);
    }
    bool fired() const { return m_fired; }

    void wait(int milliseconds) override {
        if (m_hook && --m_left == 0) {
            m_fired = true;
            std::exchange(m_hook, nullptr)();
        }
        m_live.wait(milliseconds);
    }
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) override {
        return m_live.waitUntil(done, timeoutMs);
    }
    void dropHeldInput() override { m_live.dropHeldInput(); }

private:
    int m_left = 0;
    bool m_fired = false;
    std::function<void()> m_hook;
    LivePause m_live;
};

struct Tool {
    explicit Tool(const QString& settingsDirectory)
        : errors(dialogs), window(std::make_unique<TForm1>(MainWindowEnvironment{
                               settingsDirectory.toStdString(), dialogs, errors, pause, delivery})) {}

    // A port handler as the menu runs it: its error goes to the report.
    bool choosePort(int portNumber) {
        try {
            window->choosePort(portNumber);
            return true;
        } catch (const std::exception& error) {
            errors.report(error);
            return false;
        }
    }

    ScriptedDialogs dialogs;
    ErrorReport errors;
    HookedPause pause;
    TAfSafeSync delivery;
    std::unique_ptr<TForm1> window;
};

// One page's buttons and busy indication, found by their designer names.
class PageProbe {
public:
    PageProbe(QWidget& page, QStringList buttons, QStringList timers, QString blankLabel)
        : m_page(page), m_buttons(std::move(buttons)), m_timers(std::move(timers)),
          m_blank(std::move(blankLabel)) {}

    static PageProbe configuration(TForm1& w) {
        return {w.configurationPage(),
                {"BitBtn1", "Button1", "BitBtn3", "BitBtn4", "BitBtn2"},
                {"Timer1", "Timer2"},
                ""};
    }
    static PageProbe numbers(TForm1& w) {
        return {w.numbersPage(), {"BitBtn1", "BitBtn2", "BitBtn3", "Button1", "Button2"}, {"Timer2"}, ""};
    }
    static PageProbe sms(TForm1& w) {
        return {w.smsPage(), {"Button1", "Button2", "Button3", "Button4", "Button5"}, {"Timer1"}, " "};
    }

    QWidget& form() const { return m_page; }
    QPushButton& button(const QString& name) const { return child<QPushButton>(name); }
    void click(const QString& name) const { QTest::mouseClick(&button(name), Qt::LeftButton); }
    // Through the event dispatch, where the application reports what escapes a handler.
    void clickQueued(const QString& name) const {
        QMetaObject::invokeMethod(&button(name), &QPushButton::click, Qt::QueuedConnection);
    }

    bool idle() const {
        for (const QString& name : m_buttons)
            if (!button(name).isEnabled())
                return false;
        for (const QString& name : m_timers)
            if (timer(name).isActive())
                return false;
        return child<VrLabel>("VrLabel1").text() == m_blank && child<TGauge>("Gauge1").isHidden();
    }

private:
    const QTimer& timer(const QString& name) const {
        // The SMS page keeps its timer as a plain member.
        if (auto* sms = qobject_cast<TForm4*>(&m_page))
            return sms->Timer1;
        return child<QTimer>(name);
    }
    template <typename T> T& child(const QString& name) const {
        T* found = m_page.findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return *found;
    }

    QWidget& m_page;
    QStringList m_buttons;
    QStringList m_timers;
    QString m_blank;
};

// The eight edits of a numbers or SMS page, in the order of their designer names.
inline QStringList fieldsOf(QWidget& page) {
    QStringList texts;
    for (int n = 1; n <= 8; ++n)
        texts << page.findChild<VrStrEdit*>(QStringLiteral("VrStrEdit%1").arg(n))->text();
    return texts;
}
inline void setFields(QWidget& page, const QStringList& texts) {
    for (int n = 1; n <= 8; ++n)
        page.findChild<VrStrEdit*>(QStringLiteral("VrStrEdit%1").arg(n))->setText(texts.at(n - 1));
}

// A SIM holding someone's numbers, configuration and a message.
inline const QByteArray kSimWithData =
    "entry 1 \"+420603123456\" 145 \"Domov\"\n"
    "entry 2 \"+420777000111\" 145 \"Prace\"\n"
    "entry 5 \"+000001101011\" 145 \"Setup\"\n"
    "entry 6 \"+000000001235\" 145 \"Casy\"\n"
    "message 1 2 079124603050020011000C9124603021436500000407D0379C1D1EA301\n";

// The four rows of the SMS page with a Czech letter the alarm's alphabet has, and characters of
// its extension table.
inline const QStringList kAlarmMessages = {"+420603123456", QString::fromUtf8("Poplach č. 1"),
                                           "+420777000111", "OK2",
                                           "+420603123456", "[]€",
                                           "+420603123456", "OK4"};

// The phones the tool meets, each with the option of the virtual phone that makes it.
inline QList<std::pair<const char*, QStringList>> phonesAsTheyCome() {
    return {
        {"good phone", {}},
        {"echo off", {"--no-echo"}},
        {"answers 400 ms late", {"--delay", "400"}},
        {"answers in two pieces 400 ms apart", {"--split", "400"}},
        {"answers byte by byte at 19200 baud", {"--paced"}},
        {"unsolicited code every 0.7 s", {"--urc", "+CREG: 1", "--urc-every", "700"}},
        {"empty positions as errors", {"--empty-error"}},
        {"unsolicited codes inside answers", {"--urc", "+CREG: 1", "--urc-inside"}},
        {"left in UCS2", {"--charset", "UCS2"}},
        {"offering only GSM", {"--charsets", "GSM"}},
        {"offering only IRA", {"--charsets", "IRA"}},
        {"verbose errors, empty positions as errors", {"--cmee", "2", "--empty-error"}},
        {"SIM asking for its PIN", {"--pin", "1234", "--pin-busy", "1500"}},
        // Loses what comes while it works on a command.
        {"strict phone, SIM answering 1.2 s late", {"--strict", "--sim-delay", "1200"}},
    };
}

// The page of an exchange named "configuration …", "phone-number …" or "SMS …".
inline PageProbe pageOf(TForm1& window, const QString& exchange) {
    return exchange.startsWith("configuration")  ? PageProbe::configuration(window)
           : exchange.startsWith("phone-number") ? PageProbe::numbers(window)
                                                 : PageProbe::sms(window);
}

// What the process spent and how lively its event loop was while it idled for a while.
struct IdleMeasure {
    double cpuMs = 0;
    int timerTicks = 0; // of a 20 ms timer
    int expectedTicks = 0;
};

inline IdleMeasure idleFor(int milliseconds) {
    IdleMeasure measure;
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, [&] { ++measure.timerTicks; });
    const double before = processCpuMs();
    tick.start();
    QTest::qWait(milliseconds);
    measure.cpuMs = processCpuMs() - before;
    measure.expectedTicks = milliseconds / 20;
    return measure;
}

inline long residentKb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

// The phone's end of a bare pseudo-terminal, linked as COMn: for faults the virtual phone cannot
// make (raw floods, a device that vanishes). A thread answers "AT" and "AT+CPBR=n" like a phone
// with an empty SIM, optionally with junk after every answer.
class BarePhone {
public:
    BarePhone(const QString& settingsDirectory, int portNumber) {
        char name[256] = {};
        QVERIFY(::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0);
        ::fcntl(m_master, F_SETFL, O_NONBLOCK); // a stopped flood must never hang in write
        m_link = QDir(settingsDirectory).filePath(QStringLiteral("dosdevices/com%1").arg(portNumber));
        QDir(settingsDirectory).mkpath("dosdevices");
        QVERIFY(QFile::link(QString::fromLatin1(name), m_link));
    }
    ~BarePhone() {
        stopAnswering();
        vanish();
    }

    // Writes bytes from a thread of its own (the tool must keep reading for them to go).
    void flood(std::string bytes) {
        join();
        m_stop = false;
        m_flooding = true;
        m_worker = std::thread([this, bytes = std::move(bytes)] {
            std::size_t done = 0;
            while (done < bytes.size() && !m_stop) {
                pollfd fd{m_master, POLLOUT, 0};
                if (::poll(&fd, 1, 50) <= 0)
                    continue;
                const ssize_t n =
                    ::write(m_master, bytes.data() + done, std::min<std::size_t>(4096, bytes.size() - done));
                if (n > 0)
                    done += std::size_t(n);
                else if (n < 0 && errno != EINTR && errno != EAGAIN)
                    break;
            }
            m_flooding = false;
        });
    }
    bool flooding() const { return m_flooding; }
    // Bytes on the line the tool has not read yet (the slave end kept here shares its queue).
    int unreadByTool() const {
        int waiting = 0;
        return ::ioctl(m_slave, FIONREAD, &waiting) == 0 ? waiting : -1;
    }
    void join() {
        m_stop = true;
        if (m_worker.joinable())
            m_worker.join();
    }

    void answer(std::string junkAfterEachReply = {}) {
        join();
        m_stop = false;
        m_worker = std::thread([this, junk = std::move(junkAfterEachReply)] {
            std::string pending;
            while (!m_stop) {
                pollfd fd{m_master, POLLIN, 0};
                if (::poll(&fd, 1, 50) <= 0)
                    continue;
                char buffer[256];
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                pending.append(buffer, std::size_t(n));
                for (std::size_t cr; (cr = pending.find('\r')) != std::string::npos;) {
                    const std::string command = pending.substr(0, cr + 1);
                    pending.erase(0, cr + 1);
                    const std::string reply = command + "\r\nOK\r\n" + junk;
                    (void)!::write(m_master, reply.data(), reply.size());
                }
            }
        });
    }
    void stopAnswering() { join(); }

    // The cable and its adapter gone: the terminal closes under the tool and its link disappears.
    void vanish() {
        stopAnswering();
        if (m_master >= 0)
            ::close(std::exchange(m_master, -1));
        if (m_slave >= 0)
            ::close(std::exchange(m_slave, -1));
        QFile::remove(m_link);
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_link;
    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_flooding{false};
};

// Fault tally: each test row is one fault tried; a row that passes survived it.
struct FaultTally {
    int tried = 0;
    int survived = 0;
    int userDataLost = 0;
};
