// The SIM in a card reader, end to end: the whole window and the command line against the virtual
// card in vpcd's reader of the machine's pcscd. What the card holds is read from its state file,
// record for record; what went to it from its log.
#include "app/AlarmApplication.h"
#include "card/card_messages.h"
#include "faults/fault_fixture.h"
#include "platform/cp1250.h"
#include "sim/sim_texts.h"
#include "support/live_phone.h"
#include "support/virtual_card.h"

namespace {

const QStringList kNumbers = {
    "+420111111111", "Sousedka Eva", "+420222222222", QString::fromUtf8("Čeněk"), "", "",
    "+420444444444", "Eva [Otec]"};

// The records as the alarm will read them: GSM, the 7-bit-based UCS2 form, GSM with extension
// characters; an empty position is no line at all.
const QByteArrayList kNumberRecords = {"adn 1 536F757365646B6120457661FFFF0791241011111111FFFFFFFFFFFF\n",
                                       "adn 2 8105028C656E9B6BFFFFFFFFFFFF0791242022222222FFFFFFFFFFFF\n",
                                       "adn 4 457661201B3C4F7465631B3EFFFF0791244044444444FFFFFFFFFFFF\n"};
const QByteArrayList kConfigurationRecords = {
    "adn 5 5365747570FFFFFFFFFFFFFFFFFF0791000000000000FFFFFFFFFFFF\n",
    "adn 6 43617379FFFFFFFFFFFFFFFFFFFF0791000000000000FFFFFFFFFFFF\n"};
// "OK2" to +420777000111 through +420603052000, stored unsent.
const QByteArray kSecondMessage = "sms 2 07079124603050020011000C9124707700101100000403CFA50CFFFF";

QString pulledText() {
    return QString::fromStdString(
        platform::smartCardFaultText({platform::SmartCardFault::CardRemoved, 0}, VirtualCard::reader));
}

bool holdsAll(const QByteArray& state, const QByteArrayList& records) {
    return std::all_of(records.begin(), records.end(),
                       [&](const QByteArray& record) { return state.contains(record); });
}

// The three sets as the command line's files, saved as the pages save them (Windows-1250, CR LF):
// written from a.par, a.num and a.sms, read back into b.*.
class SetFiles {
public:
    SetFiles(const QStringList& configuration, const QStringList& numbers, const QStringList& messages) {
        save("a.par", configuration);
        save("a.num", numbers);
        save("a.sms", messages);
    }
    QStringList written() const { return options("a"); }
    QStringList readBack() const { return options("b"); }

    // The sets read back otherwise than written.
    QStringList differing() const {
        QStringList extensions;
        for (const QString extension : {"par", "num", "sms"})
            if (contents("a." + extension) != contents("b." + extension))
                extensions << extension;
        return extensions;
    }

private:
    void save(const QString& name, const QStringList& lines) {
        QFile out(m_dir.filePath(name));
        if (out.open(QIODevice::WriteOnly))
            out.write(platform::utf16ToCp1250((lines.join("\r\n") + "\r\n").toStdU16String()).c_str());
    }
    QByteArray contents(const QString& name) const {
        QFile in(m_dir.filePath(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    QStringList options(const QString& stem) const {
        return {"--config", m_dir.filePath(stem + ".par"), "--numbers", m_dir.filePath(stem + ".num"),
                "--sms",    m_dir.filePath(stem + ".sms")};
    }

    QTemporaryDir m_dir;
};

// Runs one exchange of a page and waits until the page is idle again.
void run(const PageProbe& page, const char* button) {
    page.click(button);
    QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 20000);
}

} // namespace

class TestCardLive : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;

    void chooseTheReader(Tool& tool) { tool.window->chooseReader(VirtualCard::reader); }

private slots:
    // Every exchange of the three pages on a card without a PIN: written as the alarm reads it, read
    // back as it was written, with no box and no VERIFY.
    void pagesWriteAndReadTheCard() {
        VirtualCard card;
        Tool tool(m_settings.path());
        chooseTheReader(tool);
        const PageProbe numbers = PageProbe::numbers(*tool.window);
        const PageProbe configuration = PageProbe::configuration(*tool.window);
        const PageProbe sms = PageProbe::sms(*tool.window);
        setFields(numbers.form(), kNumbers);
        run(numbers, "Button2");
        run(configuration, "BitBtn3");
        setFields(sms.form(), kAlarmMessages);
        run(sms, "Button3");
        QVERIFY2(tool.dialogs.shown.empty(), qPrintable(tool.dialogs.texts().join(" | ")));
        QVERIFY2(holdsAll(card.state(), kNumberRecords + kConfigurationRecords), card.state().constData());
        QVERIFY2(card.state().contains(kSecondMessage), card.state().constData());

        setFields(numbers.form(), QStringList(8, "stale"));
        setFields(sms.form(), QStringList(8, "stale"));
        run(numbers, "Button1");
        run(sms, "Button1");
        run(configuration, "Button1");
        QVERIFY2(tool.dialogs.shown.empty(), qPrintable(tool.dialogs.texts().join(" | ")));
        QCOMPARE(fieldsOf(numbers.form()), kNumbers);
        QCOMPARE(fieldsOf(sms.form()), kAlarmMessages);
        QCOMPARE(tool.window->configurationPage().staticText1(), std::string("+000000000000"));

        run(sms, "Button4");
        QVERIFY(tool.dialogs.shown.empty());
        // A deleted message leaves a free record: status 00.
        QVERIFY2(!QRegularExpression("\\nsms \\d+ (?!00)").match(card.state()).hasMatch(),
                 card.state().constData());
        QCOMPARE(fieldsOf(sms.form()), QStringList(8, QString()));
        QVERIFY(!card.log().contains(" apdu A020"));
    }

    // The PIN's tries come with the question; a refused PIN costs one, and the next question says so.
    void pinWithItsTries() {
        VirtualCard card({"--pin", "1234"}, kNumberRecords.join());
        Tool tool(m_settings.path());
        chooseTheReader(tool);
        tool.dialogs.pins = {QString("1111"), QString("1111"), QString("1234")};
        const PageProbe numbers = PageProbe::numbers(*tool.window);
        run(numbers, "Button1");
        QCOMPARE(tool.dialogs.texts(),
                 (QStringList{
                     QString::fromUtf8(card_messages::kPinAsked) + QString::fromUtf8("\nZbývající pokusy: 3"),
                     QString::fromUtf8(card_messages::kPinWrong) + QString::fromUtf8("\nZbývající pokusy: 2"),
                     QString::fromUtf8(card_messages::kPinRepeated) +
                         QString::fromUtf8("\nZbývající pokusy: 2")}));
        QCOMPARE(fieldsOf(numbers.form()),
                 (QStringList{"+420111111111", "Sousedka Eva", "+420222222222", QString::fromUtf8("Čeněk"),
                              "", "", "+420444444444", "Eva [Otec]"}));
        QCOMPARE(card.log().count(" apdu A020000108"), 2);
    }

    // A card pulled out mid-write: the positions not confirmed are named with why, nothing more goes,
    // and the reader serves again once the card is back.
    void cardPulledMidWrite() {
        VirtualCard card({"--pull-after", "14"}); // the update of position 2, after the backup's reads
        Tool tool(m_settings.path());
        chooseTheReader(tool);
        const PageProbe numbers = PageProbe::numbers(*tool.window);
        setFields(numbers.form(), kNumbers);
        run(numbers, "Button2");
        QCOMPARE(tool.dialogs.texts(),
                 QStringList{QString::fromUtf8("POZOR - karta SIM nepotvrdila zápis na pozice: 2, 3, 4 !\n") +
                             pulledText()});
        QCOMPARE(fieldsOf(numbers.form()), kNumbers);
        card.pulled();
        QVERIFY(card.state().contains(kNumberRecords[0]) && !card.state().contains("adn 2 "));

        card.start({});
        tool.dialogs.shown.clear();
        run(numbers, "Button2");
        QVERIFY2(tool.dialogs.shown.empty(), qPrintable(tool.dialogs.texts().join(" | ")));
        QVERIFY2(holdsAll(card.state(), kNumberRecords), card.state().constData());
    }

    // The alarm cannot read a USIM without GSM access: said plainly, nothing written.
    void usimWithoutGsmAccess() {
        VirtualCard card({"--usim-only"});
        Tool tool(m_settings.path());
        chooseTheReader(tool);
        const PageProbe configuration = PageProbe::configuration(*tool.window);
        run(configuration, "BitBtn3");
        QCOMPARE(tool.dialogs.texts(), QStringList{QString::fromUtf8(card_messages::kNoGsmAccess)});
        QVERIFY(!card.state().contains("adn"));
    }

    // The command line writes what the pages write: from the same files the same records, on every
    // system it runs on (the Windows suite runs this on its console twin), and no VERIFY to a card
    // without a PIN.
    void commandLineWritesAsThePages() {
        VirtualCard card;
        const SetFiles files({"+000000000000", "+000000000000"}, kNumbers, kAlarmMessages);
        const CommandLineRun write = runCommandLine(
            m_settings.path(), QStringList{"write", "--reader", VirtualCard::reader} + files.written());
        QVERIFY2(write.exitCode == 0, qPrintable(write.err));
        QVERIFY2(holdsAll(card.state(), kNumberRecords + kConfigurationRecords), card.state().constData());
        QVERIFY2(card.state().contains(kSecondMessage), card.state().constData());
        const CommandLineRun read = runCommandLine(
            m_settings.path(), QStringList{"read", "--reader", VirtualCard::reader} + files.readBack());
        QVERIFY2(read.exitCode == 0, qPrintable(read.err));
        QCOMPARE(files.differing(), QStringList());
        QVERIFY(!card.log().contains(" apdu A020"));
    }

    // The command line holds the card for its whole run: one PIN from standard input serves the
    // three sets, and what it reads back is the files it wrote.
    void commandLineOnTheCard() {
        VirtualCard card({"--pin", "1234"});
        const SetFiles files({"+000001101011", "+000000001235"}, kNumbers, kAlarmMessages);
        const CommandLineRun write = runCommandLine(
            m_settings.path(),
            QStringList{"write", "--reader", VirtualCard::reader, "--pin-stdin"} + files.written(), "1234\n");
        QVERIFY2(write.exitCode == 0, qPrintable(write.err));
        const CommandLineRun read = runCommandLine(
            m_settings.path(),
            QStringList{"read", "--reader", VirtualCard::reader, "--pin-stdin"} + files.readBack(), "1234\n");
        QVERIFY2(read.exitCode == 0, qPrintable(read.err));
        QCOMPARE(files.differing(), QStringList());
        QCOMPARE(card.log().count(" apdu A020000108"), 2); // once each run
    }

    // With one try left the command line sends no PIN unless told it may, and then it does.
    void lastTryOnlyWhenAllowed() {
        VirtualCard card({"--pin", "1234", "--pin-tries", "1"});
        QTemporaryDir files;
        const QStringList read = {"read",        "--reader",  VirtualCard::reader,
                                  "--pin-stdin", "--numbers", files.filePath("n.num")};
        const CommandLineRun refused = runCommandLine(m_settings.path(), read, "1234\n");
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.err.contains(QString::fromUtf8(card_messages::kLastTryNotGiven)),
                 qPrintable(refused.err));
        QVERIFY(!card.log().contains(" apdu A020"));
        const CommandLineRun allowed =
            runCommandLine(m_settings.path(), read + QStringList{"--last-try"}, "1234\n");
        QVERIFY2(allowed.exitCode == 0, qPrintable(allowed.err));
    }

    // No smart-card service: the command line says why and sends nothing.
    void noSmartCardService() {
        QTemporaryDir files;
        QProcessEnvironment noService;
        noService.insert("PCSCLITE_CSOCK_NAME", files.filePath("no-pcscd.comm"));
        const CommandLineRun run =
            runCommandLine(m_settings.path(),
                           {"read", "--reader", VirtualCard::reader, "--numbers", files.filePath("n.num")},
                           {}, {}, noService);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QString::fromStdString(platform::smartCardFaultText(
                     {platform::SmartCardFault::NoService, 0}, VirtualCard::reader))),
                 qPrintable(run.err));
    }
};

int main(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    TestCardLive test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_card_live.moc"
