// The virtual phone driven the way the tool drives a phone: over its pseudo-terminal, with exact
// byte comparisons, since the tool reads replies at fixed character positions.
#include <fcntl.h>
#include <poll.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <termios.h>
#include <unistd.h>

namespace {

// The worked example of the tool's codec: "Poplach" to +420603123456 through +420603052000.
const QByteArray pdu = "07912460305002001100"
                       "0C91246030214365"
                       "000004"
                       "07D0379C1D1EA301";

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PhoneUnderTest {
public:
    explicit PhoneUnderTest(const QStringList& options = {}, const QByteArray& preload = {}) {
        if (!preload.isNull()) {
            QFile file(statePath());
            if (file.open(QIODevice::WriteOnly))
                file.write(preload);
        }
        m_process.setProgram(qEnvironmentVariable("ALARMGSM_PHONE"));
        m_process.setArguments(QStringList{"--state", statePath(), "--log", logPath()} + options);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        device = QString::fromUtf8(m_process.readLine()).trimmed();
        open();
    }
    ~PhoneUnderTest() {
        close();
        stop();
    }

    QString statePath() const { return m_dir.filePath("sim.txt"); }
    QString logPath() const { return m_dir.filePath("phone.log"); }
    QString dirPath(const QString& name) const { return m_dir.filePath(name); }
    QByteArray state() const { return readFile(statePath()); }
    QByteArray log() const { return readFile(logPath()); }
    bool isOpen() const { return m_fd >= 0; }

    void open() {
        m_fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return;
        termios tio{};
        ::tcgetattr(m_fd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_fd, TCSANOW, &tio);
        // What the phone sent while nobody listened is stale, so a serial client purges at open.
        ::tcflush(m_fd, TCIOFLUSH);
    }
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    // Returns the exit code, or -1 when the phone did not end by itself on SIGTERM.
    int stop() {
        if (m_process.state() == QProcess::NotRunning)
            return m_process.exitCode();
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
            return -1;
        }
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    void send(const QByteArray& bytes) {
        if (m_fd >= 0)
            QCOMPARE(::write(m_fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }

    // Everything that arrives until `done` holds for it, or until the time is up.
    template <typename Done> QByteArray readUntil(Done done, int timeoutMs = 3000) {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (!done(got) && clock.elapsed() < timeoutMs && m_fd >= 0) {
            pollfd fd{m_fd, POLLIN, 0};
            if (::poll(&fd, 1, int(timeoutMs - clock.elapsed())) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, n);
        }
        return got;
    }
    // For checks that nothing (more) comes: the absence of bytes can only be seen by waiting.
    QByteArray readFor(int ms) {
        return readUntil([](const QByteArray&) { return false; }, ms);
    }
    QByteArray readReply(int timeoutMs = 3000) {
        static const QRegularExpression final(R"(\r\n(OK|ERROR|\+CM[ES] ERROR: [^\r]*)\r\n$|\r\n> $)");
        return readUntil(
            [](const QByteArray& got) { return final.match(QString::fromLatin1(got)).hasMatch(); },
            timeoutMs);
    }
    QByteArray command(const QByteArray& text) {
        send(text + "\r");
        return readReply();
    }

    QString device;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_fd = -1;
};

} // namespace

class VirtualPhoneTest : public QObject {
    Q_OBJECT
private slots:
    void answersAsAPhone_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArrayList>("setup");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        const auto optionRow = [](const char* name, const QStringList& options, QByteArrayList setup,
                                  const QByteArray& command, const QByteArray& reply) {
            QTest::newRow(name) << options << setup << command << reply;
        };
        const auto row = [&](const char* name, QByteArrayList setup, const QByteArray& command,
                             const QByteArray& reply) { optionRow(name, {}, setup, command, reply); };

        // The tool's probe sees "O" at position 6 and the entry line at position 13.
        row("probe", {}, "AT", "AT\r\r\nOK\r\n");
        row("lower case with blanks", {}, "at + cgmi", "at + cgmi\r\r\nAlarmGSM\r\n\r\nOK\r\n");
        row("noise before AT", {},
            "x\x1a"
            "AT",
            "x\x1a"
            "AT\r\r\nOK\r\n");
        row("unknown command", {}, "AT+CXYZ", "AT+CXYZ\r\r\nERROR\r\n");
        row("several commands", {}, "AT+CGMI;+CGMR", "AT+CGMI;+CGMR\r\r\nAlarmGSM\r\n1.0\r\n\r\nOK\r\n");
        row("stops at the first error", {"ATE0"}, "AT+CGMI;+CXYZ;+CGMR", "\r\nAlarmGSM\r\n\r\nERROR\r\n");
        row("echo off", {"ATE0"}, "AT", "\r\nOK\r\n");
        row("ATZ restores echo", {"ATE0", "ATZ"}, "AT", "AT\r\r\nOK\r\n");

        row("empty position answers OK after the echo", {}, "AT+CPBR=2", "AT+CPBR=2\r\r\nOK\r\n");
        row("empty type field chooses 145 for +", {"AT+CPBW=5,\"+000000000000\",,\"Setup\""}, "AT+CPBR=5",
            "AT+CPBR=5\r\r\n+CPBR: 5,\"+000000000000\",145,\"Setup\"\r\n\r\nOK\r\n");
        row("empty type field chooses 129 without +", {"AT+CPBW=3,\"603123456\",,\"Doma\""}, "AT+CPBR=3",
            "AT+CPBR=3\r\r\n+CPBR: 3,\"603123456\",129,\"Doma\"\r\n\r\nOK\r\n");
        row("given type kept", {"AT+CPBW=3,\"603123456\",161,\"\""}, "AT+CPBR=3",
            "AT+CPBR=3\r\r\n+CPBR: 3,\"603123456\",161,\"\"\r\n\r\nOK\r\n");
        row("range lists stored entries only", {"ATE0", "AT+CPBW=1,\"1\",,\"a\"", "AT+CPBW=3,\"3\",,\"c\""},
            "AT+CPBR=1,4", "\r\n+CPBR: 1,\"1\",129,\"a\"\r\n+CPBR: 3,\"3\",129,\"c\"\r\n\r\nOK\r\n");
        row("index alone deletes", {"AT+CPBW=2,\"2\",,\"b\"", "AT+CPBW=2"}, "AT+CPBR=2",
            "AT+CPBR=2\r\r\nOK\r\n");
        row("write without index takes the first free",
            {"ATE0", "AT+CPBW=1,\"1\",,\"a\"", "AT+CPBW=,\"2\",,\"b\""}, "AT+CPBR=1,3",
            "\r\n+CPBR: 1,\"1\",129,\"a\"\r\n+CPBR: 2,\"2\",129,\"b\"\r\n\r\nOK\r\n");
        row("quote in a name stays escaped", {"ATE0", "AT+CPBW=1,\"1\",,\"a\\22b\""}, "AT+CPBR=1",
            "\r\n+CPBR: 1,\"1\",129,\"a\\22b\"\r\n\r\nOK\r\n");
        row("8-bit name unchanged", {"ATE0", "AT+CPBW=1,\"1\",,\"\xe8\x61s\""}, "AT+CPBR=1",
            "\r\n+CPBR: 1,\"1\",129,\"\xe8\x61s\"\r\n\r\nOK\r\n");
        row("GSM character set converts names", {"ATE0", "AT+CPBW=1,\"1\",,\"M\xfcller\"", "AT+CSCS=\"GSM\""},
            "AT+CPBR=1", "\r\n+CPBR: 1,\"1\",129,\"M\x7eller\"\r\n\r\nOK\r\n");
        // UCS2: four hex digits a character, numbers plain.
        row("UCS2 character set shows names as hex",
            {"ATE0", "AT+CPBW=1,\"1\",,\"\xe8\x61s\"", "AT+CSCS=\"UCS2\""}, "AT+CPBR=1",
            "\r\n+CPBR: 1,\"1\",129,\"010D00610073\"\r\n\r\nOK\r\n");
        row("UCS2 hex of either case stored in Windows-1250",
            {"ATE0", "AT+CSCS=\"UCS2\"", "AT+CPBW=1,\"1\",,\"004F0074010d\"", "AT+CSCS=\"IRA\""}, "AT+CPBR=1",
            "\r\n+CPBR: 1,\"1\",129,\"Ot\xe8\"\r\n\r\nOK\r\n");
        row("UCS2 character outside Windows-1250", {"ATE0", "AT+CMEE=1", "AT+CSCS=\"UCS2\""},
            "AT+CPBW=1,\"1\",,\"004F4E2D\"", "\r\n+CME ERROR: 25\r\n");
        row("UCS2 hex not in groups of four", {"ATE0", "AT+CMEE=1", "AT+CSCS=\"UCS2\""},
            "AT+CPBW=1,\"1\",,\"004F00\"", "\r\n+CME ERROR: 25\r\n");
        optionRow("UCS2 from the start and after ATZ", {"--charset", "UCS2", "--no-echo"},
                  {"AT+CSCS=\"IRA\"", "ATZ"}, "AT+CSCS?;+CSCS=?",
                  "\r\n+CSCS: \"UCS2\"\r\n+CSCS: (\"IRA\",\"GSM\",\"UCS2\")\r\n\r\nOK\r\n");
        optionRow("store and character set named in UCS2 hex", {"--charset", "UCS2", "--no-echo"}, {},
                  "AT+CPBS=\"0053004D\";+CPMS=\"0053004d\";+CSCS=\"00470053004D\";+CSCS?",
                  "\r\n+CPMS: 0,20,0,20,0,20\r\n+CSCS: \"GSM\"\r\n\r\nOK\r\n");
        optionRow("a phone that offers one character set", {"--charsets", "GSM", "--no-echo"}, {"AT+CMEE=1"},
                  "AT+CSCS?;+CSCS=?;+CSCS=\"IRA\"",
                  "\r\n+CSCS: \"GSM\"\r\n+CSCS: (\"GSM\")\r\n\r\n+CME ERROR: 4\r\n");
        row("20 digits fit", {"ATE0", "AT+CPBW=1,\"+12345678901234567890\",,\"x\""}, "AT+CPBR=1",
            "\r\n+CPBR: 1,\"+12345678901234567890\",145,\"x\"\r\n\r\nOK\r\n");
        row("21 digits", {"ATE0", "AT+CMEE=1"}, "AT+CPBW=1,\"123456789012345678901\",,\"x\"",
            "\r\n+CME ERROR: 26\r\n");
        row("letter in a number", {"ATE0", "AT+CMEE=1"}, "AT+CPBW=1,\"12a\",,\"x\"",
            "\r\n+CME ERROR: 27\r\n");
        row("15-character name", {"ATE0", "AT+CMEE=1"}, "AT+CPBW=1,\"1\",,\"123456789012345\"",
            "\r\n+CME ERROR: 24\r\n");
        row("index outside the SIM", {"ATE0", "AT+CMEE=1"}, "AT+CPBR=101", "\r\n+CME ERROR: 21\r\n");
        row("verbose errors", {"ATE0", "AT+CMEE=2"}, "AT+CPBR=0", "\r\n+CME ERROR: invalid index\r\n");
        row("errors off", {"ATE0"}, "AT+CPBR=0", "\r\nERROR\r\n");
        optionRow("verbose errors from the start and after ATZ", {"--cmee", "2", "--no-echo"},
                  {"AT+CMEE=0", "ATZ"}, "AT+CPBR=0", "\r\n+CME ERROR: invalid index\r\n");
        row("refused write keeps the entry",
            {"ATE0", "AT+CPBW=1,\"1\",,\"a\"", "AT+CPBW=1,\"1\",,\"123456789012345\""}, "AT+CPBR=1",
            "\r\n+CPBR: 1,\"1\",129,\"a\"\r\n\r\nOK\r\n");
        row("phonebook size", {"ATE0"}, "AT+CPBR=?", "\r\n+CPBR: (1-100),20,14\r\n\r\nOK\r\n");
        const QStringList shortSim{"--phonebook-size", "5", "--name-length", "8", "--sms-size", "3"};
        optionRow("short phonebook and names", shortSim, {"ATE0"}, "AT+CPBR=?",
                  "\r\n+CPBR: (1-5),20,8\r\n\r\nOK\r\n");
        optionRow("short phonebook in the store query", shortSim, {"ATE0", "AT+CPBW=5,\"1\",,\"12345678\""},
                  "AT+CPBS?", "\r\n+CPBS: \"SM\",1,5\r\n\r\nOK\r\n");
        optionRow("write beyond a short phonebook", shortSim, {"ATE0", "AT+CMEE=1"}, "AT+CPBW=6,\"1\",,\"a\"",
                  "\r\n+CME ERROR: 21\r\n");
        optionRow("name beyond a short limit", shortSim, {"ATE0", "AT+CMEE=1"},
                  "AT+CPBW=1,\"1\",,\"123456789\"", "\r\n+CME ERROR: 24\r\n");
        optionRow("name beyond the limit confirmed and kept cut", shortSim + QStringList{"--cut-names"},
                  {"ATE0", "AT+CMEE=1", "AT+CPBW=1,\"1\",,\"123456789\""}, "AT+CPBR=1",
                  "\r\n+CPBR: 1,\"1\",129,\"12345678\"\r\n\r\nOK\r\n");
        // A name's room in bytes: a septet a byte in the SIM's alphabet, two a character and one in UCS2.
        const QStringList roomySim{"--name-bytes", "14", "--no-echo"};
        optionRow("plain name fills the room", roomySim, {"AT+CMEE=1"}, "AT+CPBW=1,\"1\",,\"Sousedka Eva12\"",
                  "\r\nOK\r\n");
        optionRow("extension letters take two bytes", roomySim, {"AT+CMEE=1"},
                  "AT+CPBW=1,\"1\",,\"[Sousedka Eva]\"", "\r\n+CME ERROR: 24\r\n");
        optionRow("plain name given in UCS2 takes its room twice", roomySim,
                  {"AT+CMEE=1", "AT+CSCS=\"UCS2\""}, "AT+CPBW=1,\"1\",,\"0053006F0075007300650064006B0061\"",
                  "\r\n+CME ERROR: 24\r\n");
        optionRow("Czech name fits in UCS2", roomySim, {"AT+CMEE=1", "AT+CSCS=\"UCS2\""},
                  "AT+CPBW=1,\"1\",,\"010C00ED017E0065006B\"", "\r\nOK\r\n");
        optionRow("short message store", shortSim, {"ATE0"}, "AT+CPMS?",
                  "\r\n+CPMS: \"SM\",0,3,\"SM\",0,3,\"SM\",0,3\r\n\r\nOK\r\n");
        optionRow("phone memory selected at start", {"--phone-memory"}, {"ATE0"}, "AT+CPBS?;+CPMS?",
                  "\r\n+CPBS: \"ME\",0,250\r\n+CPMS: \"ME\",0,50,\"ME\",0,50,\"SM\",0,20\r\n\r\nOK\r\n");
        optionRow("SIM selected beside phone memory", {"--phone-memory"},
                  {"ATE0", "AT+CPBS=\"SM\"", "AT+CPMS=\"SM\",\"SM\""}, "AT+CPBS?;+CPMS?",
                  "\r\n+CPBS: \"SM\",0,100\r\n+CPMS: \"SM\",0,20,\"SM\",0,20,\"SM\",0,20\r\n\r\nOK\r\n");
        row("no phonebook beside the SIM", {"ATE0", "AT+CMEE=1"}, "AT+CPBS=\"ME\"", "\r\n+CME ERROR: 3\r\n");
        row("no message store beside the SIM", {"ATE0", "AT+CMEE=1"}, "AT+CPMS=\"ME\"",
            "\r\n+CMS ERROR: 302\r\n");
        optionRow("text mode at start", {"--text-mode"}, {"ATE0"}, "AT+CMGF?;+CMGF=?",
                  "\r\n+CMGF: 1\r\n+CMGF: (0,1)\r\n\r\nOK\r\n");
        optionRow("ATZ returns to text mode", {"--text-mode"}, {"AT+CMGF=0", "ATZ"}, "AT+CMGF?",
                  "AT+CMGF?\r\r\n+CMGF: 1\r\n\r\nOK\r\n");
        optionRow("read beyond a short message store", shortSim, {"ATE0", "AT+CMEE=1"}, "AT+CMGR=4",
                  "\r\n+CMS ERROR: 321\r\n");

        // The PIN: identity and settings work without it, the SIM's stores do not.
        const QStringList pin{"--pin", "1234"};
        optionRow("SIM asks for its PIN", pin, {"ATE0", "AT+CMEE=1"}, "AT+CPIN?;+CGMI;+CSCS?;+CPBR=1",
                  "\r\n+CPIN: SIM PIN\r\nAlarmGSM\r\n+CSCS: \"IRA\"\r\n\r\n+CME ERROR: 11\r\n");
        optionRow("message commands wait for the PIN", pin, {"ATE0", "AT+CMEE=1"}, "AT+CMGL=4",
                  "\r\n+CMS ERROR: 311\r\n");
        optionRow("wrong PIN", pin, {"ATE0", "AT+CMEE=1"}, "AT+CPIN=\"4321\"", "\r\n+CME ERROR: 16\r\n");
        optionRow("right PIN after a wrong one", pin, {"ATE0", "AT+CPIN=\"4321\""},
                  "AT+CPIN=\"1234\";+CPIN?;+CIMI", "\r\n+CPIN: READY\r\n230019999999999\r\n\r\nOK\r\n");
        optionRow("third wrong PIN blocks the SIM", pin,
                  {"ATE0", "AT+CMEE=1", "AT+CPIN=\"1111\"", "AT+CPIN=\"2222\"", "AT+CPIN=\"3333\""},
                  "AT+CPIN?;+CPIN=\"1234\"", "\r\n+CPIN: SIM PUK\r\n\r\n+CME ERROR: 12\r\n");
        optionRow("blocked SIM refuses message commands", {"--pin", "1234", "--pin-tries", "0"},
                  {"ATE0", "AT+CMEE=1"}, "AT+CPIN?;+CMGR=1", "\r\n+CPIN: SIM PUK\r\n\r\n+CMS ERROR: 316\r\n");
        optionRow("message commands while the SIM loads", {"--pin", "1234", "--pin-busy", "600000"},
                  {"ATE0", "AT+CMEE=1"}, "AT+CPIN=\"1234\";+CPIN?;+CPMS?",
                  "\r\n+CPIN: READY\r\n\r\n+CMS ERROR: 314\r\n");

        optionRow(
            "unsolicited code inside an answer",
            {"--urc", "RING", "--urc-every", "600000", "--urc-inside", "--no-echo"},
            {"AT+CPBW=1,\"1\",,\"a\"", "AT+CPBW=2,\"2\",,\"b\""}, "AT+CPBR=1,2",
            "\r\nRING\r\n\r\n+CPBR: 1,\"1\",129,\"a\"\r\n\r\nRING\r\n+CPBR: 2,\"2\",129,\"b\"\r\n\r\nOK\r\n");

        row("centre default", {"ATE0"}, "AT+CSCA?", "\r\n+CSCA: \"+420603052000\",145\r\n\r\nOK\r\n");
        row("centre set", {"ATE0", "AT+CSCA=\"+420602909909\""}, "AT+CSCA?",
            "\r\n+CSCA: \"+420602909909\",145\r\n\r\nOK\r\n");
        row("empty message position answers OK", {}, "AT+CMGR=3", "AT+CMGR=3\r\r\nOK\r\n");
        row("message index outside the SIM", {"ATE0", "AT+CMEE=1"}, "AT+CMGR=21", "\r\n+CMS ERROR: 321\r\n");
        row("text mode refused", {"ATE0"}, "AT+CMGF=1", "\r\nERROR\r\n");
        row("write without length refused", {"ATE0"}, "AT+CMGW", "\r\nERROR\r\n");
        row("message store", {"ATE0"}, "AT+CPMS?",
            "\r\n+CPMS: \"SM\",0,20,\"SM\",0,20,\"SM\",0,20\r\n\r\nOK\r\n");
    }
    void answersAsAPhone() {
        QFETCH(QStringList, options);
        QFETCH(QByteArrayList, setup);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        PhoneUnderTest phone(options);
        QVERIFY(phone.isOpen());
        for (const auto& line : setup)
            QVERIFY2(!phone.command(line).isEmpty(), line.constData());
        QCOMPARE(phone.command(command), reply);
    }

    void emptyPositionAsErrorOnRequest() {
        PhoneUnderTest phone({"--empty-error"});
        phone.command("AT+CMEE=1");
        QCOMPARE(phone.command("AT+CPBR=2"), QByteArray("AT+CPBR=2\r\r\n+CME ERROR: 22\r\n"));
        QCOMPARE(phone.command("AT+CMGR=2"), QByteArray("AT+CMGR=2\r\r\n+CMS ERROR: 321\r\n"));
    }

    void storesReadsAndDeletesMessages() {
        PhoneUnderTest phone;
        QCOMPARE(phone.command("AT+CMGW=21"), QByteArray("AT+CMGW=21\r\r\n> "));
        phone.send(pdu + "\x1a");
        QCOMPARE(phone.readReply(), pdu + "\r\n+CMGW: 1\r\n\r\nOK\r\n");
        QCOMPARE(phone.command("AT+CMGR=1"), "AT+CMGR=1\r\r\n+CMGR: 2,,21\r\n" + pdu + "\r\n\r\nOK\r\n");

        phone.command("ATE0");
        phone.command("AT+CMGW=21");
        phone.send(pdu.toLower() + "\x1a");
        QCOMPARE(phone.readReply(), QByteArray("\r\n+CMGW: 2\r\n\r\nOK\r\n"));
        QVERIFY(phone.state().contains("message 2 2 " + pdu + "\n")); // stored upper case
        QCOMPARE(phone.command("AT+CMGD=1"), QByteArray("\r\nOK\r\n"));
        phone.command("AT+CMGW=21,3");
        phone.send(pdu + "\x1a");
        QCOMPARE(phone.readReply(), QByteArray("\r\n+CMGW: 1\r\n\r\nOK\r\n")); // the lowest free index
        QCOMPARE(phone.command("AT+CMGL=4"),
                 "\r\n+CMGL: 1,3,,21\r\n" + pdu + "\r\n+CMGL: 2,2,,21\r\n" + pdu + "\r\n\r\nOK\r\n");
    }

    void storesInTheSelectedMemory_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArrayList>("setup");
        QTest::addColumn<QByteArray>("write");
        QTest::addColumn<QByteArray>("body"); // after the prompt; none for a phonebook write
        QTest::addColumn<QByteArrayList>("stored");
        QTest::addColumn<QByteArray>("read");
        QTest::addColumn<QByteArray>("readReply");
        const QByteArray entry = "AT+CPBW=1,\"1\",,\"a\"";
        const QByteArray entryRead = "\r\n+CPBR: 1,\"1\",129,\"a\"\r\n\r\nOK\r\n";
        const QByteArray pduRead = "\r\n+CMGR: 2,,21\r\n" + pdu + "\r\n\r\nOK\r\n";
        QTest::newRow("phonebook in phone memory at start")
            << QStringList{"--phone-memory"} << QByteArrayList{} << entry << QByteArray()
            << QByteArrayList{"me-entry 1 \"1\" 129 \"a\" gsm"} << QByteArray("AT+CPBR=1") << entryRead;
        QTest::newRow("phonebook on the SIM once selected")
            << QStringList{"--phone-memory"} << QByteArrayList{"AT+CPBS=\"SM\""} << entry << QByteArray()
            << QByteArrayList{"entry 1 \"1\" 129 \"a\" gsm"} << QByteArray("AT+CPBR=1") << entryRead;
        QTest::newRow("message in phone memory at start")
            << QStringList{"--phone-memory"} << QByteArrayList{} << QByteArray("AT+CMGW=21") << pdu
            << QByteArrayList{"me-message 1 2 " + pdu} << QByteArray("AT+CMGR=1") << pduRead;
        QTest::newRow("message on the SIM once selected")
            << QStringList{"--phone-memory"} << QByteArrayList{"AT+CPMS=\"SM\",\"SM\""}
            << QByteArray("AT+CMGW=21") << pdu << QByteArrayList{"message 1 2 " + pdu}
            << QByteArray("AT+CMGR=1") << pduRead;
        // Text mode takes the length for the destination and the PDU for its text: 58 characters, packed
        // as septets behind the text-mode defaults (no SMSC, validity A7).
        QTest::newRow("PDU taken as text in text mode")
            << QStringList{"--text-mode"} << QByteArrayList{} << QByteArray("AT+CMGW=21") << pdu
            << QByteArrayList{"message 1 2 0011000281120000A73A"
                              "B05B2E26A3D96033580D0693C160B1180C061BE662329A0D3683C962B499AD0683C160301AEC46"
                              "84CD6E"
                              "B9618C182B0667B018"}
            << QByteArray("AT+CMGR=1") << "\r\n+CMGR: \"STO UNSENT\",\"21\"\r\n" + pdu + "\r\n\r\nOK\r\n";
        QTest::newRow("PDU stored once PDU mode selected")
            << QStringList{"--text-mode"} << QByteArrayList{"AT+CMGF=0"} << QByteArray("AT+CMGW=21") << pdu
            << QByteArrayList{"message 1 2 " + pdu} << QByteArray("AT+CMGR=1") << pduRead;
        QTest::newRow("text encoded as the worked example")
            << QStringList{"--text-mode"} << QByteArrayList{} << QByteArray("AT+CMGW=\"+420603123456\"")
            << QByteArray("Poplach")
            << QByteArrayList{"message 1 2 0011000C912460302143650000A707D0379C1D1EA301"}
            << QByteArray("AT+CMGR=1")
            << QByteArray("\r\n+CMGR: \"STO UNSENT\",\"+420603123456\"\r\nPoplach\r\n\r\nOK\r\n");
    }
    void storesInTheSelectedMemory() {
        QFETCH(QStringList, options);
        QFETCH(QByteArrayList, setup);
        QFETCH(QByteArray, write);
        QFETCH(QByteArray, body);
        QFETCH(QByteArrayList, stored);
        QFETCH(QByteArray, read);
        QFETCH(QByteArray, readReply);
        PhoneUnderTest phone(options + QStringList{"--no-echo"});
        for (const auto& line : setup)
            QCOMPARE(phone.command(line).right(6), QByteArray("\r\nOK\r\n"));
        QByteArray reply = phone.command(write);
        if (!body.isNull()) {
            QCOMPARE(reply, QByteArray("\r\n> "));
            phone.send(body + "\x1a");
            reply = phone.readReply();
        }
        QVERIFY2(reply.endsWith("\r\nOK\r\n"), reply.constData());
        QByteArrayList lines = phone.state().split('\n');
        lines.removeIf([](const QByteArray& line) {
            return line.isEmpty() || line.startsWith('#') || line.startsWith("centre ");
        });
        QCOMPARE(lines, stored);
        QCOMPARE(phone.command(read), readReply);
    }

    void refusesBadMessages_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("reply");
        const auto row = [](const char* name, const QByteArray& command, const QByteArray& body,
                            const QByteArray& reply, const QStringList& options = {}) {
            QTest::newRow(name) << options << command << body << reply;
        };
        row("length counts the SMSC part", "AT+CMGW=29", pdu + "\x1a", "\r\n+CMS ERROR: 304\r\n");
        row("odd number of digits", "AT+CMGW=21", pdu + "0\x1a", "\r\n+CMS ERROR: 304\r\n");
        row("not hex", "AT+CMGW=21", "G" + pdu.mid(1) + "\x1a", "\r\n+CMS ERROR: 304\r\n");
        row("SMSC part longer than the PDU", "AT+CMGW=1", "0791\x1a", "\r\n+CMS ERROR: 304\r\n");
        row("escape cancels", "AT+CMGW=21", pdu + "\x1b", "\r\nOK\r\n");
        row("text longer than one message", "AT+CMGW=21", QByteArray(161, 'a') + "\x1a",
            "\r\n+CMS ERROR: 305\r\n", {"--text-mode"});
        row("escape cancels a text", "AT+CMGW=21", "Poplach\x1b", "\r\nOK\r\n", {"--text-mode"});
    }
    void refusesBadMessages() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, reply);
        PhoneUnderTest phone(options + QStringList{"--no-echo"});
        phone.command("AT+CMEE=1");
        QCOMPARE(phone.command(command), QByteArray("\r\n> "));
        phone.send(body);
        QCOMPARE(phone.readReply(), reply);
        QCOMPARE(phone.command("AT+CPMS?"),
                 QByteArray("\r\n+CPMS: \"SM\",0,20,\"SM\",0,20,\"SM\",0,20\r\n\r\nOK\r\n"));
        QVERIFY(!phone.state().contains("message"));
    }

    void listsMessagesAsTextInTextMode() {
        // Received on 8 December 2026 at 21:00, one hour east of UTC.
        const QByteArray delivered = "00040C9124603021436500006221801200004007D0379C1D1EA301";
        // The same from an alphanumeric sender (type D0), 20 semi-octets of packed septets.
        const QByteArray fromName = "000414D04937BD2C7797E9D3E61400006221801200004007D0379C1D1EA301";
        PhoneUnderTest phone({"--text-mode", "--no-echo"}, "message 1 0 " + delivered + "\nmessage 2 3 " +
                                                               pdu + "\nmessage 3 1 " + fromName + "\n");
        QCOMPARE(
            phone.command("AT+CMGL=\"ALL\""),
            QByteArray(
                "\r\n+CMGL: 1,\"REC UNREAD\",\"+420603123456\",,\"26/12/08,21:00:00+04\"\r\nPoplach\r\n"
                "+CMGL: 2,\"STO SENT\",\"+420603123456\",,\r\nPoplach\r\n"
                "+CMGL: 3,\"REC READ\",\"InternetSMS\",,\"26/12/08,21:00:00+04\"\r\nPoplach\r\n\r\nOK\r\n"));
        QCOMPARE(phone.command("AT+CMGF=0;+CMGL=1;+CMGR=3"), // listed, so now read
                 "\r\n+CMGL: 1,1,,26\r\n" + delivered + "\r\n+CMGL: 3,1,,30\r\n" + fromName +
                     "\r\n+CMGR: 1,,30\r\n" + fromName + "\r\n\r\nOK\r\n");
    }

    void fullStoreAnswersAfterThePdu_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("size");
        QTest::newRow("common SIM") << QStringList{} << 20;
        QTest::newRow("short SIM") << QStringList{"--sms-size", "3"} << 3;
    }
    void fullStoreAnswersAfterThePdu() {
        QFETCH(QStringList, options);
        QFETCH(int, size);
        QByteArray preload;
        for (int i = 1; i <= size; ++i)
            preload += "message " + QByteArray::number(i) + " 3 " + pdu + "\n";
        PhoneUnderTest phone(options + QStringList{"--no-echo"}, preload);
        phone.command("AT+CMEE=1");
        QCOMPARE(phone.command("AT+CMGW=21"), QByteArray("\r\n> "));
        phone.send(pdu + "\x1a");
        QCOMPARE(phone.readReply(), QByteArray("\r\n+CMS ERROR: 322\r\n"));
        // The delete flags: 2 takes read and sent messages, so all of these.
        QCOMPARE(phone.command("AT+CMGD=1,2"), QByteArray("\r\nOK\r\n"));
        const QByteArray counts = "0," + QByteArray::number(size);
        QCOMPARE(phone.command("AT+CPMS?"), "\r\n+CPMS: \"SM\"," + counts + ",\"SM\"," + counts + ",\"SM\"," +
                                                counts + "\r\n\r\nOK\r\n");
    }

    void takesInputInAnyChunks_data() {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("one byte at a time") << QByteArrayList{"A", "T", "+", "C", "G", "M", "R", "\r"}
                                            << QByteArray("AT+CGMR\r\r\n1.0\r\n\r\nOK\r\n");
        QTest::newRow("two commands in one chunk")
            << QByteArrayList{"AT\rAT+CGMR\r"} << QByteArray("AT\r\r\nOK\r\nAT+CGMR\r\r\n1.0\r\n\r\nOK\r\n");
        // LF is echoed like every byte but neither ends nor starts a command.
        QTest::newRow("LF after CR") << QByteArrayList{"AT\r\n", "AT+CGMR\r\n"}
                                     << QByteArray("AT\r\r\nOK\r\n\nAT+CGMR\r\r\n1.0\r\n\r\nOK\r\n\n");
        QTest::newRow("backspace edits the line")
            << QByteArrayList{"AT+CGMX\b", "R\r"} << QByteArray("AT+CGMX\bR\r\r\n1.0\r\n\r\nOK\r\n");
    }
    void takesInputInAnyChunks() {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QByteArray, reply);
        PhoneUnderTest phone;
        QByteArray got;
        for (const auto& chunk : chunks) {
            phone.send(chunk);
            // Its echo back means the phone has read this chunk before the next is written.
            const qsizetype before = got.size();
            got += phone.readUntil([&](const QByteArray& more) { return more.size() >= chunk.size(); });
            QVERIFY(got.size() >= before + chunk.size());
        }
        got +=
            phone.readUntil([&](const QByteArray& more) { return got.size() + more.size() >= reply.size(); });
        QCOMPARE(got, reply);
        QCOMPARE(phone.readFor(100), QByteArray());
    }

    void switchedOffReadsButNeverAnswers() {
        PhoneUnderTest phone({"--off"});
        phone.send("AT\r");
        QCOMPARE(phone.readFor(500), QByteArray());
        QVERIFY(phone.log().contains(" in AT\\r\n"));
    }

    void delaysTheReplyButNotTheEcho() {
        PhoneUnderTest phone({"--delay", "400"});
        QElapsedTimer clock;
        clock.start();
        phone.send("AT\r");
        QCOMPARE(phone.readUntil([](const QByteArray& got) { return got.size() >= 3; }), QByteArray("AT\r"));
        QVERIFY(clock.elapsed() < 300);
        QCOMPARE(phone.readReply(), QByteArray("\r\nOK\r\n"));
        QVERIFY2(clock.elapsed() >= 390, qPrintable(QString::number(clock.elapsed())));
    }

    void holdsBackWhatWaitsForTheSim() {
        PhoneUnderTest phone({"--delay", "200", "--sim-delay", "1000"});
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(phone.command("AT+CPBR=1"), QByteArray("AT+CPBR=1\r\r\nOK\r\n"));
        QVERIFY2(clock.elapsed() >= 1200, qPrintable(QString::number(clock.elapsed())));
        // Each access of a line takes its time.
        clock.restart();
        QCOMPARE(phone.command("AT+CPBR=1;+CPBW=2"), QByteArray("AT+CPBR=1;+CPBW=2\r\r\nOK\r\n"));
        QVERIFY2(clock.elapsed() >= 2200, qPrintable(QString::number(clock.elapsed())));
        clock.restart();
        QCOMPARE(phone.command("AT+CMGW=21"), QByteArray("AT+CMGW=21\r\r\n> "));
        QVERIFY2(clock.elapsed() >= 200 && clock.elapsed() < 1000,
                 qPrintable(QString::number(clock.elapsed())));
        clock.restart();
        phone.send(pdu + "\x1a");
        QCOMPARE(phone.readReply(), pdu + "\r\n+CMGW: 1\r\n\r\nOK\r\n");
        QVERIFY2(clock.elapsed() >= 1200, qPrintable(QString::number(clock.elapsed())));
    }

    void simLoadsForAWhileAfterItsPin() {
        PhoneUnderTest phone({"--pin", "1234", "--pin-busy", "300", "--no-echo"});
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(phone.command("AT+CMEE=1;+CPIN=\"1234\";+CPBR=1"), QByteArray("\r\n+CME ERROR: 14\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(phone.command("AT+CPBR=1"), QByteArray("\r\nOK\r\n"), 5000);
        QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));
    }

    void splitsTheReplyInTwo() {
        PhoneUnderTest phone({"--split", "400"});
        QElapsedTimer clock;
        clock.start();
        phone.send("AT\r");
        QCOMPARE(phone.readUntil([](const QByteArray& got) { return got.size() >= 6; }),
                 QByteArray("AT\r\r\nO"));
        QCOMPARE(phone.readFor(250), QByteArray());
        QCOMPARE(phone.readReply(), QByteArray("K\r\n"));
        QVERIFY2(clock.elapsed() >= 390, qPrintable(QString::number(clock.elapsed())));
    }

    void strictPhoneLosesWhatComesWhileItWorks() {
        PhoneUnderTest phone({"--strict", "--sim-delay", "1500"});
        phone.send("AT+CPBR=1\r");
        QCOMPARE(phone.readUntil([](const QByteArray& got) { return got.size() >= 10; }),
                 QByteArray("AT+CPBR=1\r"));
        phone.send("AT\r"); // while the answer is held back
        QCOMPARE(phone.readReply(), QByteArray("\r\nOK\r\n"));
        // The PDU comes with its command, before the prompt, so the phone still waits for it.
        phone.send("AT+CMGW=21\r" + pdu + "\x1a");
        QCOMPARE(phone.readReply(), QByteArray("AT+CMGW=21\r\r\n> "));
        phone.send("\x1b");
        QCOMPARE(phone.readReply(), QByteArray("\r\nOK\r\n"));
        QVERIFY(phone.log().contains("\n# dropped AT\\r\n"));
        QVERIFY(phone.log().contains("\n# dropped " + pdu + "\\x1A\n"));
    }

    void sendsUnsolicitedCodesOnlyBetweenCommands() {
        PhoneUnderTest phone({"--urc", "+CREG: 1", "--urc-every", "100"});
        const QByteArray urc = "\r\n+CREG: 1\r\n";
        QCOMPARE(phone.readUntil([&](const QByteArray& got) { return got.count(urc) >= 2; }), urc + urc);
        phone.send("AT");
        QCOMPARE(phone.readFor(350), QByteArray("AT")); // a half-typed command holds the codes back
        phone.send("\r");
        const QByteArray got = phone.readUntil([&](const QByteArray& got) { return got.contains(urc); });
        QCOMPARE(got, "\r\r\nOK\r\n" + urc);
    }

    void pacesRepliesAtTheLineRate() {
        QByteArray preload;
        for (int i = 1; i <= 20; ++i)
            preload += "entry " + QByteArray::number(i) + " \"+420603123456\" 145 \"Name " +
                       QByteArray::number(i) + "\"\n";
        PhoneUnderTest phone({"--paced"}, preload);
        QElapsedTimer clock;
        clock.start();
        const QByteArray reply = phone.command("AT+CPBR=1,20");
        const qint64 elapsed = clock.elapsed();
        QVERIFY(reply.endsWith("+CPBR: 20,\"+420603123456\",145,\"Name 20\"\r\n\r\nOK\r\n"));
        const double expectedMs = reply.size() * 10 * 1000.0 / 19200;
        QVERIFY2(elapsed >= expectedMs * 0.9 && elapsed < expectedMs * 2 + 200,
                 qPrintable(QString("%1 bytes in %2 ms").arg(reply.size()).arg(elapsed)));
    }

    void servesAgainAfterThePortIsReopened() {
        PhoneUnderTest phone;
        QCOMPARE(phone.command("AT"), QByteArray("AT\r\r\nOK\r\n"));
        phone.close();
        phone.open();
        QVERIFY(phone.isOpen());
        QCOMPARE(phone.command("AT+CGMR"), QByteArray("AT+CGMR\r\r\n1.0\r\n\r\nOK\r\n"));
        // Half a command left behind joins the next line, as on a phone, which cannot see the close;
        // the line after that is clean again.
        phone.send("AT+CG");
        QCOMPARE(phone.readUntil([](const QByteArray& got) { return got.size() >= 5; }), QByteArray("AT+CG"));
        phone.close();
        phone.open();
        QCOMPARE(phone.command("AT"), QByteArray("AT\r\r\nERROR\r\n"));
        QCOMPARE(phone.command("AT"), QByteArray("AT\r\r\nOK\r\n"));
    }

    void linksThePortAndRemovesTheLinkAtTheEnd() {
        QTemporaryDir dir;
        const QString link = dir.filePath("dosdevices/com1");
        PhoneUnderTest phone({"--link", link});
        QCOMPARE(QFileInfo(link).symLinkTarget(), phone.device);
        QCOMPARE(phone.stop(), 0);
        QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    }

    void leavesForeignFilesAlone() {
        QTemporaryDir dir;
        const QString path = dir.filePath("com1");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("mine");
        file.close();
        PhoneUnderTest phone({"--link", path});
        QVERIFY(phone.device.isEmpty()); // refused before it printed a device
        QCOMPARE(readFile(path), QByteArray("mine"));
    }

    void keepsItsSimInTheStateFile() {
        const QByteArray preload = "# a preloaded SIM\n"
                                   "centre \"+420602909909\" 145\n"
                                   "entry 1 \"+420603123456\" 145 \"Priklad\"\n"
                                   "entry 4 \"603\" 129 \"\\E8\\22\"\n"
                                   "message 2 0 " +
                                   pdu + "\n";
        PhoneUnderTest phone({"--no-echo"}, preload);
        QCOMPARE(phone.command("AT+CPBR=1,4"), QByteArray("\r\n+CPBR: 1,\"+420603123456\",145,\"Priklad\"\r\n"
                                                          "+CPBR: 4,\"603\",129,\"\xe8\\22\"\r\n\r\nOK\r\n"));
        QCOMPARE(phone.command("AT+CSCA?"), QByteArray("\r\n+CSCA: \"+420602909909\",145\r\n\r\nOK\r\n"));
        QCOMPARE(phone.state(), preload); // reading alone changes nothing
        // Reading an unread message marks it read, as on a SIM.
        QCOMPARE(phone.command("AT+CMGR=2"), "\r\n+CMGR: 0,,21\r\n" + pdu + "\r\n\r\nOK\r\n");
        phone.command("AT+CPBW=1");
        phone.command("AT+CPBW=2,\"+420777000111\",,\"Nov\xfd\"");
        // Each name with its coding: a letter the SIM's alphabet lacks makes it UCS2.
        phone.command("AT+CSCS=\"UCS2\"");
        phone.command("AT+CPBW=3,\"3\",,\"0043006100730079\"");
        phone.command("AT+CSCS=\"GSM\"");
        phone.command("AT+CPBW=5,\"5\",,\"Setup\"");
        const QByteArray expected = "centre \"+420602909909\" 145\n"
                                    "entry 2 \"+420777000111\" 145 \"Nov\\FD\" ucs2\n"
                                    "entry 3 \"3\" 129 \"Casy\" ucs2\n"
                                    "entry 4 \"603\" 129 \"\\E8\\22\" ucs2\n"
                                    "entry 5 \"5\" 129 \"Setup\" gsm\n"
                                    "message 2 1 " +
                                    pdu + "\n";
        QVERIFY2(phone.state().endsWith(expected), phone.state().constData());
        QCOMPARE(QDir(QFileInfo(phone.statePath()).path()).entryList(QDir::Files),
                 (QStringList{"phone.log", "sim.txt"})); // no temporary file left behind

        // The same file makes the same SIM again.
        PhoneUnderTest again({"--no-echo"}, phone.state());
        QCOMPARE(again.command("AT+CPBR=2"),
                 QByteArray("\r\n+CPBR: 2,\"+420777000111\",145,\"Nov\xfd\"\r\n\r\nOK\r\n"));
    }

    void refusesAMalformedStateFile_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("content");
        const auto row = [](const char* name, const QByteArray& content, const QStringList& options = {}) {
            QTest::newRow(name) << options << content;
        };
        row("unknown keyword", "phone 1\n");
        row("index twice", "entry 1 \"1\" 129 \"a\"\nentry 1 \"2\" 129 \"b\"\n");
        row("index outside the SIM", "entry 101 \"1\" 129 \"a\"\n");
        row("name too long", "entry 1 \"1\" 129 \"123456789012345\"\n");
        row("unclosed quote", "entry 1 \"1\" 129 \"a\n");
        row("PDU not hex", "message 1 2 07XYZ\n");
        row("entry beyond a short phonebook", "entry 6 \"1\" 129 \"a\"\n", {"--phonebook-size", "5"});
        row("name beyond a short limit", "entry 1 \"1\" 129 \"123456789\"\n", {"--name-length", "8"});
        row("name beyond its room in bytes", "entry 1 \"1\" 129 \"\\E8123456\" ucs2\n",
            {"--name-bytes", "14"});
        row("GSM coding for a letter the alphabet lacks", "entry 1 \"1\" 129 \"\\E8\" gsm\n");
        row("unknown coding", "entry 1 \"1\" 129 \"a\" utf8\n");
        row("message beyond a short store", "message 4 2 " + pdu + "\n", {"--sms-size", "3"});
    }
    void refusesAMalformedStateFile() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, content);
        PhoneUnderTest phone(options, content);
        QVERIFY(phone.device.isEmpty());
        QVERIFY(phone.stop() != 0);
        QCOMPARE(phone.state(), content); // never overwritten with a blank SIM
    }

    void logsEveryByteWithItsTime() {
        PhoneUnderTest phone;
        phone.command("AT+CMGW=21");
        phone.send(pdu + "\x1a");
        phone.readReply();
        // A chunk is logged once written, so its line may come a moment after the bytes.
        QTRY_VERIFY(phone.log().contains("OK\\r\\n\n"));
        const QList<QByteArray> lines = phone.log().split('\n');
        QList<QByteArray> traffic;
        double last = -1;
        for (const auto& line : lines) {
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QList<QByteArray> fields = line.split(' ');
            const double ms = fields.value(0).toDouble();
            QVERIFY2(ms >= last, line.constData());
            last = ms;
            traffic << line.mid(line.indexOf(' ') + 1);
        }
        QCOMPARE(traffic,
                 (QList<QByteArray>{"in AT+CMGW=21\\r", "out AT+CMGW=21\\r\\r\\n> ", "in " + pdu + "\\x1A",
                                    "out " + pdu + "\\r\\n+CMGW: 1\\r\\n\\r\\nOK\\r\\n"}));
    }
};

QTEST_GUILESS_MAIN(VirtualPhoneTest)
#include "test_virtual_phone.moc"
