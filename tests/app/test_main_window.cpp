#include "app/alarm1.h"
#include "app/AlarmApplication.h"
#include "app/card_reader_list.h"
#include "app/close_window_on_signal.h"
#include "app/command_line.h"
#include "app/demo_session.h"
#include "app/error_report.h"
#include "app/serial_port_list.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "serial/AfSafeSync.h"
#include "support/recording_pause.h"
#include "support/scripted_dialogs.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <pty.h>
#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>
#include <signal.h>
#include <sstream>
#include <unistd.h>

namespace {

// The phone's side of a pseudo-terminal, linked as COMn in a settings directory (port 0: no link).
class PhoneSide {
public:
    PhoneSide(const QString& settingsDirectory, int portNumber) {
        char name[256] = {};
        QVERIFY(::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0);
        ::fcntl(m_master, F_SETFL, O_NONBLOCK);
        m_path = name;
        if (portNumber == 0)
            return;
        QDir(settingsDirectory).mkpath("dosdevices");
        QVERIFY(QFile::link(
            QString::fromLatin1(name),
            QDir(settingsDirectory).filePath(QStringLiteral("dosdevices/com%1").arg(portNumber))));
    }
    ~PhoneSide() {
        ::close(m_master);
        ::close(m_slave);
    }
    const std::string& path() const { return m_path; }
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
    std::string m_path;
};

// What the desktop was asked to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

struct OfferedPorts final : SerialPortList {
    std::vector<SerialPortEntry> entries;
    std::vector<SerialPortEntry> present() const override { return entries; }
};

struct OfferedReaders final : CardReaderList {
    platform::ReaderList list;
    platform::ReaderList present() const override { return list; }
};

struct Tool {
    explicit Tool(const QString& settingsDirectory, const SerialPortList* ports = nullptr,
                  const CardReaderList* readers = nullptr)
        : errors(dialogs),
          window(MainWindowEnvironment{settingsDirectory.toStdString(), dialogs, errors, pause, delivery,
                                       ports, readers ? readers : &noReaders}) {}
    OfferedReaders noReaders;
    ScriptedDialogs dialogs;
    ErrorReport errors;
    RecordingPause pause;
    TAfSafeSync delivery;
    TForm1 window;

    QList<int> checkedPorts() const {
        QList<int> checked;
        for (int n = 1; n <= 6; ++n)
            if (window.portItem(n).isChecked())
                checked << n;
        return checked;
    }
    QMenu& portMenu() const { return *window.findChild<QMenu*>("Port1"); }
    // The items below COM1..COM6 and their separator, up to the card readers, as the menu lists them
    // when it opens.
    QList<QAction*> deviceItems() const {
        const QList<QAction*> below = itemsBelowPorts();
        const qsizetype readers = readersAt(below);
        return readers > 1 ? below.mid(1, readers - 1) : QList<QAction*>();
    }
    // The card readers' items, after their separator.
    QList<QAction*> readerItems() const {
        const QList<QAction*> below = itemsBelowPorts();
        return below.mid(readersAt(below) + 1);
    }
    QList<QAction*> itemsBelowPorts() const {
        emit portMenu().aboutToShow();
        return portMenu().actions().mid(6);
    }
    static qsizetype readersAt(const QList<QAction*>& below) {
        qsizetype at = below.size() - 1;
        while (at > 0 && !below[at]->isSeparator())
            --at;
        return at;
    }
    static QStringList captions(const QList<QAction*>& items) {
        QStringList texts;
        for (const QAction* item : items)
            texts << item->text();
        return texts;
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

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Outcome>("outcome");
        QTest::addColumn<bool>("demo");
        QTest::addColumn<QString>("settingsDirectory");
        QTest::addColumn<QString>("says"); // a part of the text printed instead of starting
        using O = CommandLine::Outcome;
        QTest::newRow("nothing: the usual settings") << QStringList{} << O::Start << false << ""
                                                     << "";
        QTest::newRow("settings directory")
            << QStringList{"--settings-dir", "/x/s"} << O::Start << false << "/x/s"
            << "";
        QTest::newRow("settings directory after =")
            << QStringList{"--settings-dir=/x/s"} << O::Start << false << "/x/s"
            << "";
        QTest::newRow("demo") << QStringList{"--demo"} << O::Start << true << ""
                              << "";
        QTest::newRow("Qt's own options are left to Qt")
            << QStringList{"-platform", "xcb", "-session", "1a2b", "-reverse", "--demo"} << O::Start << true
            << ""
            << "";
        QTest::newRow("help before anything else") << QStringList{"--demo", "-h"} << O::Answer << false << ""
                                                   << "--settings-dir <DIR>";
        QTest::newRow("help names the command-line actions")
            << QStringList{"--help"} << O::Answer << false << ""
            << "alarmgsm write --help";
        QTest::newRow("version") << QStringList{"--version"} << O::Answer << false << ""
                                 << "alarmgsm ";
        QTest::newRow("unknown option") << QStringList{"--port=COM1"} << O::Refuse << false << ""
                                        << "port";
        QTest::newRow("stray argument") << QStringList{"COM1"} << O::Refuse << false << ""
                                        << "COM1";
        QTest::newRow("settings directory without one")
            << QStringList{"--settings-dir"} << O::Refuse << false << ""
            << "settings-dir";
        QTest::newRow("demo with a settings directory")
            << QStringList{"--demo", "--settings-dir", "/x/s"} << O::Refuse << false << ""
            << "--settings-dir";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Outcome, outcome);
        QFETCH(bool, demo);
        QFETCH(QString, settingsDirectory);
        QFETCH(QString, says);
        const CommandLine parsed = parseCommandLine(QStringList{"alarmgsm"} + arguments);
        QCOMPARE(parsed.outcome, outcome);
        QCOMPARE(parsed.demo, demo);
        QCOMPARE(parsed.settingsDirectory, settingsDirectory);
        QVERIFY2(parsed.text.contains(says), qPrintable(parsed.text));
        QCOMPARE(parsed.text.isEmpty(), outcome == CommandLine::Outcome::Start);
    }

    void theDemoOpensCom1OnTheVirtualPhoneAndLeavesNothingBehind() {
        QString directory;
        {
            DemoSession demo(qEnvironmentVariable("ALARMGSM_PHONE"));
            directory = QString::fromStdString(demo.settingsDirectory());
            Tool tool(directory);
            QVERIFY(QFileInfo(directory + "/dosdevices/com1").isSymLink());
            QVERIFY(tool.window.AfComPort1().IsOpen());
            QCOMPARE(tool.checkedPorts(), QList<int>{1});
            QVERIFY(tool.dialogs.shown.empty());
            QVERIFY(tool.window.close());
        }
        QVERIFY(!QFileInfo::exists(directory));
    }

    void aSignalClosesTheWindowAsTheUserWould_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl-C") << SIGINT;
        QTest::newRow("kill") << SIGTERM;
        QTest::newRow("terminal closed") << SIGHUP;
    }
    void aSignalClosesTheWindowAsTheUserWould() {
        QFETCH(int, signal);
        QTemporaryDir dir;
        PhoneSide phone(dir.path(), 2);
        Tool tool(dir.path());
        tool.window.portItem(2).trigger();
        tool.window.show();
        {
            CloseWindowOnSignal closeOnSignal(tool.window);
            QCOMPARE(::raise(signal), 0);
            QTRY_VERIFY(!tool.window.isVisible());
        }
        QVERIFY(!tool.window.AfComPort1().IsOpen());
        QCOMPARE(slurp(dir.filePath("setting.ini")), std::string("COM2\r\n+420603052000\r\n"));
    }

    void aDemoWhosePhoneFailsSaysSoAndLeavesNothingBehind_data() {
        QTest::addColumn<QString>("phone");
        QTest::newRow("no phone beside the tool") << "/nonexistent/alarmgsm-phone";
        QTest::newRow("a phone that ends before its device line") << "/bin/false";
    }
    void aDemoWhosePhoneFailsSaysSoAndLeavesNothingBehind() {
        QFETCH(QString, phone);
        QTemporaryDir temp;
        const QByteArray previous = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        QString failure;
        try {
            DemoSession demo(phone);
        } catch (const std::runtime_error& error) {
            failure = QString::fromUtf8(error.what());
        }
        previous.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", previous);
        QCOMPARE(failure, "Nemohu spustit virtuální telefon " + phone);
        QVERIFY(QDir(temp.path()).isEmpty());
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
        // The items report their failures themselves: no error leaves Qt's activation of an item.
        second.window.portItem(1).trigger();
        second.window.portItem(5).trigger();
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
        // A reply in two pieces further apart than the handler's wait leaves the later one only;
        // pieces within it are taken whole.
        phone.write("first piece");
        QTRY_COMPARE(tool.window.shared().ReplyBuffer, std::string("first piece"));
        phone.write("second piece");
        QTRY_COMPARE(tool.window.shared().ReplyBuffer, std::string("second piece"));
        phone.write("AT\r\r\n");
        QTest::qWait(50);
        phone.write("OK\r\n");
        QTRY_COMPARE(tool.window.shared().ReplyBuffer, std::string("AT\r\r\nOK\r\n"));
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

    void thePortMenuOffersTheMachinesOtherDevices() {
        QTemporaryDir dir;
        PhoneSide com2(dir.path(), 2);
        PhoneSide modem(dir.path(), 0);
        const std::string adapter = dir.filePath("ttyUSB0").toStdString(); // no terminal: cannot open
        QVERIFY(QFile(QString::fromStdString(adapter)).open(QIODevice::WriteOnly));
        OfferedPorts ports;
        ports.entries = {{modem.path(), "Phone modem", "Acme"},
                         {adapter, "FT232R USB UART", "FTDI"},
                         {com2.path(), "what COM2 stands for", ""},
                         {adapter, "", ""},
                         {"/dev/ttyS9", "", ""}};
        Tool tool(dir.path(), &ports);
        const QString modemName = QFileInfo(QString::fromStdString(modem.path())).fileName();
        QList<QAction*> items = tool.deviceItems();
        const QStringList listed = Tool::captions(items);
        QCOMPARE(listed, (QStringList{modemName + " – Phone modem (Acme)", "ttyUSB0 – FT232R USB UART (FTDI)",
                                      "ttyS9"}));
        QVERIFY(tool.portMenu().actions()[6]->isSeparator());
        QVERIFY(tool.portMenu().toolTipsVisible());
        QCOMPARE(tool.window.portItem(2).toolTip(), QString::fromStdString(com2.path()));
        QCOMPARE(tool.window.portItem(3).toolTip(), QString("/dev/ttyS2"));

        // One check mark across COM and device items, following successful opens.
        items[0]->trigger();
        QVERIFY(tool.window.AfComPort1().IsOpen());
        QVERIFY(items[0]->isChecked());
        QVERIFY(tool.checkedPorts().isEmpty());
        tool.window.portItem(2).trigger();
        QCOMPARE(tool.checkedPorts(), QList<int>{2});
        QVERIFY(!items[0]->isChecked());
        items[0]->trigger();
        items = tool.deviceItems();
        QCOMPARE(Tool::captions(items), listed); // listed afresh, nothing twice
        QVERIFY(items[0]->isChecked());

        items[1]->trigger();
        QCOMPARE(tool.dialogs.texts(), QStringList{"Nemohu otevřít port ttyUSB0.\n" +
                                                   QString::fromLocal8Bit(std::strerror(ENOTTY))});
        QVERIFY(items[0]->isChecked());
        QVERIFY(!items[1]->isChecked());
    }

    void aDevicePathInTheSettingsOpensAtStartAndIsWrittenBack() {
        QTemporaryDir dir;
        PhoneSide modem(dir.path(), 0);
        const OfferedPorts none; // a pseudo-terminal is listed by no enumeration
        spit(dir.filePath("setting.ini"), modem.path() + "\r\n+420777000111\r\n");
        {
            Tool tool(dir.path(), &none);
            QVERIFY(tool.window.AfComPort1().IsOpen());
            const QList<QAction*> items = tool.deviceItems();
            QCOMPARE(Tool::captions(items),
                     QStringList{QFileInfo(QString::fromStdString(modem.path())).fileName()});
            QVERIFY(items[0]->isChecked());
            tool.window.close();
        }
        QCOMPARE(slurp(dir.filePath("setting.ini")), modem.path() + "\r\n+420777000111\r\n");

        const std::string unplugged = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        spit(dir.filePath("setting.ini"), unplugged + "\r\n+420777000111\r\n");
        Tool again(dir.path(), &none);
        QCOMPARE(again.dialogs.texts(),
                 QStringList{QString::fromStdString(
                     "Nemohu otevřít port usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0."
                     "\nZařízení " +
                     unplugged + " není připojeno.")});
        QVERIFY(!again.window.AfComPort1().IsOpen());
        QVERIFY(again.deviceItems().isEmpty());
        QCOMPARE(again.itemsBelowPorts().size(), 2); // no separator either: only the readers' and their item
        QCOMPARE(again.window.shared().SmscNumber, std::string("+420777000111"));
    }

    // Readers follow the serial devices; choosing one closes the port and is remembered, and when none
    // can be listed one item says why.
    void cardReadersInThePortMenu() {
        QTemporaryDir dir;
        PhoneSide com1(dir.path(), 1);
        OfferedReaders readers;
        readers.list.names = {"Virtual PCD 00 00", "Virtual PCD 00 01"};
        {
            Tool tool(dir.path(), nullptr, &readers);
            tool.window.choosePort(1);
            QList<QAction*> items = tool.readerItems();
            QCOMPARE(Tool::captions(items),
                     (QStringList{QString::fromUtf8("Čtečka karet – Virtual PCD 00 00"),
                                  QString::fromUtf8("Čtečka karet – Virtual PCD 00 01")}));
            items[1]->trigger();
            QVERIFY(!tool.window.AfComPort1().IsOpen());
            QVERIFY(tool.checkedPorts().isEmpty());
            readers.list.names = {"Virtual PCD 00 00"}; // the chosen one unplugged
            items = tool.readerItems();
            QCOMPARE(items.size(), 2);
            QVERIFY(!items[0]->isChecked() && items[1]->isChecked());
            tool.window.close();
        }
        QCOMPARE(slurp(dir.filePath("setting.ini")),
                 std::string("reader:Virtual PCD 00 01\r\n+420603052000\r\n"));
        readers.list = {{}, {platform::SmartCardFault::NoService, 0}};
        Tool again(dir.path(), nullptr, &readers);
        QVERIFY(again.readerItems()[0]->isChecked());
        again.window.choosePort(1);
        const QList<QAction*> none = again.readerItems();
        QCOMPARE(Tool::captions(none), QStringList{QString::fromUtf8("Čtečka karet – žádná")});
        none[0]->trigger();
        QCOMPARE(again.dialogs.texts(),
                 QStringList{QString::fromStdString(platform::smartCardFaultText(readers.list.error, {}))});
    }

    void aPortMessageWaitsForTheRunningExchange() {
        ScriptedDialogs dialogs;
        ErrorReport errors(dialogs);
        ExchangeLock exchanges;
        ExchangeAwareReport report(exchanges, errors);
        const QObject page;
        QVERIFY(exchanges.tryAcquire(&page));
        report.report("Port COM1 byl odpojen.");
        report.report("Port COM1 byl odpojen.");
        QTest::qWait(50);
        QVERIFY(dialogs.shown.empty());
        exchanges.release(&page);
        QTRY_COMPARE(dialogs.texts(), QStringList{"Port COM1 byl odpojen."});
        QTest::qWait(50);
        QCOMPARE(dialogs.shown.size(), std::size_t(1));
    }

    // The folder entry opens the backups' folder in the file manager, made first when there is
    // none; a settings directory where it cannot be made says so.
    void theBackupFolderOpensInTheFileManager_data() {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("no folder yet") << false;
        QTest::newRow("a file in its place") << true;
    }
    void theBackupFolderOpensInTheFileManager() {
        QFETCH(bool, blocked);
        QTemporaryDir dir;
        const QString folder = dir.filePath("zalohy");
        if (blocked) {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Tool tool(dir.path());
        OpenedUrls opened;
        QDesktopServices::setUrlHandler("file", &opened, "open");
        tool.window.findChild<QAction*>("SlozkaZaloh1")->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(opened.urls, blocked ? QList<QUrl>() : QList<QUrl>{QUrl::fromLocalFile(folder)});
        QCOMPARE(QFileInfo(folder).isDir(), !blocked);
        QCOMPARE(tool.dialogs.texts(),
                 blocked ? QStringList{QString::fromUtf8("Složku %1 nelze vytvořit.").arg(folder)}
                         : QStringList());
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
