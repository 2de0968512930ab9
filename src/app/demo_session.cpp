#include "app/demo_session.h"

#include "platform/settings_location.h"

#include <QDir>
#include <QFile>
#include <signal.h>
#include <stdexcept>
#include <sys/prctl.h>

namespace {

constexpr int kPhoneStartMs = 10000;
constexpr int kPhoneStopMs = 3000;

std::runtime_error phoneFailure(const QString& phoneProgram) {
    return std::runtime_error("Nemohu spustit virtuální telefon " + phoneProgram.toStdString());
}

} // namespace

DemoSession::DemoSession(const QString& phoneProgram)
    : m_directory(QDir::tempPath() + "/alarmgsm-demo.XXXXXX") {
    if (!m_directory.isValid())
        throw std::runtime_error("Nemohu vytvořit dočasnou složku pro ukázku v " +
                                 QDir::tempPath().toStdString());
    writeSettings();
    startPhone(phoneProgram);
}

DemoSession::~DemoSession() {
    stopPhone();
}

void DemoSession::startPhone(const QString& phoneProgram) {
    m_phone.setProgram(phoneProgram);
    m_phone.setArguments({"--link", m_directory.filePath("dosdevices/com1"), "--state",
                          m_directory.filePath("sim.txt"), "--log", m_directory.filePath("phone.log")});
    m_phone.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A tool that is killed must not leave its phone running.
    m_phone.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_phone.start();
    // The phone prints its device once the link is in place; a phone that ends first has refused.
    while (!m_phone.canReadLine()) {
        if (!m_phone.waitForReadyRead(kPhoneStartMs)) {
            stopPhone();
            throw phoneFailure(phoneProgram);
        }
    }
}

void DemoSession::writeSettings() const {
    QFile settings(m_directory.filePath("setting.ini"));
    if (!settings.open(QIODevice::WriteOnly) || settings.write("COM1\r\n+420603052000\r\n") < 0)
        throw std::runtime_error("Nemohu zapsat " + settings.fileName().toStdString());
}

void DemoSession::stopPhone() {
    if (m_phone.state() == QProcess::NotRunning)
        return;
    // SIGTERM lets the phone remove its link and finish its SIM file.
    m_phone.terminate();
    if (!m_phone.waitForFinished(kPhoneStopMs)) {
        m_phone.kill();
        m_phone.waitForFinished(kPhoneStopMs);
    }
}

QString phoneBesideTool() {
    return QString::fromStdString(platform::executableDirectory()) + "/alarmgsm-phone";
}
