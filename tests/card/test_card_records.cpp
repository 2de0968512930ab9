// The SIM's records as the alarm reads them with GSM commands: EF_ADN names in the GSM alphabet or
// the most compact UCS2 form, numbers in BCD, and EF_SMS records, byte for byte.
#include "card/adn_record.h"
#include "card/sms_record.h"
#include "platform/cp1250.h"
#include "sms/PDU.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(card::AdnFault)

namespace QTest {
template <> char* toString(const std::string& text) {
    return toPrettyCString(text.data(), qsizetype(text.size()));
}
template <> char* toString(const sim::Entry& entry) {
    return toString("\"" + entry.number + "\" \"" + entry.name + "\"");
}
} // namespace QTest

namespace {

std::string hexOf(const std::vector<std::uint8_t>& bytes) {
    return PDU::OctetsToHex(bytes);
}

std::vector<std::uint8_t> bytesOf(const std::string& hex) {
    return PDU::HexToOctets(hex).value();
}

std::string ff(int count) {
    return std::string(2 * std::size_t(count), 'F');
}

std::string cp1250(const char* utf8) {
    return platform::utf16ToCp1250(QString::fromUtf8(utf8).toStdU16String());
}

} // namespace

class TestCardRecords : public QObject {
    Q_OBJECT

private slots:
    // Name, then length and type of the number, its BCD digits low nibble first, two unused bytes.
    void adnRecords_data() {
        QTest::addColumn<std::string>("number");
        QTest::addColumn<std::string>("name");
        QTest::addColumn<int>("length");
        QTest::addColumn<std::string>("record");
        QTest::newRow("configuration code") << std::string("+000000000000") << std::string("Setup") << 28
                                            << "5365747570" + ff(9) + "0791000000000000" + ff(4) + "FFFF";
        QTest::newRow("sixteen bytes of name")
            << std::string("+491721217212") << std::string("Kundenbetreuung") << 30
            << "4B756E64656E626574726575756E67FF"
               "0791947112122721" +
                   ff(6);
        QTest::newRow("odd digits, no plus")
            << std::string("60312345") << std::string("") << 28 << ff(14) + "058106133254" + ff(8);
        QTest::newRow("extension characters take two bytes")
            << std::string("+420111111111") << std::string("Eva [Otec]") << 28
            << "457661201B3C4F7465631B3E" + ff(2) + "0791241011111111" + ff(4) + "FFFF";
        // Č and ě lie in 0100-017F: one byte each after a base of 02 (0100 >> 7).
        QTest::newRow("Czech letters of one block: base of seven bits")
            << std::string("+420222222222") << cp1250("Čeněk") << 28
            << "8105028C656E9B6B" + ff(6) + "0791242022222222" + ff(4) + "FFFF";
        // Ř, í and č span two blocks but 128 characters from í.
        QTest::newRow("Czech letters of two blocks: base of sixteen bits")
            << std::string("+420333333333") << cp1250("Řezníček") << 28
            << "820800EDEB657A6E80A0656B" + ff(2) + "0791243033333333" + ff(4) + "FFFF";
        // í (00ED) and ž (017E) lie 145 apart: neither based form holds them.
        QTest::newRow("letters far apart: plain UCS2")
            << std::string("+420444444444") << cp1250("Čížek") << 28
            << "80010C00ED017E0065006B" + ff(3) + "0791244044444444" + ff(4) + "FFFF";
        QTest::newRow("empty position") << std::string() << std::string("Domov") << 28 << ff(28);
    }
    void adnRecords() {
        QFETCH(std::string, number);
        QFETCH(std::string, name);
        QFETCH(int, length);
        QFETCH(std::string, record);
        const card::AdnRecord encoded = card::encodeAdn({number, name}, std::size_t(length));
        QCOMPARE(encoded.fault, card::AdnFault::None);
        QCOMPARE(hexOf(encoded.bytes), record);
        const sim::Entry expected = number.empty() ? sim::Entry{} : sim::Entry{number, name};
        QCOMPARE(card::decodeAdn(bytesOf(record)), expected);
    }

    // What does not fit is named and not written, never cut.
    void adnFaults_data() {
        QTest::addColumn<std::string>("number");
        QTest::addColumn<std::string>("name");
        QTest::addColumn<card::AdnFault>("fault");
        QTest::newRow("fifteen GSM characters in fourteen bytes")
            << std::string("+420111111111") << std::string("Sousedka Evicka") << card::AdnFault::NameTooLong;
        QTest::newRow("eight extension characters")
            << std::string("+420111111111") << std::string("[[[[]]]]") << card::AdnFault::NameTooLong;
        QTest::newRow("Czech name beyond every form")
            << std::string("+420111111111") << cp1250("Čeněk Novák ml.") << card::AdnFault::NameTooLong;
        QTest::newRow("twenty-one digits")
            << "+" + std::string(21, '1') << std::string("a") << card::AdnFault::NumberTooLong;
        QTest::newRow("a letter in the number")
            << std::string("+42060312345x") << std::string("a") << card::AdnFault::NumberNotDialable;
    }
    void adnFaults() {
        QFETCH(std::string, number);
        QFETCH(std::string, name);
        QTEST(card::encodeAdn({number, name}, 28).fault, "fault");
    }

    // A phone may leave other forms: names read whatever their form, numbers with * # and pauses.
    void adnReadAsLeftByOthers() {
        QCOMPARE(card::decodeAdn(bytesOf("416C61726D" + ff(9) + "05812143BAC5" + ff(6) + "FFFF")),
                 (sim::Entry{"1234*#5p", "Alarm"}));
        QCOMPARE(card::decodeAdn(bytesOf("4E616D65" + ff(10) + "FF" + ff(13))), sim::Entry{});
        QCOMPARE(card::decodeAdn(bytesOf(ff(28))), sim::Entry{});
        QCOMPARE(card::decodeAdn(bytesOf("8102028C65" + ff(9) + "03912143" + ff(8) + "FFFF")),
                 (sim::Entry{"+1234", cp1250("Če")}));
    }

    void smsRecords() {
        const std::string pdu = "079124603050020011000C9124603021436500000403CFA50C";
        const auto record = card::encodeSms({sim::MessageStatus::Unsent, bytesOf(pdu)}, 176);
        QVERIFY(record);
        QCOMPARE(hexOf(*record), "07" + pdu + ff(176 - 1 - int(pdu.size() / 2)));
        const sim::Message read = card::decodeSms(*record);
        QCOMPARE(read.status, sim::MessageStatus::Unsent);
        QCOMPARE(hexOf(read.pdu).substr(0, pdu.size()), pdu);
        QCOMPARE(card::decodeSms(card::freeSms(176)), sim::Message{});
        QCOMPARE(card::decodeSms(bytesOf(ff(176))), sim::Message{});
        QCOMPARE(hexOf(card::freeSms(4)), std::string("00FFFFFF"));
        QVERIFY(!card::encodeSms({sim::MessageStatus::Unsent, bytesOf(pdu)}, 20));
    }
};

QTEST_GUILESS_MAIN(TestCardRecords)
#include "test_card_records.moc"
