#pragma once
// The benchmarks' virtual card: a process of its own in vpcd's reader "Virtual PCD 00 00" of the
// machine's pcscd (tests/support/pcscd_fixture.sh start starts one), its records and log in a
// directory, ready once the card answers there.
#include "platform/smart_card.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>

class VirtualCard {
public:
    static constexpr const char* reader = "Virtual PCD 00 00";

    VirtualCard(const QString& program, const QString& directory, const QStringList& options) {
        const QDir dir(directory);
        m_process.setProgram(program);
        m_process.setArguments(
            QStringList{"--state", dir.filePath("card.txt"), "--log", dir.filePath("card.log")} + options);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(10000))
            qFatal("the virtual card did not reach vpcd: is pcscd running? %s", qPrintable(program));
        // pcscd sees a new card at its next poll.
        QElapsedTimer waited;
        waited.start();
        platform::SmartCardError error;
        while (!platform::SmartCardSession::open(reader, error) && waited.elapsed() < 10000)
            QThread::msleep(100);
        if (error.fault != platform::SmartCardFault::None)
            qFatal("pcscd does not see the virtual card: %s",
                   platform::smartCardFaultText(error, reader).c_str());
    }
    ~VirtualCard() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

private:
    QProcess m_process;
};
