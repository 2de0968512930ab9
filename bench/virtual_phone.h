#pragma once
// The benchmarks' virtual phone: a process of its own on a pseudo-terminal, its SIM and byte log in
// a directory.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

inline QByteArray fileBytes(const QString& path, qint64 from = 0) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(from))
        return {};
    return file.readAll();
}

// The virtual phone on a pseudo-terminal linked as COM1 in directory, starting from the SIM given
// and logging every byte.
class VirtualPhone {
public:
    VirtualPhone(const QString& program, const QString& directory, const QStringList& options,
                 const char* sim)
        : m_dir(directory) {
        QFile state(statePath());
        if (state.open(QIODevice::WriteOnly))
            state.write(sim);
        state.close();
        m_process.setProgram(program);
        m_process.setArguments(QStringList{"--link", m_dir.filePath("dosdevices/com1"), "--state",
                                           statePath(), "--log", logPath()} +
                               options);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(5000))
            qFatal("the virtual phone did not start: %s", qPrintable(program));
        m_device = QString::fromLatin1(m_process.readLine()).trimmed();
    }
    ~VirtualPhone() {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }

    QString device() const { return m_device; }
    QString logPath() const { return m_dir.filePath("phone.log"); }
    QString simState() const { return QString::fromLatin1(fileBytes(statePath())); }

private:
    QString statePath() const { return m_dir.filePath("sim.txt"); }

    QDir m_dir;
    QProcess m_process;
    QString m_device;
};
