#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/error_report.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "serial/AfSafeSync.h"
#include "support/recording_pause.h"
#include "support/scripted_dialogs.h"

#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <QAction>
#include <QTemporaryDir>
#include <QtTest>
#include <sstream>
#include <unistd.h>

namespace {

// The phone's side of a pseudo-terminal, linked as COMn in a settings directory.
class PhoneSide {
public:
    PhoneSide(const QString& settingsDirectory, int portNumber) {
        char name[256] = {};
        QVERIFY(::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0);
        ::fcntl(m_master, F_SETFL, O_NONBLOCK);
        QDir(settingsDirectory).mkpath("dosdevices");
        QVERIFY(QFile::link(
            QString::fromLatin1(name),
            QDir(settingsDirectory).filePath(QStringLiteral("dosdevices/com%1").arg(portNumber))));
    }
    ~PhoneSide() {
        ::close(m_master);
        ::close(m_slave);
    }
    void write(const std::string& bytes) {
        QCOMPARE(::write(m_master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    std::string readAvailable() {
        std::string result;
        char buffer[256];
        ssize_t n;
        while ((n = ::read(m_master, buffer, sizeof buffer)) > 0)
            result.append(buffer, std::size_t(n));
        return result;
    }

private:
    int m_master = -1;
    int m_slave = -1;
};

struct Tool {
    explicit Tool(const QString& settingsDirectory)
        : errors(dialogs),
          window(MainWindowEnvironment{settingsDirectory.toStdString(), dialogs, errors, pause, delivery}) {}
    ScriptedDialogs dialogs;
    ErrorReport errors;
    RecordingPause pause{true};
    TAfSafeSync delivery;
    TForm1 window;

    QList<int> checkedPorts() const {
        QList<int> checked;
        for (int n = 1; n <= 6; ++n)
            if (window.portItem(n).isChecked())
                checked << n;
        return checked;
    }
};

void spit(const QString& path, const std::string& content) {
    std::ofstream(path.toStdString(), std::ios::binary) << content;
}

std::string slurp(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void fullStopRule_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reported");
        QTest::newRow("ends in a digit") << "Nemohu otevřít port COM1"
                                         << "Nemohu otevřít port COM1.";
        QTest::newRow("ends in a parenthesis") << "Chybné číslo portu (COM7)"
                                               << "Chybné číslo portu (COM7)";
        QTest::newRow("ends in a full stop") << "Disk full."
                                             << "Disk full.";
        QTest::newRow("ends in a letter with a caron") << "Chyba č"
                                                       << "Chyba č.";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("headline and cause") << "Nemohu otevřít port COM1\nPort používá jiný program."
                                            << "Nemohu otevřít port COM1.\nPort používá jiný program.";
    }
    void fullStopRule() {
        QFETCH(QString, text);
        QFETCH(QString, reported);
        QCOMPARE(QString::fromStdString(withFullStop(text.toStdString())), reported);
    }

    void firstStartHasNoPortAndTheDefaultCentre() {
        QTemporaryDir dir;
        Tool tool(dir.path());
        QVERIFY(tool.checkedPorts().isEmpty());
        QVERIFY(!tool.window.AfComPort1().IsOpen());
        QCOMPARE(tool.window.shared().SmscNumber, std::string("+420603052000"));
        QVERIFY(QFileInfo::exists(dir.filePath("setting.ini")));
        QVERIFY(tool.dialogs.shown.empty());
        QCOMPARE(tool.window.windowTitle(),
                 QString("Pomůcka pro nastavení konfigurace ALARMU GSM II. generace - Korvex"));
    }

    void choosingAPortOpensItAndChecksItsItem() {
        QTemporaryDir dir;
        PhoneSide phone(dir.path(), 2);
        Tool tool(dir.path());
        tool.window.portItem(2).trigger();
        QVERIFY(tool.window.AfComPort1().IsOpen());
        QCOMPARE(tool.checkedPorts(), QList<int>{2});
        // The same item again closes and reopens the port; the mark stays.
        tool.window.portItem(2).trigger();
        QVERIFY(tool.window.AfComPort1().IsOpen());
        QCOMPARE(tool.checkedPorts(), QList<int>{2});
    }

    void aFailedOpenKeepsTheCheckMarks() {
        QTemporaryDir dir;
        PhoneSide phone(dir.path(), 1);
        QDir(dir.path()).mkpath("dosdevices");
        QVERIFY(QFile::link("/dev/pts/no-such-terminal", dir.filePath("dosdevices/com5")));
        Tool tool(dir.path());
        tool.window.choosePort(1);
        QVERIFY_THROWS_EXCEPTION(std::exception, tool.window.choosePort(5));
        QVERIFY(!tool.window.AfComPort1().IsOpen());
        QCOMPARE(tool.window.AfComPort1().ComNumber(), std::uint16_t(5));
        QCOMPARE(tool.checkedPorts(), QList<int>{1});
    }

    void portErrorsReachTheReportWithTheirFullStopRule() {
        QTemporaryDir dir;
        PhoneSide phone(dir.path(), 1);
        QVERIFY(QFile::link("/dev/pts/no-such-terminal", dir.filePath("dosdevices/com5")));
        Tool first(dir.path());
        first.window.choosePort(1);
        // A second copy of the tool on the same port is refused.
        Tool second(dir.path());
        auto* application = static_cast<AlarmApplication*>(QCoreApplication::instance());
        application->setErrorReport(&second.errors);
        // Through the event dispatch, as a menu click arrives.
        QMetaObject::invokeMethod(&second.window.portItem(1), &QAction::trigger, Qt::QueuedConnection);
        QMetaObject::invokeMethod(&second.window.portItem(5), &QAction::trigger, Qt::QueuedConnection);
        QTRY_COMPARE(second.dialogs.shown.size(), std::size_t(2));
        application->setErrorReport(nullptr);
        QCOMPARE(
            second.dialogs.texts(),
            (QStringList{"Nemohu otevřít port COM1.\nPort používá jiný program.",
                         "Chybné číslo portu (COM5)\nZařízení /dev/pts/no-such-terminal není připojeno."}));
        QCOMPARE(second.dialogs.shown.front().title,
                 QString("Pomůcka pro nastavení konfigurace ALARMU GSM - Korvex"));
        QVERIFY(second.checkedPorts().isEmpty());
    }

    void repliesReplaceTheBufferWhole() {
        QTemporaryDir dir;
        PhoneSide phone(dir.path(), 1);
        Tool tool(dir.path());
        tool.window.choosePort(1);
        tool.window.shared().ReplyBuffer = "old";
        phone.write("AT\r\r\nOK\r\n");
        QTRY_COMPARE(tool.window.shared().ReplyBuffer, std::string("AT\r\r\nOK\r\n"));
        // A reply in two pieces further apart than the handler's wait leaves the later one only.
        phone.write("first piece");
        QTRY_COMPARE(tool.window.shared().ReplyBuffer, std::string("first piece"));
        phone.write("second piece");
        QTRY_COMPARE(tool.window.shared().ReplyBuffer, std::string("second piece"));
        QVERIFY(!tool.pause.waits.empty());
        QCOMPARE(tool.pause.waits.front(), 250);
    }

    void sentTextArrivesByteForByte() {
        QTemporaryDir dir;
        PhoneSide phone(dir.path(), 1);
        Tool tool(dir.path());
        tool.window.choosePort(1);
        const std::string text = "AT+CPBW=1,\"+420603123456\",,\"P\xF8\xEDklad\"\r";
        tool.window.AfComPort1().SendText(text);
        std::string received;
        QTRY_VERIFY((received += phone.readAvailable()).size() >= text.size());
        QCOMPARE(received, text);
    }

    void settingsRoundTripThroughARestart() {
        QTemporaryDir dir;
        PhoneSide phone(dir.path(), 3);
        {
            Tool tool(dir.path());
            tool.window.choosePort(3);
            tool.window.shared().SmscNumber = "+420777000111";
            tool.window.close();
        }
        QCOMPARE(slurp(dir.filePath("setting.ini")), std::string("COM3\r\n+420777000111\r\n"));
        Tool again(dir.path());
        QVERIFY(again.window.AfComPort1().IsOpen());
        QCOMPARE(again.checkedPorts(), QList<int>{3});
        QCOMPARE(again.window.shared().SmscNumber, std::string("+420777000111"));
    }

    void aPortThatFailsAtStartKeepsTheCentreNumber() {
        QTemporaryDir dir;
        spit(dir.filePath("setting.ini"), "COM4\r\n+420777000111\r\n");
        QDir(dir.path()).mkpath("dosdevices");
        QVERIFY(QFile::link("/dev/pts/no-such-terminal", dir.filePath("dosdevices/com4")));
        {
            Tool tool(dir.path());
            QCOMPARE(
                tool.dialogs.texts(),
                QStringList{"Chybné číslo portu (COM4)\nZařízení /dev/pts/no-such-terminal není připojeno."});
            QCOMPARE(tool.window.shared().SmscNumber, std::string("+420777000111"));
            tool.window.close();
        }
        QCOMPARE(slurp(dir.filePath("setting.ini")), std::string(" \r\n+420777000111\r\n"));
    }

    void aboutAndHelpAreSingleWindowsThatCloseWithTheMainWindow() {
        QTemporaryDir dir;
        Tool tool(dir.path());
        tool.window.show();
        auto* about = tool.window.findChild<QAction*>("Oaplikaci2");
        auto* help = tool.window.findChild<QAction*>("N8pov2da1");
        about->trigger();
        about->trigger();
        help->trigger();
        QVERIFY(tool.window.aboutWindow().isVisible());
        QVERIFY(tool.window.helpWindow().isVisible());
        QVERIFY(!tool.window.aboutWindow().isModal());
        QCOMPARE(tool.window.findChildren<TForm2*>().size(), 1);
        QVERIFY(tool.window.close());
        QVERIFY(!tool.window.aboutWindow().isVisible());
        QVERIFY(!tool.window.helpWindow().isVisible());
    }

    void aFailedSettingsWriteIsReportedAndTheWindowStillCloses() {
        QTemporaryDir dir;
        Tool tool(dir.path());
        QVERIFY(QFile::remove(dir.filePath("setting.ini")));
        QVERIFY(QDir(dir.path()).mkdir("setting.ini")); // a directory where the file should be
        tool.window.show();
        QVERIFY(tool.window.close());
        QCOMPARE(tool.dialogs.texts(), QStringList{"File access denied."});
    }
};

int main(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_main_window.moc"
