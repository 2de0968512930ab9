#pragma once
// The virtual card (ALARMGSM_CARD) in vpcd's reader "Virtual PCD 00 00" of the machine's pcscd,
// which the CTest fixture "pcscd" provides: started with options and a temporary state file and
// log, and ready once pcscd reports the card present; stopped, or pulled out by --pull-after, once
// pcscd has seen the reader empty, since pcscd takes a card that goes and another that comes
// within one poll for the same card.
#include "support/reader_wait.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <signal.h>
#include <sys/prctl.h>

class VirtualCard {
public:
    static constexpr const char* reader = kVirtualReader;

    // Extra options of the card, such as "--pin", "1234"; `preload` is its state file's content.
    explicit VirtualCard(const QStringList& options = {}, const QByteArray& preload = {}) {
        if (!preload.isNull()) {
            QFile file(statePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(preload);
        }
        start(options);
    }
    ~VirtualCard() { stop(); }

    QString statePath() const { return m_dir.filePath("card.txt"); }
    QString logPath() const { return m_dir.filePath("card.log"); }
    QByteArray state() const { return contents(statePath()); }
    QByteArray log() const { return contents(logPath()); }

    void start(const QStringList& options) {
        const QString program = qEnvironmentVariable("ALARMGSM_CARD");
        QVERIFY2(!program.isEmpty(), "ALARMGSM_CARD names the virtual card");
        m_process.setProgram(program);
        m_process.setArguments(QStringList{"--state", statePath(), "--log", logPath()} + options);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A test that dies must not leave its card in the reader.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_process.start();
        QVERIFY(m_process.waitForStarted(5000));
        while (!m_process.canReadLine())
            QVERIFY2(m_process.waitForReadyRead(10000), "the virtual card reached vpcd");
        QVERIFY2(waitForVirtualReader(SCARD_STATE_PRESENT), "pcscd saw the virtual card");
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        ended();
    }

    // A card with --pull-after leaves by itself once its APDU has come; an event loop that ran since
    // may have seen it end already.
    void pulled() {
        QVERIFY2(m_process.state() == QProcess::NotRunning || m_process.waitForFinished(5000),
                 "the virtual card left the reader");
        ended();
    }

private:
    void ended() {
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
        // A sanitizer's report at the card's end shows only in how it ended.
        QVERIFY2(m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0,
                 "the virtual card ended cleanly");
        QVERIFY2(waitForVirtualReader(SCARD_STATE_EMPTY), "pcscd saw the reader empty");
    }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }


    QTemporaryDir m_dir;
    QProcess m_process;
};
