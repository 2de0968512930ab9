// Faults on the line and on disk, through the whole main window: a cable pulled mid-transfer, a
// device that vanishes, floods, phone quirks, a second copy on the port, an unusable settings file
// and saves that fail. Every case must leave the tool responsive, idle and with the user's data;
// the last line sums them up.
#include "app/AlarmApplication.h"
#include "fault_fixture.h"
#include "support/file_size_limit.h"
#include "support/live_phone.h"

#include <algorithm>
#include <cstdio>
#include <QRandomGenerator>

using namespace std::string_literals;

namespace {

const QString kPhoneSilent = QString::fromUtf8("POZOR - telefon nekomunikuje !");
const QString kNoConfiguration = QString::fromUtf8("POZOR - na SIM není uložena konfigurace (pozice 5, 6) !");
const QString kPortCom1Pulled = QString::fromUtf8("Port COM1 byl odpojen.");

// A fault must never cost data the user has on a page; counted apart from other failures.
#define KEEPS_USER_DATA(condition, shown)                                                                    \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            ++m_tally.userDataLost;                                                                          \
            QFAIL(qPrintable(QStringLiteral("user data lost: %1").arg(shown)));                              \
        }                                                                                                    \
    } while (0)

QString codesOf(TForm1& window) {
    return QString::fromStdString(window.configurationPage().staticText1() + " " +
                                  window.configurationPage().staticText2());
}

// Each field as the user left it, as the SIM holds it, or blank (a read empties its page once the
// phone has answered the probe): nothing cut, shifted or invented.
bool eachFieldFrom(const QStringList& now, const QStringList& before, const QStringList& sim) {
    for (int i = 0; i < now.size(); ++i)
        if (now[i] != before[i] && now[i] != sim[i] && !now[i].isEmpty())
            return false;
    return true;
}

// A phone that stops answering is told as silent, or as not having confirmed or read what it was
// sent.
bool isPhoneWarning(const ScriptedDialogs::Shown& box) {
    return box.kind == "warning" && (box.text == kPhoneSilent ||
                                     box.text.startsWith(QString::fromUtf8("POZOR - telefon nepotvrdil ")) ||
                                     box.text.startsWith(QString::fromUtf8("POZOR - telefon neodpověděl ")));
}

// A pulled cable is told once, and only after the exchange it cut short has ended, which may have
// told what the phone did not answer or confirm.
bool pullToldOnceAtTheEnd(const ScriptedDialogs& dialogs) {
    return !dialogs.shown.empty() && dialogs.shown.back().text == kPortCom1Pulled &&
           std::all_of(dialogs.shown.begin(), dialogs.shown.end() - 1, isPhoneWarning);
}

QString describe(const IdleMeasure& m) {
    return QStringLiteral("CPU %1 ms, %2 of %3 timer ticks")
        .arg(m.cpuMs, 0, 'f', 1)
        .arg(m.timerTicks)
        .arg(m.expectedTicks);
}

// Idle after a fault: the event loop keeps its pace and the engine does not spin. The receive
// thread wakes every 200 ms; a spinning one would eat a whole core.
#define VERIFY_QUIET_AND_RESPONSIVE()                                                                        \
    do {                                                                                                     \
        const IdleMeasure measure = idleFor(1000);                                                           \
        QVERIFY2(measure.cpuMs < 150, qPrintable(describe(measure)));                                        \
        QVERIFY2(measure.timerTicks >= measure.expectedTicks / 2, qPrintable(describe(measure)));            \
    } while (0)

// What the pages show of kSimWithData.
const QStringList kSimNumbers = {"+420603123456", "Domov", "+420777000111", "Prace", "", "", "", ""};
const QStringList kSimMessages = {"+420603123456", "Poplach", "", "", "", "", "", ""};
const QString kSimCodes = "+000001101011 +000000001235";
// Under a flood the line is read once per 250 ms reply settle; the event loop must keep its turns.
constexpr int kFloodTurnMs = 500;

// The phone numbers written by the write rows: a 12-character name, an empty position deleted.
const QStringList kNumbersToWrite = {"+420111111111", "Domov", "+420222222222", "Prace dlouha", "", "",
                                     "+420444444444", "d"};

QString unconfirmed(const char* what, const char* positions) {
    return QString::fromUtf8("POZOR - telefon nepotvrdil %1 %2 !").arg(QString::fromUtf8(what), positions);
}

const QStringList kUserRows = {"+420111111111", "a", "+420222222222", "b",
                               "+420333333333", "c", "+420444444444", "d"};

const QString kPin = "1234";

// The boxes that told the user something, without the PIN dialog.
QStringList toldBoxes(const ScriptedDialogs& dialogs) {
    QStringList texts;
    for (const auto& box : dialogs.shown)
        if (box.kind != "pin")
            texts << box.text;
    return texts;
}

// What the phone says of the settings other programs rely on (character set, message format,
// error codes), asked through the tool's port between exchanges: "+CSCS: "GSM" +CMGF: 0 +CMEE: 0".
QByteArray settingsOf(const LivePhone& phone, TForm1& window) {
    const qsizetype from = phone.log().size();
    window.AfComPort1().SendText("AT+CSCS?;+CMGF?;+CMEE?\r");
    QByteArray said;
    QElapsedTimer waited;
    waited.start();
    while (!said.contains("OK\\r\\n") && waited.elapsed() < 5000) {
        QTest::qWait(20);
        said = phone.log().mid(from);
        said = said.mid(std::max<qsizetype>(said.indexOf("+CSCS:"), 0));
    }
    QByteArrayList settings;
    for (const char* prefix : {"+CSCS:", "+CMGF:", "+CMEE:"}) {
        const qsizetype at = said.indexOf(prefix);
        settings << (at < 0 ? QByteArray(prefix) + " ?" : said.mid(at, said.indexOf('\\', at) - at));
    }
    return settings.join(' ');
}

// Another program that trusts the phone's character set (python3-gammu) writes an entry to it.
const char* const kGammuWrites = R"(
import sys, gammu
machine = gammu.StateMachine()
machine.SetConfig(0, {"Device": sys.argv[1], "Connection": "at19200"})
machine.Init()
machine.SetMemory({"MemoryType": "SM", "Location": 7, "Entries": [
    {"Type": "Number_General", "Value": "+420777777777"}, {"Type": "Text_Name", "Value": "Soused"}]})
machine.Terminate()
)";

bool anotherProgramWrites(const LivePhone& phone) {
    QProcess gammu;
    gammu.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gammu.start("/usr/bin/python3",
                {"-c", kGammuWrites, QDir(phone.settingsDirectory()).filePath("dosdevices/com1")});
    return gammu.waitForFinished(60000) && gammu.exitCode() == 0 &&
           phone.state().contains("entry 7 \"+420777777777\" 145 \"Soused\" gsm");
}

// The exchanges of the three pages, each with the button that starts it.
const QList<std::pair<const char*, const char*>> kExchanges = {
    {"configuration write", "BitBtn3"}, {"configuration read", "Button1"}, {"phone-number write", "Button2"},
    {"phone-number read", "Button1"},   {"SMS store", "Button3"},          {"SMS read", "Button1"},
    {"SMS delete-all", "Button4"}};

// A SIM that asks for its PIN gets it through the dialog; nothing else is asked or told.
bool boxesOnlyForThePin(const ScriptedDialogs& dialogs, const QStringList& options) {
    for (const auto& box : dialogs.shown)
        if (box.kind != "pin" || !options.contains("--pin"))
            return false;
    return dialogs.shown.size() == (options.contains("--pin") ? 1u : 0u);
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
    FaultTally m_tally;

    // After the fault the phone is back; choosing the port again and reading must just work.
    void verifyWorksAgain(LivePhone& phone, Tool& tool) {
        phone.restart({});
        QVERIFY(tool.choosePort(1));
        tool.dialogs.shown.clear();
        const PageProbe numbers = PageProbe::numbers(*tool.window);
        numbers.click("Button1");
        QVERIFY(!numbers.idle());
        QTRY_VERIFY_WITH_TIMEOUT(numbers.idle(), 5000);
        QVERIFY(phone.log().contains("AT+CPBR=4"));
        QVERIFY2(tool.dialogs.shown.empty(), qPrintable(tool.dialogs.texts().join(" | ")));
    }

private slots:
    void init() { ++m_tally.tried; }
    void cleanup() {
        if (!QTest::currentTestFailed())
            ++m_tally.survived;
        static_cast<AlarmApplication*>(QCoreApplication::instance())->setErrorReport(nullptr);
    }
    void cleanupTestCase() {
        std::printf("faults: %d tried, %d survived, %d user data lost\n", m_tally.tried, m_tally.survived,
                    m_tally.userDataLost);
        std::fflush(stdout);
        QCOMPARE(m_tally.userDataLost, 0);
    }

    void cablePulledMidTransfer_data() {
        QTest::addColumn<QString>("exchange");
        QTest::newRow("SMS store") << "sms store";
        QTest::newRow("phone-number read") << "numbers read";
        QTest::newRow("configuration write") << "configuration write";
    }
    void cablePulledMidTransfer() {
        QFETCH(QString, exchange);
        LivePhone phone;
        Tool tool(phone.settingsDirectory());
        static_cast<AlarmApplication*>(QCoreApplication::instance())->setErrorReport(&tool.errors);
        QVERIFY(tool.choosePort(1));
        const QString codesBefore = codesOf(*tool.window);

        if (exchange == "sms store") {
            QWidget& form = tool.window->smsPage();
            const PageProbe page = PageProbe::sms(*tool.window);
            const QStringList before = fieldsOf(form);
            // Halfway: after the selections, the backup's four reads, the deletes and the first
            // message, before the second.
            tool.pause.armAt(7, [&] { phone.stop(); });
            page.click("Button3"); // the whole store runs inside the click
            QVERIFY(tool.pause.fired());
            QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 5000);
            KEEPS_USER_DATA(fieldsOf(form) == before, fieldsOf(form).join(", "));
            QCOMPARE(tool.dialogs.texts().first(),
                     QString::fromUtf8("POZOR - telefon nepotvrdil uložení SMS na pozice: 2, 3, 4 !"));
        } else if (exchange == "numbers read") {
            QWidget& form = tool.window->numbersPage();
            const PageProbe page = PageProbe::numbers(*tool.window);
            setFields(form, kUserRows);
            // Before the second position: the selections, the switch to UCS2 for reading names and
            // the first read went before.
            tool.pause.armAt(4, [&] { phone.stop(); });
            page.click("Button1");
            QTRY_VERIFY_WITH_TIMEOUT(tool.pause.fired(), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 10000);
            // A read that could not read every position changes nothing.
            KEEPS_USER_DATA(fieldsOf(form) == kUserRows, fieldsOf(form).join(", "));
        } else {
            const PageProbe page = PageProbe::configuration(*tool.window);
            // Before the line of both phonebook writes, after the selections and the backup's reads
            // with their switches to UCS2 and back.
            tool.pause.armAt(6, [&] { phone.stop(); });
            page.click("BitBtn3");
            QTRY_VERIFY_WITH_TIMEOUT(tool.pause.fired(), 5000);
            QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 5000);
            KEEPS_USER_DATA(codesOf(*tool.window) == codesBefore, codesOf(*tool.window));
            // Nothing reached the phone after the pull, so only the pull is told (below).
            QVERIFY(!phone.state().contains("entry 5 "));
            QVERIFY2(tool.dialogs.shown.empty(), qPrintable(tool.dialogs.texts().join(" | ")));
        }
        QTRY_VERIFY2_WITH_TIMEOUT(pullToldOnceAtTheEnd(tool.dialogs),
                                  qPrintable(tool.dialogs.texts().join(" | ")), 5000);
        QVERIFY(!tool.window->AfComPort1().IsOpen());
        VERIFY_QUIET_AND_RESPONSIVE();
        QVERIFY2(pullToldOnceAtTheEnd(tool.dialogs), qPrintable(tool.dialogs.texts().join(" | ")));
        verifyWorksAgain(phone, tool);
    }

    // A phone that hangs in the middle of a store with its line still there: the command waits its
    // time, the store ends naming what was not stored, and nothing is sent after it but ESC and what
    // puts back the settings the store changed.
    void phoneHangsMidStore() {
        LivePhone phone;
        Tool tool(phone.settingsDirectory());
        QVERIFY(tool.choosePort(1));
        const PageProbe page = PageProbe::sms(*tool.window);
        const QStringList before = fieldsOf(page.form());
        tool.pause.armAt(7, [&] { phone.freeze(); }); // before the second message, after the backup's reads
        page.click("Button3");
        QVERIFY(tool.pause.fired());
        QVERIFY(page.idle());
        QCOMPARE(tool.dialogs.texts(), QStringList{unconfirmed("uložení SMS na pozice:", "2, 3, 4")});
        KEEPS_USER_DATA(fieldsOf(page.form()) == before, fieldsOf(page.form()).join(", "));
        phone.thaw();
        QTRY_VERIFY(phone.log().contains("\\x1B"));
        // The error codes it switched on go back off, once the phone listens again.
        QTRY_VERIFY(phone.log().contains("AT+CMEE=0\\r"));
        QTest::qWait(300);
        QStringList stores;
        for (const auto& each : phone.received())
            if (each.text.startsWith("AT+CMGW") || each.text.endsWith('\x1A'))
                stores << QString::fromLatin1(each.text.left(10));
        QCOMPARE(stores, (QStringList{"AT+CMGW=17", "0791246030", "AT+CMGW=17"}));
        QVERIFY(phone.state().contains("\nmessage 1 ") && !phone.state().contains("\nmessage 2 "));
        VERIFY_QUIET_AND_RESPONSIVE();
    }

    void deviceVanishesWhileOpen() {
        QTemporaryDir dir;
        auto device = std::make_unique<BarePhone>(dir.path(), 1);
        Tool tool(dir.path());
        QVERIFY(tool.choosePort(1));
        device->vanish();
        QTRY_VERIFY_WITH_TIMEOUT(!tool.dialogs.shown.empty(), 5000);
        QVERIFY(!tool.window->AfComPort1().IsOpen());
        QVERIFY(!tool.window->portItem(1).isChecked());
        VERIFY_QUIET_AND_RESPONSIVE();
        QCOMPARE(tool.dialogs.texts(), QStringList{kPortCom1Pulled});
    }

    void floods_data() {
        QTest::addColumn<QString>("flood");
        QTest::newRow("a megabyte of random bytes") << "random";
        QTest::newRow("endless unsolicited result codes") << "urc";
        QTest::newRow("binary junk between replies") << "junk";
    }
    void floods() {
        QFETCH(QString, flood);
        QTemporaryDir dir;
        std::unique_ptr<LivePhone> phone;
        std::unique_ptr<BarePhone> bare;
        QString settings = dir.path();
        if (flood == "urc") {
            phone = std::make_unique<LivePhone>(QStringList{"--urc", "+CMTI: \"SM\",1", "--urc-every", "2"});
            settings = phone->settingsDirectory();
        } else {
            bare = std::make_unique<BarePhone>(settings, 1);
        }
        Tool tool(settings);
        QVERIFY(tool.choosePort(1));
        tool.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(tool.window.get()));
        const long residentBefore = residentKb();

        const PageProbe configuration = PageProbe::configuration(*tool.window);
        const QString codesBefore = codesOf(*tool.window);
        if (flood == "random") {
            std::string bytes(1 << 20, '\0');
            QRandomGenerator generator(20240611);
            generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / sizeof(quint32));
            bare->flood(std::move(bytes));
            PaintCounter counter(*tool.window);
            QElapsedTimer flooding;
            flooding.start();
            while (bare->flooding() && flooding.elapsed() < 120000) {
                const int paintsBefore = counter.paints;
                tool.window->update();
                const IdleMeasure measure = idleFor(1000);
                QVERIFY2(measure.timerTicks >= 1000 / kFloodTurnMs, qPrintable(describe(measure)));
                QVERIFY2(counter.paints > paintsBefore, "the window repaints during the flood");
            }
            QVERIFY2(!bare->flooding(), "the tool takes in a megabyte within two minutes");
            bare->join();
            qInfo("a megabyte taken in %lld ms", flooding.elapsed());
            // What is still on the line would come in front of the next probe's answer.
            QTRY_COMPARE_WITH_TIMEOUT(bare->unreadByTool(), 0, 10000);
            QTest::qWait(300);
            bare->answer();
        } else if (flood == "urc") {
            const IdleMeasure measure = idleFor(2000);
            QVERIFY2(measure.timerTicks >= 2000 / kFloodTurnMs, qPrintable(describe(measure)));
            // Amid the codes the read still finds the empty SIM, and invents no codes.
            configuration.click("Button1");
            QTRY_VERIFY_WITH_TIMEOUT(configuration.idle(), 20000);
            QCOMPARE(tool.dialogs.texts(), QStringList{kNoConfiguration});
            KEEPS_USER_DATA(codesOf(*tool.window) == codesBefore, codesOf(*tool.window));
        } else {
            std::string junk = "\x01\xff\x80\x1b\x00\x1a\x7f\r\x0b+CPBR: \xfe"s;
            bare->answer(junk);
        }
        const long residentAfter = residentKb();
        QVERIFY2(residentAfter - residentBefore < 32 * 1024,
                 qPrintable(QStringLiteral("RSS %1 kB -> %2 kB").arg(residentBefore).arg(residentAfter)));

        // A normal exchange afterwards.
        tool.dialogs.shown.clear();
        if (phone) {
            verifyWorksAgain(*phone, tool);
            return;
        }
        configuration.click("Button1");
        QTRY_VERIFY_WITH_TIMEOUT(configuration.idle(), 10000);
        QCOMPARE(tool.dialogs.texts(), QStringList{kNoConfiguration});
        KEEPS_USER_DATA(codesOf(*tool.window) == codesBefore, codesOf(*tool.window));
        tool.dialogs.shown.clear();
        const PageProbe numbers = PageProbe::numbers(*tool.window);
        setFields(tool.window->numbersPage(), kUserRows);
        numbers.click("Button1");
        QTRY_VERIFY_WITH_TIMEOUT(numbers.idle(), 10000);
        QVERIFY2(tool.dialogs.shown.empty(), qPrintable(tool.dialogs.texts().join(" | ")));
        KEEPS_USER_DATA(
            eachFieldFrom(fieldsOf(tool.window->numbersPage()), kUserRows, QStringList(8, QString())),
            fieldsOf(tool.window->numbersPage()).join(", "));
    }

    // Phones as they come: every read shows exactly what the SIM holds, with no box.
    void readsShowTheSim_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("exchange");
        for (const auto& [name, options] : phonesAsTheyCome())
            for (const char* exchange : {"configuration read", "phone-number read", "SMS read"})
                QTest::addRow("%s, %s", name, exchange) << options << QString(exchange);
    }
    void readsShowTheSim() {
        QFETCH(QStringList, options);
        QFETCH(QString, exchange);
        LivePhone phone(options);
        phone.preloadState(kSimWithData);
        Tool tool(phone.settingsDirectory());
        tool.dialogs.pins.push_back(kPin);
        QVERIFY(tool.choosePort(1));

        const PageProbe page = exchange == "configuration read"  ? PageProbe::configuration(*tool.window)
                               : exchange == "phone-number read" ? PageProbe::numbers(*tool.window)
                                                                 : PageProbe::sms(*tool.window);
        if (exchange != "configuration read")
            setFields(page.form(), kUserRows);
        page.click("Button1");
        QTRY_VERIFY_WITH_TIMEOUT(!page.idle(), 2000);
        QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 30000);
        QVERIFY2(boxesOnlyForThePin(tool.dialogs, options), qPrintable(tool.dialogs.texts().join(" | ")));
        if (exchange == "configuration read")
            QCOMPARE(codesOf(*tool.window), kSimCodes);
        else
            QCOMPARE(fieldsOf(page.form()), exchange == "phone-number read" ? kSimNumbers : kSimMessages);
    }

    // Every write ends confirmed by the phone or with one box that names what was not; the SIM holds
    // what the tool says it holds, whichever mode or memory the phone was left in.
    void verifiedWrites_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("exchange");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QByteArray>("simHolds");
        QTest::addColumn<QByteArray>("simLacks");
        QTest::addColumn<QByteArray>("sim");
        const QByteArray preloaded =
            "\nmessage 1 2 079124603050020011000C9124603021436500000407D0379C1D1EA301";
        const QList<std::tuple<const char*, QByteArray, QByteArray>> confirmed = {
            {"configuration write", "\nentry 6 \"+000000000000\" 145 \"Casy\"", "\nme-entry"},
            {"phone-number write", "\nentry 2 \"+420222222222\" 145 \"Prace dlouha\"", "\nentry 3 "},
            {"SMS store", "\nmessage 4 2 07", preloaded},
            {"SMS delete-all", "\nentry 1 ", "\nmessage "},
        };
        auto goodPhones = phonesAsTheyCome();
        goodPhones.append(
            {{"unsolicited codes every 150 ms", {"--urc", "+CMTI: \"SM\",9", "--urc-every", "150"}},
             {"text mode left on", {"--text-mode"}},
             {"phone memory selected", {"--phone-memory"}}});
        for (const auto& [phone, options] : goodPhones)
            for (const auto& [exchange, holds, lacks] : confirmed)
                QTest::addRow("%s, %s", phone, exchange)
                    << options << QString(exchange) << QStringList{} << holds << lacks << kSimWithData;

        QTest::newRow("phone off, SMS store")
            << QStringList{"--off"} << "SMS store" << QStringList{kPhoneSilent} << preloaded
            << QByteArray("\nmessage 2 ") << kSimWithData;
        QTest::newRow("phone off, SMS delete-all")
            << QStringList{"--off"} << "SMS delete-all" << QStringList{kPhoneSilent} << preloaded
            << QByteArray() << kSimWithData;
        QTest::newRow("SIM with room for three messages")
            << QStringList{"--sms-size", "3"} << "SMS store"
            << QStringList{unconfirmed("uložení SMS na pozice:", "4") + "\n+CMS ERROR: 322"}
            << QByteArray("\nmessage 3 2 07") << QByteArray("\nmessage 4 ") << kSimWithData;
        QTest::newRow("name longer than the SIM takes")
            << QStringList{"--name-length", "8"} << "phone-number write"
            << QStringList{unconfirmed("zápis na pozice:", "2") + "\n+CME ERROR: 24"}
            << QByteArray("\nentry 4 ") << QByteArray("\nentry 2 \"+420222222222\"") << kSimWithData;
        // The backup's read of positions 5 and 6 is refused already, so nothing is written.
        QTest::newRow("phonebook of four entries")
            << QStringList{"--phonebook-size", "4"} << "configuration write"
            << QStringList{QString::fromUtf8(
                               "POZOR - telefon neodpověděl na čtení pozic: 5, 6 !\n+CME ERROR: 21"),
                           QString::fromUtf8("POZOR - zálohu nelze přečíst, do SIM se nic nezapsalo !")}
            << QByteArray() << QByteArray("\nentry 6 ")
            << QByteArray(kSimWithData).replace("entry 5", "#").replace("entry 6", "#");
    }
    void verifiedWrites() {
        QFETCH(QStringList, options);
        QFETCH(QString, exchange);
        QFETCH(QByteArray, simHolds);
        QFETCH(QByteArray, simLacks);
        QFETCH(QByteArray, sim);
        LivePhone phone(options);
        phone.preloadState(sim);
        Tool tool(phone.settingsDirectory());
        tool.dialogs.pins.push_back(kPin);
        QVERIFY(tool.choosePort(1));
        const bool configuration = exchange == "configuration write";
        const bool numbers = exchange == "phone-number write";
        const PageProbe page = configuration ? PageProbe::configuration(*tool.window)
                               : numbers     ? PageProbe::numbers(*tool.window)
                                             : PageProbe::sms(*tool.window);
        QWidget& form = page.form();
        if (numbers)
            setFields(form, kNumbersToWrite);
        const QStringList rowsBefore = configuration ? QStringList() : fieldsOf(form);
        page.click(configuration             ? "BitBtn3"
                   : numbers                 ? "Button2"
                   : exchange == "SMS store" ? "Button3"
                                             : "Button4");
        QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 30000);
        QTEST(toldBoxes(tool.dialogs), "boxes");
        const QByteArray after = phone.state();
        QVERIFY2(simHolds.isEmpty() || after.contains(simHolds), after.constData());
        QVERIFY2(simLacks.isEmpty() || !after.contains(simLacks), after.constData());
        if (exchange != "SMS delete-all" || !toldBoxes(tool.dialogs).empty())
            KEEPS_USER_DATA(configuration || fieldsOf(form) == rowsBefore, fieldsOf(form).join(", "));
    }

    // On a SIM with 14 bytes for a name, wherever the phone's set was left: plain names land whole
    // in the SIM's alphabet, a Czech one in UCS2, and all come back as they were written.
    void namesAsTheSimKeepsThem_data() {
        QTest::addColumn<QStringList>("options");
        for (const char* charset : {"GSM", "IRA", "UCS2"})
            QTest::addRow("phone left in %s", charset)
                << QStringList{"--charset", charset, "--name-bytes", "14"};
        QTest::addRow("strict phone left in UCS2, SIM answering 1.2 s late")
            << QStringList{"--charset", "UCS2", "--name-bytes", "14", "--strict", "--sim-delay", "1200"};
    }
    void namesAsTheSimKeepsThem() {
        QFETCH(QStringList, options);
        LivePhone phone(options);
        Tool tool(phone.settingsDirectory());
        QVERIFY(tool.choosePort(1));
        const QStringList rows = {"+420111111111",
                                  "Sousedka Eva",
                                  "+420222222222",
                                  QString::fromUtf8("Čížek"),
                                  "+420333333333",
                                  "Eva [Otec]",
                                  "",
                                  ""};
        const PageProbe numbers = PageProbe::numbers(*tool.window);
        const PageProbe configuration = PageProbe::configuration(*tool.window);
        const QByteArray found = settingsOf(phone, *tool.window);
        setFields(numbers.form(), rows);
        numbers.click("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(numbers.idle(), 30000);
        configuration.click("BitBtn3");
        QTRY_VERIFY_WITH_TIMEOUT(configuration.idle(), 30000);
        QVERIFY2(tool.dialogs.shown.empty(), qPrintable(tool.dialogs.texts().join(" | ")));
        const QByteArray sim = phone.state();
        for (const char* held : {"entry 1 \"+420111111111\" 145 \"Sousedka Eva\" gsm\n",
                                 "entry 2 \"+420222222222\" 145 \"\\C8\\ED\\9Eek\" ucs2\n",
                                 "entry 3 \"+420333333333\" 145 \"Eva [Otec]\" gsm\n",
                                 "entry 5 \"+000000000000\" 145 \"Setup\" gsm\n",
                                 "entry 6 \"+000000000000\" 145 \"Casy\" gsm\n"})
            QVERIFY2(sim.contains(held), sim.constData());

        setFields(numbers.form(), kUserRows);
        numbers.click("Button1");
        QTRY_VERIFY_WITH_TIMEOUT(numbers.idle(), 30000);
        QVERIFY2(tool.dialogs.shown.empty(), qPrintable(tool.dialogs.texts().join(" | ")));
        KEEPS_USER_DATA(fieldsOf(numbers.form()) == rows, fieldsOf(numbers.form()).join(", "));

        QCOMPARE(settingsOf(phone, *tool.window), found);

        // The phone is left in its set, so the next program that trusts it writes right after.
        tool.window->AfComPort1().Close();
        QVERIFY2(anotherProgramWrites(phone), phone.state().constData());
    }

    // Every exchange leaves the character set, the message format and the error codes as it found
    // them, on phones left in each set or in text mode, and also when it ends early.
    void phoneLeftAsFound_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addRow("left in GSM") << QStringList{"--charset", "GSM"};
        QTest::addRow("left in IRA, verbose errors") << QStringList{"--charset", "IRA", "--cmee", "2"};
        QTest::addRow("left in UCS2") << QStringList{"--charset", "UCS2"};
        QTest::addRow("left in text mode and UCS2") << QStringList{"--text-mode", "--charset", "UCS2"};
        QTest::addRow("offering only GSM") << QStringList{"--charsets", "GSM"};
        // Ends after the selections: the PIN dialog is cancelled.
        QTest::addRow("SIM asking for its PIN, left in text mode")
            << QStringList{"--pin", "1234", "--text-mode"};
        // Ends at a refused selection.
        QTest::addRow("blocked SIM, left in UCS2")
            << QStringList{"--pin", "1234", "--pin-tries", "0", "--charset", "UCS2"};
    }
    void phoneLeftAsFound() {
        QFETCH(QStringList, options);
        LivePhone phone(options);
        phone.preloadState(kSimWithData);
        Tool tool(phone.settingsDirectory());
        QVERIFY(tool.choosePort(1));
        setFields(tool.window->numbersPage(), kNumbersToWrite);
        const QByteArray found = settingsOf(phone, *tool.window);
        QVERIFY2(!found.contains('?'), found.constData());
        for (const auto& [exchange, button] : kExchanges) {
            const PageProbe page = pageOf(*tool.window, exchange);
            page.click(button);
            QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 30000);
            QCOMPARE(settingsOf(phone, *tool.window), found);
        }
    }

    void secondCopyOnTheSamePort() {
        LivePhone phone;
        Tool first(phone.settingsDirectory());
        QVERIFY(first.choosePort(1));
        Tool second(phone.settingsDirectory());
        QVERIFY(!second.choosePort(1));
        QCOMPARE(second.dialogs.texts(),
                 QStringList{"Nemohu otevřít port COM1.\nPort používá jiný program."});
        // The refused copy leaves the first one's port alone.
        const PageProbe page = PageProbe::configuration(*first.window);
        page.click("Button1");
        QVERIFY(!page.idle());
        QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 5000);
        QVERIFY(phone.log().contains("AT+CPBR=6"));
        QCOMPARE(first.dialogs.texts(), QStringList{kNoConfiguration});
        second.window->show();
        QVERIFY(second.window->close());
    }

    void settingsFileUnusable_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("text");
        QTest::newRow("directory in place of setting.ini") << "directory"
                                                           << "File access denied.";
        QTest::newRow("settings directory under a regular file") << "under file"
                                                                 << "File not found.";
    }
    void settingsFileUnusable() {
        QFETCH(QString, where);
        QFETCH(QString, text);
        QTemporaryDir dir;
        QString settings = dir.path();
        if (where == "directory") {
            QVERIFY(QDir(dir.path()).mkdir("setting.ini"));
        } else {
            QFile file(dir.filePath("plain"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            settings = dir.filePath("plain/settings");
        }
        Tool tool(settings);
        QCOMPARE(tool.dialogs.texts(), QStringList{text});
        // Start-up goes on without a port; the unread centre number stays empty until the user types one.
        QVERIFY(!tool.window->AfComPort1().IsOpen());
        tool.window->show();
        QVERIFY(tool.window->close());
        QVERIFY(!tool.window->isVisible());
        QCOMPARE(tool.dialogs.texts(), (QStringList{text, text}));
    }

    void saveFails_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("text");
        for (const char* page : {"par", "num", "sms"}) {
            QTest::addRow("%s onto a full disk", page) << page << "full disk"
                                                       << "I/O error 27.";
            QTest::addRow("%s onto /dev/full", page) << page << "/dev/full"
                                                     << "Disk full.";
            QTest::addRow("%s under a regular file", page) << page << "under file"
                                                           << "File not found.";
        }
    }
    void saveFails() {
        QFETCH(QString, page);
        QFETCH(QString, target);
        QFETCH(QString, text);
        QTemporaryDir dir;
        Tool tool(dir.path());
        tool.dialogs.shown.clear();
        const QByteArray previous = "+000000000001\r\nprevious content, longer than the new\r\n";
        QString path = dir.filePath("alarm." + page);
        if (target == "full disk") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(previous);
        } else if (target == "/dev/full") {
            QVERIFY(QFile::link("/dev/full", path));
        } else {
            QFile file(dir.filePath("plain"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            path = dir.filePath("plain/alarm." + page);
        }
        tool.dialogs.savePaths.push_back(path);
        tool.dialogs.yesNoAnswers.push_back(true);
        static_cast<AlarmApplication*>(QCoreApplication::instance())->setErrorReport(&tool.errors);

        const PageProbe probe = page == "par"   ? PageProbe::configuration(*tool.window)
                                : page == "num" ? PageProbe::numbers(*tool.window)
                                                : PageProbe::sms(*tool.window);
        const QString button = page == "par" ? "BitBtn2" : page == "num" ? "BitBtn3" : "Button2";
        // A file size limit makes writes fail as on a full disk, for this process only.
        {
            std::optional<FileSizeLimit> fullDisk;
            if (target == "full disk")
                fullDisk.emplace(16);
            probe.clickQueued(button);
            QTRY_VERIFY_WITH_TIMEOUT(
                tool.dialogs.shown.size() >= 1 && tool.dialogs.shown.back().kind == "failure", 5000);
        }

        QCOMPARE(tool.dialogs.shown.back().text, text);
        QVERIFY(probe.idle());
        if (target == "full disk") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            KEEPS_USER_DATA(file.readAll() == previous, "the previous file");
            // No half-written temporary left beside it.
            KEEPS_USER_DATA(QDir(dir.path()).entryList(QDir::Files).size() == 2,
                            QDir(dir.path()).entryList().join(", "));
        } else if (target == "/dev/full") {
            QCOMPARE(QFileInfo(path).symLinkTarget(), QStringLiteral("/dev/full"));
        }
        tool.window->show();
        QVERIFY(tool.window->close());
        QVERIFY(!tool.window->isVisible());
    }
};

int main(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_faults.moc"
