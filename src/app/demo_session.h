#pragma once
// The demo: the virtual phone on a pseudo-terminal, linked as COM1 in a throw-away settings
// directory whose setting.ini opens COM1 at start, so the user's own settings and port links stay
// untouched. The phone's SIM (sim.txt) and byte log (phone.log) lie in that directory while the
// tool runs; the phone is stopped and the directory removed when the session ends.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <string>

class DemoSession {
public:
    // Throws std::runtime_error, with a text for the user, when the phone does not start.
    explicit DemoSession(const QString& phoneProgram);
    ~DemoSession();
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    std::string settingsDirectory() const { return m_directory.path().toStdString(); }

private:
    void startPhone(const QString& phoneProgram);
    void writeSettings() const;
    void stopPhone();

    QTemporaryDir m_directory; // declared first, so it is removed after the phone has stopped
    QProcess m_phone;
};

// The virtual phone installed or built beside the tool's executable.
QString phoneBesideTool();
