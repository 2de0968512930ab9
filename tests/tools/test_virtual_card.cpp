// The virtual card through real PC/SC (pcscd, vpcd's reader, the tool's raw transport), APDU by APDU
// with exact answers, since the tool's SIM code reads headers and status words byte for byte.
#include "platform/smart_card.h"
#include "support/virtual_card.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

namespace {

using Bytes = std::vector<std::uint8_t>;
// One exchange: the command and the whole answer in hex, blanks for reading only.
using Exchange = std::pair<QByteArray, QByteArray>;

QByteArray compact(QByteArray hex) {
    return hex.replace(' ', "").toUpper();
}

QByteArray transmit(platform::SmartCardSession& session, const QByteArray& command) {
    const QByteArray raw = QByteArray::fromHex(command);
    const auto answer = session.transmit(Bytes(raw.begin(), raw.end()));
    if (!answer)
        return "fault " + QByteArray::number(int(session.lastError().fault));
    return QByteArray(reinterpret_cast<const char*>(answer->data()), qsizetype(answer->size()))
        .toHex()
        .toUpper();
}

std::unique_ptr<platform::SmartCardSession> openCard() {
    platform::SmartCardError error;
    return platform::SmartCardSession::open(VirtualCard::reader, error);
}

void run(const QList<Exchange>& script) {
    const auto session = openCard();
    QVERIFY(session);
    for (const auto& [command, answer] : script)
        QCOMPARE(transmit(*session, compact(command)), compact(answer));
}

const QByteArray pin1234 = "31323334FFFFFFFF";
const QByteArray wrongPin = "30303030FFFFFFFF";
const QByteArray blankAdn = QByteArray(56, 'F');
const Exchange toMf{"A0A4000002 3F00", "9F16"};
const Exchange toTelecom{"A0A4000002 7F10", "9F16"};
const Exchange toAdn{"A0A4000002 6F3A", "9F0F"};
// The current DF's header with CHV1 enabled (33) or disabled (B3), tries of CHV1 and UNBLOCK CHV1.
QByteArray directory(const char* fid, const char* type, const char* characteristics, const char* counts,
                     const char* tries) {
    return QByteArray("00000000") + fid + type + "0000000000 09" + characteristics + counts + "0200" + tries +
           "0000 9000";
}
Exchange status(const char* characteristics, const char* tries) {
    return {"A0F2000016", directory("3F00", "01", characteristics, "0201", tries)};
}

} // namespace

class VirtualCardTest : public QObject {
    Q_OBJECT
private slots:
    void answersAsA2gSim_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QList<Exchange>>("script");
        const auto plain = [](const char* name, const QList<Exchange>& script) {
            QTest::newRow(name) << QStringList() << script;
        };
        const QByteArray adnHeader = "0000 0AF0 6F3A 04 00 11 FFFF 01 02 01 1C 9000";

        plain("MF header, CHV1 disabled",
              {toMf, {"A0C0000016", directory("3F00", "01", "B3", "0201", "838A")}});
        plain("STATUS of the current DF",
              {toTelecom, {"A0F2000016", directory("7F10", "02", "B3", "0003", "838A")}});
        plain("EF_ADN header", {toTelecom, toAdn, {"A0C000000F", adnHeader}});
        plain("EF_ICCID header and contents",
              {{"A0A4000002 2FE2", "9F0F"},
               {"A0C000000F", "0000 000A 2FE2 04 00 0F FFFF 01 02 00 00 9000"},
               {"A0B000000A", "98240000000000000070 9000"},
               {"A0B0000804", "6702"},
               {"A0B0000A01", "9402"}});
        plain("the DF beside the current one",
              {toTelecom, {"A0A4000002 7F20", "9F16"}, {"A0A4000002 6F07", "9F0F"}});
        plain("the current DF itself", {toTelecom, toTelecom});
        plain("the MF from a DF", {{"A0A4000002 7F20", "9F16"}, toMf});
        plain("an EF of another DF is out of reach",
              {{"A0A4000002 7F20", "9F16"}, {"A0A4000002 6F3A", "9404"}, {"A0C000000F", "6700"}});
        plain("an EF below a DF is out of reach from the MF", {toMf, {"A0A4000002 6F3A", "9404"}});
        plain("no path select", {{"A0A4000004 7F10 6F3A", "9404"}});
        plain("an unknown file", {{"A0A4000002 1234", "9404"}});
        plain("a refused select keeps the selection",
              {toTelecom, toAdn, {"A0A4000002 6F07", "9404"}, {"A0B201041C", blankAdn + "9000"}});
        plain("GET RESPONSE of a wrong length tells the right one",
              {toMf, {"A0C000000F", "6716"}, {"A0C0000016", directory("3F00", "01", "B3", "0201", "838A")}});
        plain("GET RESPONSE only right after its SELECT",
              {toMf, status("B3", "838A"), {"A0C0000016", "6700"}});
        plain("READ RECORD of a wrong length", {toTelecom, toAdn, {"A0B2010410", "671C"}});
        plain("no such record", {toTelecom, toAdn, {"A0B265041C", "9402"}, {"A0B200041C", "9402"}});
        plain("no EF selected", {toTelecom, {"A0B201041C", "9400"}});
        plain("records of a transparent EF", {{"A0A4000002 2FE2", "9F0F"}, {"A0B201040A", "9408"}});
        plain("an unknown record mode", {toTelecom, toAdn, {"A0B201051C", "6B00"}, {"A0B201021C", "6B00"}});
        plain("wrong class", {{"00A4000002 3F00", "6E00"}});
        plain("unknown instruction", {{"A012000000", "6D00"}});
        plain("VERIFY while CHV1 is disabled", {{"A020000108" + pin1234, "9808"}});
        plain("no CHV2", {{"A020000208" + pin1234, "9802"}});
        plain("VERIFY of a wrong length", {{"A020000104 31323334", "6708"}});

        const auto row = [](const char* name, const QStringList& options, const QList<Exchange>& script) {
            QTest::newRow(name) << options << script;
        };
        row("records need the PIN", {"--pin", "1234"},
            {toTelecom,
             toAdn,
             {"A0B201041C", "9804"},
             {"A0DC01041C" + blankAdn, "9804"},
             {"A020000108" + pin1234, "9000"},
             {"A0B201041C", blankAdn + "9000"}});
        row("wrong PINs count down, the last one blocks", {"--pin", "1234"},
            {{"A020000108" + wrongPin, "9804"},
             status("33", "828A"),
             {"A020000108" + wrongPin, "9804"},
             {"A020000108" + wrongPin, "9840"},
             status("33", "808A"),
             {"A020000108" + pin1234, "9840"}});
        row("a right PIN gives the tries back", {"--pin", "1234", "--pin-tries", "2"},
            {status("33", "828A"),
             {"A020000108" + wrongPin, "9804"},
             {"A020000108" + pin1234, "9000"},
             status("33", "838A")});
        row("the PUK unblocks and sets a new PIN", {"--pin", "1234", "--pin-tries", "0"},
            {status("33", "808A"),
             {"A02C000010 3837363534333231 34333231FFFFFFFF", "9804"},
             status("33", "8089"),
             {"A02C000010 3132333435363738 34333231FFFFFFFF", "9000"},
             status("33", "838A"),
             {"A020000108" + pin1234, "9804"},
             {"A020000108 34333231FFFFFFFF", "9000"}});
        row("the last wrong PUK blocks for good", {"--pin", "1234", "--pin-tries", "0", "--puk-tries", "1"},
            {{"A02C000010 3837363534333231 34333231FFFFFFFF", "9840"},
             {"A02C000010 3132333435363738 34333231FFFFFFFF", "9840"},
             status("33", "8080")});
        row("UNBLOCK enables a disabled CHV1", {"--puk", "87654321"},
            {{"A02C000010 3837363534333231" + pin1234, "9000"}, status("33", "838A")});
        row("a USIM without GSM access", {"--usim-only"},
            {{"A0A4000002 3F00", "6E00"}, {"00A4000C02 3F00", "6A82"}, {"00B0000000", "6D00"}});
        row("other file sizes", {"--adn-records", "10", "--name-bytes", "20", "--sms-records", "5"},
            {toTelecom,
             toAdn,
             {"A0C000000F", "0000 0154 6F3A 04 00 11 FFFF 01 02 01 22 9000"},
             {"A0A4000002 6F3C", "9F0F"},
             {"A0C000000F", "0000 0370 6F3C 04 00 11 FFFF 01 02 01 B0 9000"}});
        const QByteArray first = "01" + QByteArray(54, 'F'), second = "02" + QByteArray(54, 'F');
        row("next and previous records", {"--adn-records", "3"},
            {toTelecom,
             toAdn,
             {"A0DC01041C" + first, "9000"},
             {"A0DC02041C" + second, "9000"},
             toAdn,
             {"A0B200021C", first + "9000"},
             {"A0B200021C", second + "9000"},
             {"A0B200031C", first + "9000"},
             {"A0B200031C", "9402"},
             toAdn,
             {"A0B200031C", blankAdn + "9000"},
             {"A0B200021C", "9402"}});
    }
    // Rows without options share one card; each session starts from a reset.
    void answersAsA2gSim() {
        QFETCH(QStringList, options);
        QFETCH(QList<Exchange>, script);
        if (!m_shared || !options.isEmpty()) {
            m_shared.reset();
            m_shared = std::make_unique<VirtualCard>(options);
        }
        run(script);
        if (!options.isEmpty())
            m_shared.reset();
    }

    void keepsItsRecordsInTheStateFile() {
        const QByteArray setup = "5365747570FFFFFFFFFFFFFFFFFF0791000000000000FFFFFFFFFFFF";
        const QByteArray message = "03" + QByteArray(350, 'F');
        VirtualCard card({}, "# preloaded\nadn 5 " + setup.toLower() + "\n\nadn 6 " + setup + "\n");
        run({toTelecom,
             toAdn,
             {"A0B205041C", setup + "9000"},
             {"A0DC06041C" + blankAdn, "9000"},
             {"A0A4000002 6F3C", "9F0F"},
             {"A0DC0104B0" + message, "9000"}});
        QCOMPARE(card.state(), "# Records of the virtual card that are not blank (all FF): file record hex.\n"
                               "adn 5 " +
                                   setup + "\nsms 1 " + message + "\n");
        QVERIFY(card.log().contains(" apdu A0B205041C " + setup + "9000\n"));
        card.stop();
        card.start({});
        run({toTelecom, {"A0A4000002 6F3C", "9F0F"}, {"A0B20104B0", message + "9000"}});
    }

    // A card whose memory fails keeps the record it had.
    void recordThatCannotBeKeptStaysAsItWas() {
        QTemporaryDir dir;
        VirtualCard card({"--state", dir.filePath("gone/card.txt")});
        run({toTelecom,
             toAdn,
             {"A0DC01041C" + QByteArray(56, '0'), "6F00"},
             {"A0B201041C", blankAdn + "9000"}});
    }

    void slowCardAnswersLate() {
        VirtualCard card({"--apdu-delay", "300"});
        const auto session = openCard();
        QVERIFY(session);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(transmit(*session, "A0A40000023F00"), QByteArray("9F16"));
        QVERIFY2(clock.elapsed() >= 300, qPrintable(QString::number(clock.elapsed())));
    }

    // Each APDU waits for no delayed ACK of the TCP link to vpcd: 40 ms each would take seconds.
    void answersAtOnce() {
        VirtualCard card;
        const auto session = openCard();
        QVERIFY(session);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 100; ++i)
            QCOMPARE(transmit(*session, "A0F2000016").right(4), QByteArray("9000"));
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    void refusesBadStarts_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown option")
            << QStringList{"--colour"} << QByteArray() << 2 << "unknown option --colour";
        QTest::newRow("PIN of letters")
            << QStringList{"--pin", "12ab"} << QByteArray() << 2 << "--pin wants 4 to 8 digits";
        QTest::newRow("too many tries")
            << QStringList{"--pin-tries", "4"} << QByteArray() << 2 << "--pin-tries wants tries from 0 to 3";
        QTest::newRow("record beyond the file")
            << QStringList{"--adn-records", "4"} << QByteArray("adn 5 00\n") << 1
            << "line 1: adn has records 1-4";
        QTest::newRow("record of a wrong length")
            << QStringList() << QByteArray("# c\nadn 1 00\n") << 1 << "line 2: adn records are 28 bytes";
        QTest::newRow("unknown file")
            << QStringList() << QByteArray("imsi 1 00\n") << 1 << "line 1: unknown file \"imsi\"";
    }
    void refusesBadStarts() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, state);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QFile file(dir.filePath("card.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(state);
        file.close();
        QProcess card;
        // A port nothing listens on: a card that started by mistake waits there instead of taking the reader.
        card.start(qEnvironmentVariable("ALARMGSM_CARD"),
                   QStringList{"--port", "9", "--state", file.fileName()} + options);
        QVERIFY(card.waitForFinished(5000));
        QCOMPARE(card.exitCode(), exitCode);
        QVERIFY2(QString::fromUtf8(card.readAllStandardError()).contains(error), qPrintable(error));
        QCOMPARE(card.readAllStandardOutput(), QByteArray());
    }

    void cleanupTestCase() { m_shared.reset(); }

private:
    std::unique_ptr<VirtualCard> m_shared;
};

QTEST_GUILESS_MAIN(VirtualCardTest)
#include "test_virtual_card.moc"
