// The command line, end to end: "alarmgsm write" and "alarmgsm read" in their own process without a
// display, against the virtual phone, and what they print, how they end and what the SIM holds.
#include "backup/backup_names.h"
#include "cli/console.h"
#include "cli/console_prompts.h"
#include "cli/port_choice.h"
#include "cli/provisioning_options.h"
#include "config/Unit5.h"
#include "numbers/Unit6.h"
#include "sms/Unit4.h"
#include "support/live_phone.h"

#include <QDir>
#include <QtTest>

namespace {

// Windows-1250 with CR LF, as the pages save them.
const QByteArray kConfiguration = "+000001101011\r\n+000000001235\r\n";
const QByteArray kNumbers = "+420603123456\r\nDomov\r\n+420777000111\r\nPr\xE1"
                            "ce\r\n\r\n\r\n+420444444444\r\nSoused Novak\r\n";
const QByteArray kMessages = "+420603123456\r\nPoplach 1\r\n+420603123457\r\nPozar 2\r\n"
                             "+420603123458\r\nZaplava\r\n+420603123459\r\nKonec\r\n";

const QByteArray kSimBefore = "entry 1 \"+420111111111\" 145 \"Stary\"\n"
                              "entry 5 \"+000000000001\" 145 \"Setup\"\n"
                              "entry 6 \"+000000001111\" 145 \"Casy\"\n"
                              "message 1 2 079124603050020011000C9124603021436500000407D0379C1D1EA301\n";
// What a backup of kSimBefore holds.
const QByteArray kNumbersBefore = "+420111111111\r\nStary\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
const QByteArray kConfigurationBefore = "+000000000001\r\n+000000001111\r\n";
const QByteArray kMessagesBefore = "+420603123456\r\nPoplach\r\n\r\n\r\n\r\n\r\n\r\n\r\n";

const QString kPhoneSilent = QString::fromUtf8("POZOR - telefon nekomunikuje !");
const QString kNumbersMalformed = QString::fromUtf8("POZOR - telefonní čísla nejsou ve správném formátu !");

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The three files in the phone's directory; their arguments for a write or a read.
QStringList filesIn(const LivePhone& phone, const QString& stem,
                    const QByteArray& configuration = kConfiguration, const QByteArray& numbers = kNumbers,
                    const QByteArray& messages = kMessages) {
    const QDir dir(phone.settingsDirectory());
    const QList<std::pair<QString, QByteArray>> files = {
        {"--config", configuration}, {"--numbers", numbers}, {"--sms", messages}};
    const QStringList extensions = {"par", "num", "sms"};
    QStringList arguments;
    for (int i = 0; i < files.size(); ++i) {
        const QString path = dir.filePath(stem + '.' + extensions[i]);
        if (!files[i].second.isNull()) {
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(path));
            file.write(files[i].second);
        }
        arguments << files[i].first << path;
    }
    return arguments;
}

QStringList linesOf(const QString& text) {
    return text.split('\n', Qt::SkipEmptyParts);
}

// The commands the phone took, in order.
QList<QByteArray> commandsOf(const LivePhone& phone) {
    QList<QByteArray> commands;
    for (const LivePhone::Received& each : phone.received())
        commands << each.text;
    return commands;
}

// The commands but the reads and the character sets they go in: the window's writes begin with the
// reads of their backups, in the same exchange.
QList<QByteArray> writesOf(const LivePhone& phone) {
    QList<QByteArray> commands = commandsOf(phone);
    commands.removeIf([](const QByteArray& command) {
        return command.startsWith("AT+CPBR=") || command.startsWith("AT+CMGR=") ||
               command.startsWith("AT+CSCS=");
    });
    return commands;
}

bool sent(const LivePhone& phone, const QByteArray& start) {
    const auto commands = commandsOf(phone);
    return std::any_of(commands.begin(), commands.end(),
                       [&](const QByteArray& command) { return command.startsWith(start); });
}

bool anyWrite(const LivePhone& phone) {
    for (const QByteArray& command : commandsOf(phone))
        if (command.startsWith("AT+CPBW=") || command.startsWith("AT+CMGW=") ||
            command.startsWith("AT+CMGD="))
            return true;
    return false;
}

} // namespace

class TestProvisioning : public QObject {
    Q_OBJECT
private slots:
    void writeVerifyThenReadGivesTheFilesBack();
    void verifyNamesPositionsKeptOtherwise();
    void backupHoldsWhatTheSimHadBefore();
    void unreadableBackupWritesNothing();
    void refusalSendsNothing_data();
    void refusalSendsNothing();
    void phoneProblems_data();
    void phoneProblems();
    void pulledCableEndsTheRun();
    void signalEndsTheRunAfterTheRunningSet();
    void readKeepsExistingFiles();
    void wireEqualsTheWindows();
    void readFailuresKeepTheFiles();
    void readOfABlankSimTellsTheMissingConfiguration();
    void unconfirmedPositionsAreStatus3();
    void backupNamesNeverOverwrite();
    void portChoice_data();
    void portChoice();
    void consolePrompts();
    void commandLine_data();
    void commandLine();
};

void TestProvisioning::writeVerifyThenReadGivesTheFilesBack() {
    LivePhone phone;
    const QStringList written = filesIn(phone, "site");
    const CommandLineRun write =
        runCommandLine(phone, QStringList{"write", "--port", "COM1", "--verify"} + written);
    QVERIFY2(write.err.isEmpty(), qPrintable(write.err));
    QCOMPARE(write.exitCode, 0);
    QCOMPARE(linesOf(write.out).size(), 3);
    QVERIFY(write.out.contains(QString::fromUtf8("Telefonní čísla: soubor ")));
    QVERIFY(write.out.contains(QString::fromUtf8("zapsán na pozice 1 až 4 a ověřen.")));
    const QByteArray sim = phone.state();
    QVERIFY2(sim.contains("entry 5 \"+000001101011\" 145 \"Setup\""), sim.constData());
    QVERIFY2(sim.contains("entry 4 \"+420444444444\" 145 \"Soused Novak\""), sim.constData());
    QVERIFY2(sim.contains("message 4 "), sim.constData());

    const QStringList readBack = filesIn(phone, "back", {}, {}, {});
    const CommandLineRun read = runCommandLine(phone, QStringList{"read", "--port", "COM1"} + readBack);
    QVERIFY2(read.err.isEmpty(), qPrintable(read.err));
    QCOMPARE(read.exitCode, 0);
    QCOMPARE(linesOf(read.out).size(), 3);
    for (int i = 1; i < written.size(); i += 2)
        QCOMPARE(contentOf(readBack[i]), contentOf(written[i]));
}

// A phone that confirms a name and keeps it cut: only the read-back shows it, and names the positions.
void TestProvisioning::verifyNamesPositionsKeptOtherwise() {
    LivePhone phone({"--name-length", "8", "--cut-names"});
    const QStringList files = filesIn(phone, "site");
    const CommandLineRun run =
        runCommandLine(phone, {"write", "--port", "COM1", "--verify", files[2], files[3]}); // numbers only
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(run.err, QString::fromUtf8("POZOR - SIM drží na pozicích: 4 jiný obsah, než byl zapsán !\n"));
    QVERIFY(run.out.isEmpty());
    QVERIFY(phone.state().contains("entry 4 \"+420444444444\" 145 \"Soused N\""));
}

void TestProvisioning::backupHoldsWhatTheSimHadBefore() {
    LivePhone phone;
    phone.preloadState(kSimBefore);
    const QString backups = QDir(phone.settingsDirectory()).filePath("backups");
    const CommandLineRun run = runCommandLine(
        phone, QStringList{"write", "--port", "COM1", "--backup", backups} + filesIn(phone, "site"));
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(linesOf(run.out).size(), 6);
    const QStringList saved = QDir(backups).entryList(QDir::Files, QDir::Name);
    QCOMPARE(saved.size(), 3);
    QVERIFY2(QRegularExpression("^sim-\\d{8}-\\d{6}\\.num$").match(saved[0]).hasMatch(),
             qPrintable(saved[0]));
    QCOMPARE(contentOf(QDir(backups).filePath(saved[0])), kNumbersBefore);
    QCOMPARE(contentOf(QDir(backups).filePath(saved[1])), kConfigurationBefore);
    QCOMPARE(contentOf(QDir(backups).filePath(saved[2])), kMessagesBefore);
    QVERIFY(phone.state().contains("entry 1 \"+420603123456\" 145 \"Domov\""));
}

// A phone whose phonebook ends before position 5 refuses the backup's read of the configuration:
// nothing is written, not even the numbers it could read.
void TestProvisioning::unreadableBackupWritesNothing() {
    LivePhone phone({"--phonebook-size", "4"});
    phone.preloadState(kSimBefore.left(kSimBefore.indexOf("entry 5")));
    const QString backups = QDir(phone.settingsDirectory()).filePath("backups");
    const QStringList files = filesIn(phone, "site");
    const CommandLineRun run = runCommandLine(
        phone, {"write", "--port", "COM1", "--backup", backups, files[2], files[3], files[0], files[1]});
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(
        linesOf(run.err),
        (QStringList{QString::fromUtf8("POZOR - telefon neodpověděl na čtení pozic: 5, 6 ! +CME ERROR: 21"),
                     QString::fromUtf8("POZOR - zálohu nelze přečíst, do SIM se nic nezapsalo !")}));
    QVERIFY(run.out.isEmpty());
    QVERIFY(QDir(backups).entryList(QDir::Files).isEmpty());
    QVERIFY(!anyWrite(phone));
}

// Bad use and files that fail their page's check: status 1, the page's text, not a byte to the phone.
// "@par" and "@num" stand for the files of the row.
void TestProvisioning::refusalSendsNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("configuration");
    QTest::addColumn<QByteArray>("numbers");
    QTest::addColumn<QString>("message");
    const QStringList numbersOnCom1{"--port", "COM1", "--numbers", "@num"};
    const QStringList configurationOnCom1{"--port", "COM1", "--config", "@par"};
    QTest::newRow("number without plus")
        << numbersOnCom1 << kConfiguration << QByteArray(kNumbers).replace("+420777000111", "420777000111")
        << kNumbersMalformed;
    QTest::newRow("times not digits")
        << configurationOnCom1 << QByteArray("+000001101011\r\n+0000000012x5\r\n") << kNumbers
        << QString("'x' is not a valid integer value.");
    QTest::newRow("times line missing") << configurationOnCom1 << QByteArray("+000001101011\r\n") << kNumbers
                                        << QString("'' is not a valid integer value.");
    QTest::newRow("centre number short")
        << QStringList{"--port", "COM1", "--sms", "@sms", "--smsc", "+42060305200"} << kConfiguration
        << kNumbers << kNumbersMalformed;
    QTest::newRow("port unknown") << QStringList{"--port", "COM7", "--numbers", "@num"} << kConfiguration
                                  << kNumbers
                                  << QString::fromUtf8(
                                         "Neznámý port: COM7 (COM1 až COM6 nebo cesta k zařízení).");
    QTest::newRow("no port chosen") << QStringList{"--numbers", "@num"} << kConfiguration << kNumbers
                                    << QString::fromUtf8(
                                           "POZOR - není zvolen port ani čtečka karet: zadejte --port "
                                           "nebo --reader, nebo je zvolte v okně programu !");
    QTest::newRow("backup directory cannot be made")
        << QStringList{"--port", "COM1", "--numbers", "@num", "--backup", "@par/backups"} << kConfiguration
        << kNumbers << QString::fromUtf8("Složku @par/backups nelze vytvořit.");
    QTest::newRow("no set") << QStringList{"--port", "COM1"} << kConfiguration << kNumbers
                            << QString::fromUtf8("Zadejte aspoň jednu sadu: --config, --numbers nebo --sms.");
}

void TestProvisioning::refusalSendsNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, configuration);
    QFETCH(QByteArray, numbers);
    QFETCH(QString, message);
    LivePhone phone;
    const QStringList files = filesIn(phone, "site", configuration, numbers);
    for (int i = 0; i < files.size(); i += 2) {
        arguments.replaceInStrings(QStringLiteral("@") + files[i + 1].right(3), files[i + 1]);
        message.replace(QStringLiteral("@") + files[i + 1].right(3), files[i + 1]);
    }
    const CommandLineRun run = runCommandLine(phone, QStringList{"write"} + arguments);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(linesOf(run.err).value(0), message);
    QVERIFY(run.out.isEmpty());
    QVERIFY(phone.received().isEmpty());
}

// The port and the phone: status 2 and the window's text. A phone that cannot take the first set
// is not tried with the others.
void TestProvisioning::phoneProblems_data() {
    QTest::addColumn<QStringList>("phoneOptions");
    QTest::addColumn<QByteArray>("input"); // null: no --pin-stdin
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("pinsSent");
    QTest::newRow("silent phone") << QStringList{"--off"} << QByteArray("") << 2 << QStringList{kPhoneSilent}
                                  << 0;
    QTest::newRow("no terminal to ask for the PIN")
        << QStringList{"--pin", "1234"} << QByteArray() << 2
        << QStringList{QString::fromUtf8("PIN nelze zadat: program nemá terminál; použijte --pin-stdin.")}
        << 0;
    QTest::newRow("PIN from standard input")
        << QStringList{"--pin", "1234"} << QByteArray("1234\n") << 0 << QStringList{} << 1;
    QTest::newRow("PIN refused, never sent again")
        << QStringList{"--pin", "1234"} << QByteArray("9999\n") << 2
        << QStringList{QString::fromUtf8("Telefon tento PIN odmítl.")} << 1;
    QTest::newRow("PIN of the wrong form not sent")
        << QStringList{"--pin", "1234"} << QByteArray("12\n") << 2
        << QStringList{QString::fromUtf8("PIN má 4 až 8 číslic.")} << 0;
    QTest::newRow("blocked SIM said plainly")
        << QStringList{"--pin", "1234", "--pin-tries", "0"} << QByteArray("1234\n") << 2
        << QStringList{QString::fromUtf8(
               "POZOR - karta SIM je zablokovaná a žádá PUK ! Odblokujte ji v mobilním telefonu.")}
        << 0;
}

void TestProvisioning::phoneProblems() {
    QFETCH(QStringList, phoneOptions);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QStringList, messages);
    QFETCH(int, pinsSent);
    LivePhone phone(phoneOptions);
    const QStringList files = filesIn(phone, "site");
    QStringList arguments = QStringList{"write", "--port", "COM1"} + files;
    if (!input.isNull())
        arguments << "--pin-stdin";
    const CommandLineRun run = runCommandLine(phone, arguments, input);
    QCOMPARE(linesOf(run.err), messages);
    QCOMPARE(run.exitCode, status);
    QCOMPARE(linesOf(run.out).size(), status == 0 ? 3 : 0);
    int pins = 0;
    for (const QByteArray& command : commandsOf(phone))
        pins += command.startsWith("AT+CPIN=") ? 1 : 0;
    QCOMPARE(pins, pinsSent);
}

// The phone goes while the configuration's first entry waits for its answer: told at once, and the
// numbers are not tried on a port that is gone.
void TestProvisioning::pulledCableEndsTheRun() {
    LivePhone phone({"--sim-delay", "3000"});
    const QStringList files = filesIn(phone, "site");
    const CommandLineRun run =
        runCommandLine(phone, QStringList{"write", "--port", "COM1"} + files, {}, [&](QProcess&) {
            QTRY_VERIFY_WITH_TIMEOUT(sent(phone, "AT+CPBW=5,"), 20000);
            phone.stop();
        });
    QCOMPARE(linesOf(run.err), (QStringList{QString::fromUtf8("Port COM1 byl odpojen."),
                                            QString::fromUtf8("POZOR - sériový port není otevřen !")}));
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
}

// Ctrl-C or a kill while the configuration is written: both its entries still go, the numbers do not.
void TestProvisioning::signalEndsTheRunAfterTheRunningSet() {
    LivePhone phone({"--sim-delay", "1000"});
    const QStringList files = filesIn(phone, "site");
    const CommandLineRun run =
        runCommandLine(phone, QStringList{"write", "--port", "COM1"} + files, {}, [&](QProcess& tool) {
            QTRY_VERIFY_WITH_TIMEOUT(sent(phone, "AT+CPBW=5,"), 20000);
            tool.terminate();
        });
    QCOMPARE(linesOf(run.err),
             QStringList{QString::fromUtf8("POZOR - přerušeno: sady, které zbývaly, se nepřenesly !")});
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(linesOf(run.out).size(), 1);
    QVERIFY(phone.state().contains("entry 6 \"+000000001235\""));
    QVERIFY(!sent(phone, "AT+CPBW=1,"));
}

void TestProvisioning::readKeepsExistingFiles() {
    LivePhone phone;
    phone.preloadState(kSimBefore);
    const QStringList files = filesIn(phone, "site");
    const CommandLineRun refused = runCommandLine(phone, QStringList{"read", "--port", "COM1"} + files);
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(
        linesOf(refused.err),
        QStringList{QString::fromUtf8("Soubor %1 již existuje; přepíše jej volba --force.").arg(files[1])});
    QVERIFY(phone.received().isEmpty());
    QCOMPARE(contentOf(files[1]), kConfiguration);

    const CommandLineRun forced =
        runCommandLine(phone, QStringList{"read", "--port", "COM1", "--force"} + files);
    QCOMPARE(forced.exitCode, 0);
    QCOMPARE(contentOf(files[1]), kConfigurationBefore);
    QCOMPARE(contentOf(files[3]), kNumbersBefore);
}

// The window's three writes after loading the same files, and the command line's one run: the same
// selections and writes, one for one; the window reads its backups on the way.
void TestProvisioning::wireEqualsTheWindows() {
    LivePhone windowPhone;
    const QStringList files = filesIn(windowPhone, "site");
    {
        LiveWindow live(windowPhone);
        for (int i = 1; i < files.size(); i += 2)
            live.dialogs.openPaths.push_back(files[i]);
        TForm5& configuration = live.window->configurationPage();
        configuration.BitBtn4Click();
        configuration.BitBtn3Click();
        QTRY_VERIFY_WITH_TIMEOUT(!configuration.findChild<QTimer*>("Timer1")->isActive(), 20000);
        TForm6& numbers = live.window->numbersPage();
        numbers.BitBtn2Click();
        numbers.Button2Click();
        QTRY_VERIFY_WITH_TIMEOUT(!numbers.findChild<QTimer*>("Timer2")->isActive(), 20000);
        live.window->smsPage().Button5Click();
        live.window->smsPage().Button3Click();
        QVERIFY2(live.dialogs.shown.empty(), qPrintable(live.dialogs.texts().join('\n')));
    }
    QVERIFY(windowPhone.state().contains("entry 6 ") && windowPhone.state().contains("message 4 "));
    LivePhone toolPhone;
    const CommandLineRun run = runCommandLine(toolPhone, QStringList{"write", "--port", "COM1"} + files);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(writesOf(toolPhone), writesOf(windowPhone));
    QVERIFY(sent(windowPhone, "AT+CPBR=5") && sent(windowPhone, "AT+CMGR=4") && !sent(toolPhone, "AT+CPBR="));
    QCOMPARE(toolPhone.state(), windowPhone.state());
}

// A read that fails saves nothing: no file appears, and one that was there stays as it was.
void TestProvisioning::readFailuresKeepTheFiles() {
    LivePhone phone({"--off"});
    const QStringList files = filesIn(phone, "site", kConfiguration, {}, {});
    const CommandLineRun run =
        runCommandLine(phone, QStringList{"read", "--port", "COM1", "--force"} + files);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(linesOf(run.err), QStringList{kPhoneSilent});
    QCOMPARE(contentOf(files[1]), kConfiguration);
    QVERIFY(!QFileInfo::exists(files[3]));
    QVERIFY(!QFileInfo::exists(files[5]));
}

// As the page tells it; the file gets empty lines, which no write would take back.
void TestProvisioning::readOfABlankSimTellsTheMissingConfiguration() {
    LivePhone phone;
    const QStringList files = filesIn(phone, "blank", {}, {}, {});
    const CommandLineRun run = runCommandLine(phone, {"read", "--port", "COM1", files[0], files[1]});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(linesOf(run.err),
             QStringList{QString::fromUtf8("POZOR - na SIM není uložena konfigurace (pozice 5, 6) !")});
    QCOMPARE(contentOf(files[1]), QByteArray("\r\n\r\n"));
}

// A store with no room for the fourth message: the others are in, the fourth is named with the
// phone's code, and --verify has nothing more to say of a set that was not confirmed.
void TestProvisioning::unconfirmedPositionsAreStatus3() {
    LivePhone phone({"--sms-size", "3"});
    const QStringList files = filesIn(phone, "site");
    const CommandLineRun run =
        runCommandLine(phone, QStringList{"write", "--port", "COM1", "--verify"} + files);
    QCOMPARE(run.exitCode, 3);
    QCOMPARE(linesOf(run.err), QStringList{QString::fromUtf8(
                                   "POZOR - telefon nepotvrdil uložení SMS na pozice: 4 ! +CMS ERROR: 322")});
    QCOMPARE(linesOf(run.out).size(), 2);
    QVERIFY(phone.state().contains("message 3 "));
}

void TestProvisioning::backupNamesNeverOverwrite() {
    QTemporaryDir dir;
    const QDateTime when(QDate(2026, 12, 9), QTime(14, 30, 5));
    const QString first = freeBackupStem(dir.path(), when, {"par", "num"});
    QCOMPARE(first, QDir(dir.path()).filePath("sim-20261209-143005"));
    QFile taken(first + ".num");
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.close();
    QCOMPARE(freeBackupStem(dir.path(), when, {"par", "num"}), first + "-2");
    QCOMPARE(freeBackupStem(dir.path(), when, {"sms"}), first);
}

void TestProvisioning::commandLine_data() {
    using O = ProvisioningCommand::Outcome;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<O>("outcome");
    QTest::addColumn<QString>("says");
    QTest::newRow("write help lists it all")
        << QStringList{"write", "--help"} << O::Answer << "--backup <DIR>";
    QTest::newRow("read help has --force") << QStringList{"read", "-h"} << O::Answer << "--force";
    QTest::newRow("verify is for writes")
        << QStringList{"read", "--verify", "--config", "a.par"} << O::Refuse << "verify";
    QTest::newRow("a PIN is never an argument")
        << QStringList{"write", "--pin", "1234", "--config", "a.par"} << O::Refuse << "pin";
    QTest::newRow("stray argument") << QStringList{"write", "--config", "a.par", "b.num"} << O::Refuse
                                    << "b.num";
    QTest::newRow("a set") << QStringList{"write", "--sms", "a.sms", "--smsc", "+420603052000"} << O::Run
                           << "";
}

void TestProvisioning::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(ProvisioningCommand::Outcome, outcome);
    QFETCH(QString, says);
    const ProvisioningCommand command = parseProvisioningCommand(QStringList{"alarmgsm"} + arguments);
    QCOMPARE(command.outcome, outcome);
    QVERIFY2(command.text.contains(says), qPrintable(command.text));
    if (outcome == ProvisioningCommand::Outcome::Run) {
        QCOMPARE(command.options.messagesFile, QString("a.sms"));
        QCOMPARE(command.options.smscNumber, QString("+420603052000"));
        QVERIFY(command.options.configurationFile.isEmpty());
    }
}

void TestProvisioning::portChoice_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("settingsPort");
    QTest::addColumn<QString>("settingsDevice");
    QTest::addColumn<int>("comNumber");
    QTest::addColumn<QString>("devicePath");
    QTest::addColumn<QString>("error");
    QTest::newRow("COM number") << "COM3" << 0 << "" << 3 << ""
                                << "";
    QTest::newRow("COM number in lower case") << "com6" << 0 << "" << 6 << ""
                                              << "";
    QTest::newRow("device path") << "/dev/ttyUSB0" << 0 << "" << 0 << "/dev/ttyUSB0"
                                 << "";
    QTest::newRow("the option before setting.ini") << "COM2" << 5 << "/dev/ttyACM0" << 2 << ""
                                                   << "";
    QTest::newRow("COM number of setting.ini") << "" << 4 << "" << 4 << ""
                                               << "";
    QTest::newRow("device of setting.ini") << "" << 0 << "/dev/ttyACM0" << 0 << "/dev/ttyACM0"
                                           << "";
    QTest::newRow("above COM6") << "COM7" << 1 << "" << 0 << ""
                                << QString::fromUtf8(
                                       "Neznámý port: COM7 (COM1 až COM6 nebo cesta k zařízení).");
    QTest::newRow("relative path") << "dev/ttyUSB0" << 0 << "" << 0 << ""
                                   << QString::fromUtf8(
                                          "Neznámý port: dev/ttyUSB0 (COM1 až COM6 nebo cesta k zařízení).");
}

void TestProvisioning::portChoice() {
    QFETCH(QString, option);
    QFETCH(int, settingsPort);
    QFETCH(QString, settingsDevice);
    QFETCH(QString, error);
    const StoredSettings settings{settingsPort, settingsDevice.toStdString(), kDefaultSmscNumber, {}};
    QString said;
    const auto chosen = choosePort(option, {}, settings, said);
    QCOMPARE(said, error);
    QCOMPARE(chosen.has_value(), error.isEmpty());
    if (chosen) {
        QTEST(chosen->comNumber, "comNumber");
        QTEST(QString::fromStdString(chosen->devicePath), "devicePath");
    }
}

// A box is a line on standard error; a script's PIN is one line, given once: the next ask says
// what the phone did and ends the exchange.
void TestProvisioning::consolePrompts() {
    std::FILE* results = std::tmpfile();
    std::FILE* messages = std::tmpfile();
    std::FILE* input = std::tmpfile();
    std::fputs("1234\r\n5678\n", input);
    std::rewind(input);
    {
        Console console(results, messages);
        ConsolePrompts prompts(console, ConsolePrompts::PinSource::StandardInput, input);
        prompts.warn("POZOR - telefon nepotvrdil zápis na pozice: 2 !\n+CME ERROR: 24");
        QCOMPARE(prompts.askPin({"Karta SIM v telefonu je zamčená.\nZadejte PIN:", {}}),
                 std::optional<std::string>("1234"));
        QCOMPARE(prompts.askPin({"Telefon tento PIN odmítl.\nZadejte správný PIN:", 2}), std::nullopt);
        console.progress(QStringLiteral("SMS"), 50); // not a terminal: nothing
        console.result(QStringLiteral("SMS: hotovo."));
    }
    const auto contentOfStream = [](std::FILE* stream) {
        std::rewind(stream);
        QByteArray content;
        for (int c; (c = std::fgetc(stream)) != EOF;)
            content += char(c);
        std::fclose(stream);
        return QString::fromUtf8(content);
    };
    QCOMPARE(contentOfStream(messages),
             QString::fromUtf8("POZOR - telefon nepotvrdil zápis na pozice: 2 ! +CME ERROR: 24\n"
                               "Telefon tento PIN odmítl.\n"));
    QCOMPARE(contentOfStream(results), QStringLiteral("SMS: hotovo.\n"));
    std::fclose(input);
}

QTEST_MAIN(TestProvisioning)
#include "test_provisioning.moc"
