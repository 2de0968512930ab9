#pragma once
// The benchmarks' virtual card: a process of its own in vpcd's reader "Virtual PCD 00 00" of the
// machine's pcscd (tests/support/pcscd_fixture.sh start starts one), its records and log in a
// directory, ready once pcscd reports it present. pcscd takes a card that goes and another that
// comes within one poll for the same card, and then answers "no card": a card is gone only once
// pcscd reports the reader empty.
#include "support/reader_wait.h"

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

class VirtualCard {
public:
    static constexpr const char* reader = kVirtualReader;

    VirtualCard(const QString& program, const QString& directory, const QStringList& options) {
        const QDir dir(directory);
        m_process.setProgram(program);
        m_process.setArguments(
            QStringList{"--state", dir.filePath("card.txt"), "--log", dir.filePath("card.log")} + options);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(10000))
            qFatal("the virtual card did not reach vpcd: is pcscd running? %s", qPrintable(program));
        if (!waitForVirtualReader(SCARD_STATE_PRESENT))
            qFatal("pcscd does not see the virtual card");
    }
    ~VirtualCard() {
        m_process.terminate();
        m_process.waitForFinished(5000);
        waitForVirtualReader(SCARD_STATE_EMPTY);
    }

private:
    QProcess m_process;
};
