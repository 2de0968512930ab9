#pragma once
// End-to-end fixture: the virtual phone on a pseudo-terminal, linked as COM1 in a temporary
// settings directory, and the whole main window with COM1 open on it, or the tool's command line.
// Dialogs are scripted and the blocking pause is recorded (and really waited, so the phone's replies
// keep their timing).
#include "app/alarm1.h"
#include "app/error_report.h"
#include "serial/AfSafeSync.h"
#include "support/recording_pause.h"
#include "support/scripted_dialogs.h"

#include <functional>
#include <memory>
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <utility>
#ifndef Q_OS_WIN
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>
#endif

// What the phone leaves in its folder: its SIM (sim.txt) and its byte log (phone.log).
class PhoneRecords {
public:
    virtual ~PhoneRecords() = default;
    QString statePath() const { return QDir(directory()).filePath("sim.txt"); }
    QString logPath() const { return QDir(directory()).filePath("phone.log"); }
    QByteArray log() const {
        QFile file(logPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QByteArray state() const {
        QFile file(statePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // One command line (up to its CR) or PDU (up to its Ctrl-Z) as the phone took it in, with the
    // time of its last byte in ms since the phone started.
    struct Received {
        double ms;
        QByteArray text;
    };
    // From the log, whose lines read "<ms> in|out <bytes escaped>".
    QList<Received> received() const {
        QList<Received> commands;
        QByteArray pending;
        for (const QByteArray& line : log().split('\n')) {
            const int first = line.indexOf(' ');
            if (first < 0 || line.mid(first + 1, 3) != "in ")
                continue;
            const double ms = line.left(first).toDouble();
            for (const char c : unescaped(line.mid(first + 4))) {
                pending += c;
                if (c == '\r' || c == 26)
                    commands.append({ms, std::exchange(pending, {})});
            }
        }
        return commands;
    }
    // When the phone had the whole of the first such command; -1 when never.
    double receivedAt(const QByteArray& command) const {
        for (const Received& each : received())
            if (each.text == command)
                return each.ms;
        return -1;
    }

protected:
    virtual QString directory() const = 0;

private:
    static QByteArray unescaped(const QByteArray& data) {
        QByteArray bytes;
        for (int i = 0; i < data.size(); ++i) {
            char c = data[i];
            if (c == '\\' && i + 1 < data.size()) {
                const char next = data[++i];
                if (next == 'r')
                    c = '\r';
                else if (next == 'n')
                    c = '\n';
                else if (next == 'x' && i + 2 < data.size()) {
                    c = char(data.mid(i + 1, 2).toInt(nullptr, 16));
                    i += 2;
                } else
                    c = next;
            }
            bytes += c;
        }
        return bytes;
    }
};

#ifdef Q_OS_WIN
// Under Wine the virtual phone, a Linux program, runs outside the test: run_with_virtual_phone.sh
// starts it on a pseudo-terminal mapped as COM1 and names its folder in ALARMGSM_PHONE_DIR and its
// options in ALARMGSM_PHONE_OPTIONS. A test that restarts, reloads or stops the phone runs on Linux
// only.
class LivePhone : public PhoneRecords {
public:
    explicit LivePhone(const QStringList& options = {}) {
        QVERIFY2(!directory().isEmpty(), "ALARMGSM_PHONE_DIR names the virtual phone's folder");
        QCOMPARE(options.join(' '), qEnvironmentVariable("ALARMGSM_PHONE_OPTIONS"));
    }

    QString settingsDirectory() const { return m_settings.path(); }
    void preloadState(const QByteArray&) { QFAIL("under Wine the phone's SIM is loaded only as it starts"); }
    void restart(const QStringList&) { QFAIL("under Wine the phone keeps the options it started with"); }

private:
    QString directory() const override { return qEnvironmentVariable("ALARMGSM_PHONE_DIR"); }

    QTemporaryDir m_settings;
};
#else
class LivePhone : public PhoneRecords {
public:
    // Extra options of the virtual phone, such as "--off", "--no-echo", "--empty-error".
    explicit LivePhone(const QStringList& options = {}) { start(options); }
    ~LivePhone() { stop(); }

    QString settingsDirectory() const { return m_dir.path(); }
    void preloadState(const QByteArray& content) {
        stop();
        QFile file(statePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        start(m_options);
    }

    // The same SIM, with other fault options (the port link is made again).
    void restart(const QStringList& options) {
        stop();
        start(options);
    }

    // The phone hangs but keeps its line: it neither answers nor lets the port go.
    void freeze() { ::kill(pid_t(m_process.processId()), SIGSTOP); }
    void thaw() { ::kill(pid_t(m_process.processId()), SIGCONT); }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
        // A sanitizer's report at the phone's end shows only in how it ended.
        QVERIFY2(m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0,
                 "the virtual phone ended cleanly");
    }

private:
    QString directory() const override { return m_dir.path(); }

    void start(const QStringList& options) {
        m_options = options;
        const QString program = qEnvironmentVariable("ALARMGSM_PHONE");
        QVERIFY2(!program.isEmpty(), "ALARMGSM_PHONE names the virtual phone");
        QDir(m_dir.path()).mkpath("dosdevices");
        m_process.setProgram(program);
        m_process.setArguments(QStringList{"--link", m_dir.filePath("dosdevices/com1"), "--state",
                                           statePath(), "--log", logPath()} +
                               options);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A test that dies must not leave its phone behind.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start();
        QVERIFY(m_process.waitForStarted(5000));
        while (!m_process.canReadLine())
            QVERIFY2(m_process.waitForReadyRead(5000), "the virtual phone prints its device");
        m_device = QString::fromUtf8(m_process.readLine()).trimmed();
        QTRY_VERIFY(QFileInfo::exists(m_dir.filePath("dosdevices/com1")));
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    QStringList m_options;
    QString m_device;
};

// The tool's command line as a script runs it: its own process, no display, the phone's settings
// directory, and what it printed and how it ended. meanwhile runs while it runs.
struct CommandLineRun {
    int exitCode = -1;
    QString out;
    QString err;
};

inline CommandLineRun runCommandLine(const QString& settingsDirectory, QStringList arguments,
                                     const QByteArray& input = {},
                                     const std::function<void(QProcess&)>& meanwhile = {},
                                     const QProcessEnvironment& extra = {}) {
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(display));
    environment.insert(extra);
    tool.setProcessEnvironment(environment);
    // Detached from the test's terminal, as under cron or CI; a test that dies takes it along.
    tool.setChildProcessModifier([] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    arguments << "--settings-dir" << settingsDirectory;
    tool.start(qEnvironmentVariable("ALARMGSM_APP"), arguments);
    CommandLineRun run;
    if (!tool.waitForStarted(5000))
        return run;
    tool.write(input);
    tool.closeWriteChannel();
    if (meanwhile)
        meanwhile(tool);
    if (!tool.waitForFinished(120000))
        tool.kill();
    tool.waitForFinished(5000);
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = QString::fromUtf8(tool.readAllStandardOutput());
    run.err = QString::fromUtf8(tool.readAllStandardError());
    return run;
}

inline CommandLineRun runCommandLine(const LivePhone& phone, QStringList arguments, const QByteArray& input = {},
                                     const std::function<void(QProcess&)>& meanwhile = {}) {
    return runCommandLine(phone.settingsDirectory(), std::move(arguments), input, meanwhile);
}
#endif

class LiveWindow {
public:
    explicit LiveWindow(LivePhone& phone, bool openCom1 = true)
        : errors(dialogs), window(std::make_unique<TForm1>(MainWindowEnvironment{
                               phone.settingsDirectory().toStdString(), dialogs, errors, pause, delivery})) {
        if (openCom1)
            window->choosePort(1);
    }

    // The backups' folder and its files, newest first.
    QDir backupFolder() const { return QDir(window->backups().path()); }
    QStringList backupPaths() const {
        QStringList paths;
        for (const BackupFile& backup : window->backups().list())
            paths << backup.path;
        return paths;
    }
    // The entries of the menu "Zálohy" as it opens, the fixed ones included.
    QList<QAction*> backupMenu() const {
        auto* menu = window->findChild<QMenu*>("Zalohy1");
        emit menu->aboutToShow();
        return menu->actions();
    }

    // The reply to a command typed into the phone by hand, as a test sees it in ReplyBuffer.
    void waitForReply(const std::string& containing, int timeoutMs = 3000) {
        QTRY_VERIFY_WITH_TIMEOUT(window->shared().ReplyBuffer.find(containing) != std::string::npos,
                                 timeoutMs);
    }

    ScriptedDialogs dialogs;
    ErrorReport errors;
    RecordingPause pause;
    TAfSafeSync delivery;
    std::unique_ptr<TForm1> window;
};
