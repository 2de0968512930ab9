// The SIM as a phone reaches it, below the pages: messages as SIM records (status and octets, the
// service-centre part included), stored each in its own position, and the one box at the end that
// names what did not go well; the rules every way to a SIM shares (the PIN's, the box's).
#include "phone/phone_sim.h"
#include "sim/pin_rules.h"
#include "sms/PDU.h"
#include "support/page_harness.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(sim::MessageStatus)
Q_DECLARE_METATYPE(sim::Store)
Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

const std::string kMessageSelections = "AT+CMEE?;+CMEE=1;+CPIN?;+CMGF?;+CMGF=0;+CPMS=\"SM\",\"SM\"\r";
// "OK2" to +420603123456 through +420603052000: 8 octets of centre, 17 of TPDU.
const std::string kPdu = "079124603050020011000C9124603021436500000403CFA50C";

const std::string kReadFailed = "POZOR - telefon neodpověděl na čtení pozic: %1 !";
const std::string kStoreUnconfirmed = "POZOR - telefon nepotvrdil uložení SMS na pozice: %1 !";

std::string stored(const std::string& stat, const std::string& pdu) {
    return "\r\n+CMGR: " + stat + ",,17\r\n" + pdu + "\r\n\r\nOK\r\n";
}

} // namespace

class TestPhoneSim : public QObject {
    Q_OBJECT

private slots:
    void readsMessagesAsRecords_data() {
        QTest::addColumn<std::string>("answer");
        QTest::addColumn<bool>("read");
        QTest::addColumn<sim::MessageStatus>("status");
        QTest::addColumn<std::string>("pdu");
        QTest::newRow("stored unsent") << stored("2", kPdu) << true << sim::MessageStatus::Unsent << kPdu;
        QTest::newRow("received unread") << stored("0", kPdu) << true << sim::MessageStatus::Unread << kPdu;
        QTest::newRow("sent") << stored("3", kPdu) << true << sim::MessageStatus::Sent << kPdu;
        QTest::newRow("empty position")
            << std::string("\r\nOK\r\n") << true << sim::MessageStatus::Free << std::string();
        QTest::newRow("empty position as an error")
            << std::string("\r\n+CMS ERROR: 321\r\n") << true << sim::MessageStatus::Free << std::string();
        // Regression: half an octet at the end was read as a whole one.
        QTest::newRow("PDU cut inside an octet")
            << stored("2", kPdu.substr(0, 21)) << false << sim::MessageStatus::Free << std::string();
        QTest::newRow("refused") << std::string("\r\n+CMS ERROR: 500\r\n") << false
                                 << sim::MessageStatus::Free << std::string();
    }
    void readsMessagesAsRecords() {
        QFETCH(std::string, answer);
        QFETCH(bool, read);
        PageHarness h;
        h.phone.answers["AT+CMGR=2\r"] = answer;
        PhoneSim phone(h.port, h.shared, h.pause, h.prompts);
        QVERIFY(phone.open(sim::Store::Messages));
        const auto message = phone.readMessage(2);
        QCOMPARE(message.has_value(), read);
        QCOMPARE(phone.finish(sim::Unfinished::Read), read);
        if (!read) {
            QCOMPARE(h.dialogs.shown.size(), std::size_t(1));
            QVERIFY(h.dialogs.texts().front().startsWith(
                QString::fromStdString(sim::filledIn(kReadFailed, "2"))));
            return;
        }
        QFETCH(sim::MessageStatus, status);
        QFETCH(std::string, pdu);
        QCOMPARE(message->status, status);
        QCOMPARE(PDU::OctetsToHex(message->pdu), pdu);
        QVERIFY(h.dialogs.shown.empty());
    }

    // AT+CMGW takes the first free position: the alarm's four go empty first, on one line with the
    // first message's command going after it, and each message counts only in its own position.
    void storesEachMessageInItsOwnPosition_data() {
        QTest::addColumn<int>("storedBefore");
        QTest::addColumn<QString>("box");
        QTest::newRow("positions free in order") << 0 << QString();
        QTest::newRow("the phone names another position")
            << 1 << QString::fromStdString(sim::filledIn(kStoreUnconfirmed, "1, 2"));
    }
    void storesEachMessageInItsOwnPosition() {
        QFETCH(int, storedBefore);
        QFETCH(QString, box);
        PageHarness h;
        h.phone.stored = storedBefore;
        PhoneSim phone(h.port, h.shared, h.pause, h.prompts);
        QVERIFY(phone.open(sim::Store::Messages));
        const auto octets = PDU::HexToOctets(kPdu).value();
        phone.writeMessage(1, {sim::MessageStatus::Unsent, octets});
        phone.writeMessage(2, {sim::MessageStatus::Unsent, octets});
        QCOMPARE(phone.finish(sim::Unfinished::Store), box.isEmpty());
        phone.close();
        QCOMPARE(h.port.sent,
                 (std::vector<std::string>{kMessageSelections, "AT+CMGD=1;+CMGD=2;+CMGD=3;+CMGD=4\r",
                                           "AT+CMGW=17\r", kPdu + "\x1A", "AT+CMGW=17\r", kPdu + "\x1A"}));
        QCOMPARE(h.dialogs.texts(), box.isEmpty() ? QStringList() : QStringList{box});
    }

    // A backup's read and the write after it are one exchange: a store already open is not selected
    // again, another is; each finish tells only its own positions.
    void readThenWriteInOneExchange_data() {
        QTest::addColumn<sim::Store>("writeStore");
        QTest::addColumn<std::vector<std::string>>("sent");
        const std::string phonebook = "AT+CMEE?;+CMEE=1;+CPIN?;+CSCS=?;+CSCS?;+CPBS=\"SM\"\r";
        QTest::newRow("the same store")
            << sim::Store::Phonebook
            << std::vector<std::string>{phonebook, "AT+CPBR=1\r", "AT+CPBR=2\r", "AT+CPBW=1;+CMEE=0\r"};
        QTest::newRow("another store") << sim::Store::Messages
                                       << std::vector<std::string>{phonebook, "AT+CPBR=1\r", "AT+CPBR=2\r",
                                                                   kMessageSelections, "AT+CMGD=1;+CMEE=0\r"};
    }
    void readThenWriteInOneExchange() {
        QFETCH(sim::Store, writeStore);
        PageHarness h;
        h.phone.answers["AT+CPBR=2\r"] = "\r\n+CME ERROR: 500\r\n";
        h.phone.answers["AT+CMEE?\r"] = "\r\n+CMEE: 0\r\n\r\nOK\r\n";
        PhoneSim phone(h.port, h.shared, h.pause, h.prompts);
        QVERIFY(phone.open(sim::Store::Phonebook));
        QVERIFY(phone.readEntry(1));
        QVERIFY(!phone.readEntry(2));
        QVERIFY(!phone.finish(sim::Unfinished::Read));
        QVERIFY(phone.open(writeStore));
        if (writeStore == sim::Store::Phonebook)
            phone.writeEntry(1, {});
        else
            phone.eraseMessage(1);
        QVERIFY(phone.finish(sim::Unfinished::Write));
        phone.close();
        QTEST(h.port.sent, "sent");
        QCOMPARE(h.dialogs.texts(),
                 QStringList{QString::fromStdString(sim::filledIn(kReadFailed, "2") + "\n+CME ERROR: 500")});
    }

    // In order, each once: a position noted twice, a cause given twice, a step never named.
    void boxNamesWhatWentWrong() {
        sim::PositionReport report;
        QVERIFY(!report.nothingAnswered());
        report.unanswered(6);
        QVERIFY(report.nothingAnswered());
        report.answered(5, false, "+CME ERROR: 24");
        report.answered(4, true);
        report.answered(0, false, "never told");
        report.answered(5, false, "+CME ERROR: 24");
        report.answered(3, false);
        QVERIFY(!report.nothingAnswered());
        QCOMPARE(report.box("pozice: %1 !"), std::optional<std::string>("pozice: 3, 5, 6 !\n+CME ERROR: 24"));
        sim::PositionReport allWell;
        allWell.answered(1, true);
        QCOMPARE(allWell.box("pozice: %1 !"), std::nullopt);
    }

    // The SIM's third wrong PIN blocks it: a PIN it refused, or one of the wrong form, is asked again.
    void pinAskedUntilOneMayGo() {
        ScriptedDialogs dialogs;
        DialogPrompts prompts(dialogs);
        sim::PinRules pins(prompts, {"zamčená", "odmítl", "už odmítl", "4 až 8"});
        dialogs.pins = {QString("12"), QString("1111")};
        QCOMPARE(pins.askFirst(), std::optional<std::string>("1111"));
        pins.refused("1111");
        dialogs.pins = {QString("1111"), QString("123456789"), QString("2222")};
        QCOMPARE(pins.askAfterRefusal(2), std::optional<std::string>("2222"));
        QCOMPARE(dialogs.texts(),
                 (QStringList{"zamčená", "4 až 8", "odmítl\nZbývající pokusy: 2",
                              "už odmítl\nZbývající pokusy: 2", "4 až 8\nZbývající pokusy: 2"}));
        QCOMPARE(pins.askAfterRefusal(), std::nullopt); // cancelled
    }
};

QTEST_GUILESS_MAIN(TestPhoneSim)
#include "test_phone_sim.moc"
