// The PDU codec. PDUs are written out field by field in the data rows so a failing row shows
// which octet went wrong. The GSM alphabet below the codec, which names share, comes first.
#include "gsm/alphabet.h"
#include "platform/cp1250.h"
#include "sms/alarm_pdu.h"
#include "sms/PDU.h"

#include <QtTest>

using namespace PDU;

namespace {

constexpr int kVariant = 2;

// The record the SMS page stores: SMS-SUBMIT, relative validity 4 (25 minutes), 7-bit text.
TSMS_Record submitRecord(const std::string& centre, const std::string& destination,
                         const std::string& text1250) {
    TSMS_Record record;
    record.SmscType = 1;
    record.SmscAddress = centre;
    record.FirstOctet = 16;
    record.DestAddressType = 1;
    record.DestAddress = destination;
    record.ValidityPeriod[0] = 4;
    record.MessageText = platform::cp1250ToUtf16(text1250);
    return record;
}

// Every field set to a value no PDU in these tests carries, to see which ones decoding touched.
TSMS_Record sentinelRecord(const QString& pdu) {
    TSMS_Record record;
    record.SmscType = 0xEE;
    record.SmscAddress = "centre";
    record.FirstOctet = 0xEE;
    record.MessageRef = 0xEE;
    record.OrigAddressType = 0xEE;
    record.DestAddressType = 0xEE;
    record.OrigAddress = "orig";
    record.DestAddress = "dest";
    record.ProtocolId = 0xEE;
    record.DataCoding = 0xEE;
    record.TimeStamp.fill(0xEE);
    record.UserDataHeader = "EE";
    record.MessageText = u"untouched";
    record.PduText = pdu.toStdString();
    return record;
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
QString text8(const std::u16string& text) {
    return qs(platform::utf16ToCp1250(text));
}

// A SIM keeps a stored message in a record of 176 octets, the PDU padded with FF.
constexpr std::size_t kSimRecordOctets = 176;

Octets inSimRecord(Octets pdu) {
    pdu.resize(kSimRecordOctets, 0xFF);
    return pdu;
}

// The shortest start of the PDU that the byte API does not call cut.
std::size_t shortestUncut(const Octets& pdu) {
    for (std::size_t length = 0; length < pdu.size(); ++length) {
        TSMS_Record record;
        if (DecodePdu(std::span(pdu).first(length), record, kVariant).fault != PduFault::Cut)
            return length;
    }
    return pdu.size();
}

const QString kPoplachPdu = "0791246030500200"
                            "11"
                            "00"
                            "0C91246030214365"
                            "00"
                            "00"
                            "04"
                            "07D0379C1D1EA301";

} // namespace

namespace PDU {
char* toString(const PduFault& fault) {
    static const char* const names[] = {"None", "Cut", "Malformed"};
    return qstrdup(names[int(fault)]);
}
} // namespace PDU

class TestPdu : public QObject {
    Q_OBJECT

private slots:
    void alphabetToSeptets_data();
    void alphabetToSeptets();
    void alphabetFromSeptets_data();
    void alphabetFromSeptets();
    void encodesSubmit_data();
    void encodesSubmit();
    void packsSeptets_data();
    void packsSeptets();
    void unpacksSeptetsLowestCodeWins_data();
    void unpacksSeptetsLowestCodeWins();
    void decodesWhatItEncodes_data();
    void decodesWhatItEncodes();
    void decodesDeliverIntoOriginFields();
    void decodingLeavesAbsentFieldsAlone();
    void refusesImpossibleLengths_data();
    void refusesImpossibleLengths();
    void cutsTextThatOneMessageCannotHold_data();
    void cutsTextThatOneMessageCannotHold();
    void headerIndicatorFollowsTheHeader();
    void survivesTruncatedPdus();
    void readsInvalidDigitsAsZero_data();
    void readsInvalidDigitsAsZero();
    void readsNumbersDigitByDigit();
    void bitsToByte_data();
    void bitsToByte();
};

// Characters as Unicode, not through any code page; "none" where one has no form.
void TestPdu::alphabetToSeptets_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("septets");
    QTest::newRow("@ is septet 0") << QString("@a")
                                   << QByteArray("\x00"
                                                 "a",
                                                 2);
    QTest::newRow("extension table and euro")
        << QString::fromUtf8("{€}") << QByteArray("\x1B\x28\x1B\x65\x1B\x29");
    QTest::newRow("Greek capitals") << QString::fromUtf8("ΔΩ") << QByteArray("\x10\x15");
    QTest::newRow("c caron has none") << QString::fromUtf8("čas") << QByteArray("none");
    QTest::newRow("grave accent has none") << QString("a`") << QByteArray("none");
    QTest::newRow("the escape character has none") << QString("\x1B") << QByteArray("none");
}

void TestPdu::alphabetToSeptets() {
    QFETCH(QString, text);
    QFETCH(QByteArray, septets);
    const auto got = gsm::toSeptets(text.toStdU16String());
    QCOMPARE(got ? QByteArray::fromStdString(*got) : QByteArray("none"), septets);
}

void TestPdu::alphabetFromSeptets_data() {
    QTest::addColumn<QByteArray>("septets");
    QTest::addColumn<QString>("text");
    QTest::newRow("escape and euro") << QByteArray("\x1B\x65"
                                                   "1")
                                     << QString::fromUtf8("€1");
    QTest::newRow("escape before a septet the table lacks") << QByteArray("\x1B"
                                                                          "A")
                                                            << QString("A");
    QTest::newRow("escape at the end") << QByteArray("A\x1B") << QString("A");
    QTest::newRow("no septet above 127") << QByteArray("A\xC1"
                                                       "B")
                                         << QString("AB");
    QTest::newRow("00 and 7F") << QByteArray("\x00\x7F", 2) << QString::fromUtf8("@à");
}

void TestPdu::alphabetFromSeptets() {
    QFETCH(QByteArray, septets);
    QTEST(QString::fromStdU16String(gsm::fromSeptets(septets.toStdString())), "text");
}

void TestPdu::encodesSubmit_data() {
    QTest::addColumn<QString>("centre");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pdu");
    QTest::addColumn<int>("tpduLength");

    // clang-format off
    // centre | first octet, reference | destination | protocol, coding | validity | user data
    QTest::newRow("worked example Poplach") << "+420603052000" << "+420603123456" << "Poplach" << kPoplachPdu << 21;
    QTest::newRow("OK2") << "+420603052000" << "+420603123456" << "OK2"
        << "0791246030500200" "1100" "0C91246030214365" "0000" "04" "03CFA50C" << 17;
    QTest::newRow("empty centre is the single octet 00") << "" << "+420603123456" << "Poplach"
        << "00" "1100" "0C91246030214365" "0000" "04" "07D0379C1D1EA301" << 21;
    QTest::newRow("eleven digits get an F filler") << "+420603052000" << "+42060312345" << "OK3"
        << "0791246030500200" "1100" "0B912460302143F5" "0000" "04" "03CFE50C" << 17;
    QTest::newRow("no plus sign gives type 81") << "420603052000" << "420603123456" << "OK4"
        << "0781246030500200" "1100" "0C81246030214365" "0000" "04" "03CF250D" << 17;
    QTest::newRow("odd centre") << "+4206030520001" << "+420603123456" << ""
        << "0891246030500200F1" "1100" "0C91246030214365" "0000" "04" "00" << 14;
    // clang-format on
}

void TestPdu::encodesSubmit() {
    QFETCH(QString, centre);
    QFETCH(QString, destination);
    QFETCH(QString, text);
    QFETCH(QString, pdu);
    QFETCH(int, tpduLength);

    // The alarm message as the page and the command line store it, and as both read it back.
    const auto encoded =
        alarm_pdu::encode(centre.toStdString(), destination.toStdString(), text.toStdString());
    QCOMPARE(int(encoded.length), tpduLength);
    QCOMPARE(qs(encoded.record.PduText), pdu);
    QCOMPARE(qs(OctetsToHex(encoded.octets)), pdu);
    QCOMPARE(alarm_pdu::decode(encoded.octets),
             (message_set::Message{destination.toStdString(), text.toStdString()}));
    QCOMPARE(alarm_pdu::decode(inSimRecord(encoded.octets)),
             (message_set::Message{destination.toStdString(), text.toStdString()}));
    // Regression: a read answer cut short showed as part of a message, the rest of the row lost.
    for (std::size_t length = 0; length < encoded.octets.size(); ++length)
        QVERIFY2(!alarm_pdu::decode(std::span(encoded.octets).first(length)),
                 qPrintable(QString::number(length)));
}

void TestPdu::packsSeptets_data() {
    QTest::addColumn<QByteArray>("text"); // Windows-1250
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("field");

    QTest::newRow("seven septets in seven octets") << QByteArray("1234567") << ""
                                                   << "0731D98C56B3DD00";
    QTest::newRow("eight septets in seven octets") << QByteArray("12345678") << ""
                                                   << "0831D98C56B3DD70";
    // Both count two in the length: escape plus the extension septet.
    QTest::newRow("[ is escape and 3C") << QByteArray("[") << ""
                                        << "021B1E";
    QTest::newRow("euro code 128 is escape and 65") << QByteArray("\x80") << ""
                                                    << "029B32";
    QTest::newRow("s caron has no entry and goes as 7F") << QByteArray("\x9A") << ""
                                                         << "017F";
    QTest::newRow("c caron is looked up by its code, e grave") << QByteArray("\xE8") << ""
                                                               << "0104";
    // Seven header septets, then one fill bit before "A".
    QTest::newRow("five-octet header, one fill bit") << QByteArray("A") << "0003AB0201"
                                                     << "08050003AB020182";
    // Four header septets, then four fill bits.
    QTest::newRow("two-octet header, four fill bits") << QByteArray("A") << "0A0B"
                                                      << "05020A0B1004";
    QTest::newRow("empty text") << QByteArray() << ""
                                << "00";
}

void TestPdu::packsSeptets() {
    QFETCH(QByteArray, text);
    QFETCH(QString, header);
    QFETCH(QString, field);

    const std::string packed =
        ConvertUserData7(kVariant, Direction::Encode, header.toStdString(), text.toStdString());
    QCOMPARE(qs(packed), field);
}

void TestPdu::unpacksSeptetsLowestCodeWins_data() {
    QTest::addColumn<QByteArray>("septets");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("0A is line feed, not 16") << QByteArray("\x0A") << QByteArray("\x0A");
    QTest::newRow("1B 0A is form feed, not 18") << QByteArray("\x1B\x0A") << QByteArray("\x0C");
    QTest::newRow("60 is grave accent, not 191") << QByteArray("\x60") << QByteArray("`");
    QTest::newRow("7F is 127, not 224") << QByteArray("\x7F") << QByteArray("\x7F");
    QTest::newRow("greek delta 10 is dropped") << QByteArray("A\x10"
                                                             "B")
                                               << QByteArray("AB");
    QTest::newRow("escape at the end is dropped") << QByteArray("A\x1B") << QByteArray("A");
    QTest::newRow("escape 65 is the euro of code 128") << QByteArray("\x1B\x65") << QByteArray("\x80");
    QTest::newRow("escape 3C is [") << QByteArray("\x1B\x3C") << QByteArray("[");
    QTest::newRow("04 is code 232, c caron in 1250") << QByteArray("\x04") << QByteArray("\xE8");
}

void TestPdu::unpacksSeptetsLowestCodeWins() {
    QFETCH(QByteArray, septets);
    QFETCH(QByteArray, text);
    QCOMPARE(QByteArray::fromStdString(SeptetsToText(kVariant, septets.toStdString())), text);
}

void TestPdu::decodesWhatItEncodes_data() {
    QTest::addColumn<QString>("destination");
    QTest::addColumn<int>("coding");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("text"); // UTF-8 here, UTF-16 in the record
    QTest::addColumn<QString>("decoded");
    QTest::addColumn<QString>("decodedHeader");
    QTest::addColumn<PduFault>("fault"); // of the PDU in a SIM record

    QTest::newRow("plus and F filler restored") << "+42060312345" << 0 << ""
                                                << "OK3"
                                                << "OK3"
                                                << "" << PduFault::None;
    QTest::newRow("no plus stays without") << "420603123456" << 0 << ""
                                           << "OK4"
                                           << "OK4"
                                           << "" << PduFault::None;
    QTest::newRow("[ and euro come back") << "+420603123456" << 0 << ""
                                          << "a[b€c"
                                          << "a[b€c"
                                          << "" << PduFault::None;
    QTest::newRow("s caron comes back as 127") << "+420603123456" << 0 << ""
                                               << "š" << QString(QChar(127)) << "" << PduFault::None;
    QTest::newRow("c caron comes back") << "+420603123456" << 0 << ""
                                        << "č"
                                        << "č"
                                        << "" << PduFault::None;
    QTest::newRow("7-bit after a five-octet header") << "+420603123456" << 0 << "0003AB0201"
                                                     << "Poplach"
                                                     << "Poplach"
                                                     << "0003AB0201" << PduFault::None;
    QTest::newRow("7-bit after a two-octet header") << "+420603123456" << 0 << "0A0B"
                                                    << "OK1"
                                                    << "OK1"
                                                    << "0A0B" << PduFault::None;
    QTest::newRow("8-bit through the code page") << "+420603123456" << 4 << ""
                                                 << "Žluťoučký kůň"
                                                 << "Žluťoučký kůň"
                                                 << "" << PduFault::None;
    QTest::newRow("8-bit after a header") << "+420603123456" << 4 << "0A0B"
                                          << "čau"
                                          << "čau"
                                          << "0A0B" << PduFault::None;
    QTest::newRow("UCS2") << "+420603123456" << 8 << ""
                          << "Ωmega ☎"
                          << "Ωmega ☎"
                          << "" << PduFault::None;
    QTest::newRow("UCS2 after a header") << "+420603123456" << 8 << "0003AB0201"
                                         << "ř"
                                         << "ř"
                                         << "0003AB0201" << PduFault::None;
    QTest::newRow("reserved alphabet carries no text") << "+420603123456" << 12 << ""
                                                       << "lost"
                                                       << "untouched"
                                                       << "EE" << PduFault::Malformed;
}

void TestPdu::decodesWhatItEncodes() {
    QFETCH(QString, destination);
    QFETCH(int, coding);
    QFETCH(QString, header);
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    QFETCH(QString, decodedHeader);
    QFETCH(PduFault, fault);

    auto record = submitRecord("+420603052000", destination.toStdString(), "");
    record.DataCoding = std::uint8_t(coding);
    record.UserDataHeader = header.toStdString();
    record.MessageText = text.toStdU16String();
    EncodeSms(record, kVariant);

    auto back = sentinelRecord(qs(record.PduText));
    DecodeSms(back, kVariant);
    QCOMPARE(qs(back.SmscAddress), QString("+420603052000"));
    QCOMPARE(int(back.SmscType), 0x91);
    QCOMPARE(qs(back.DestAddress), destination);
    QCOMPARE(int(back.DestAddressType), destination.startsWith('+') ? 0x91 : 0x81);
    QCOMPARE(int(back.FirstOctet), header.isEmpty() ? 0x11 : 0x51);
    QCOMPARE(qs(back.UserDataHeader), decodedHeader);
    QCOMPARE(QString::fromStdU16String(back.MessageText), decoded);
    // Fields of the deliver layout are not in a submit PDU.
    QCOMPARE(qs(back.OrigAddress), QString("orig"));
    QCOMPARE(int(back.TimeStamp[0]), 0xEE);

    // The byte API reads the user data by its length, up to its last octet and not into the SIM
    // record's padding. A reserved alphabet's PDU ends before its user-data length, so the first
    // padding octet stands for one no PDU can have.
    const Octets octets = EncodePdu(record, kVariant).octets;
    auto fromSim = sentinelRecord("");
    const DecodedPdu sim = DecodePdu(inSimRecord(octets), fromSim, kVariant);
    QCOMPARE(sim.fault, fault);
    if (sim.fault == PduFault::None)
        QCOMPARE(sim.octets, octets.size());
    QCOMPARE(QString::fromStdU16String(fromSim.MessageText), decoded);
    QCOMPARE(shortestUncut(octets), octets.size());
}

void TestPdu::decodesDeliverIntoOriginFields() {
    auto record = sentinelRecord("0791246030500200"
                                 "04"               // deliver, nothing more to send
                                 "0C91246030214365" // from +420603123456
                                 "00"
                                 "00"
                                 "32507141035440" // 2023-05-17 14:30:45, zone 4
                                 "02CF25");       // "OK"
    DecodeSms(record, kVariant);

    QCOMPARE(qs(record.OrigAddress), QString("+420603123456"));
    QCOMPARE(int(record.OrigAddressType), 0x91);
    const std::array<std::uint8_t, 7> stamp{23, 5, 17, 14, 30, 45, 4};
    QVERIFY(record.TimeStamp == stamp);
    QCOMPARE(text8(record.MessageText), QString("OK"));
    QCOMPARE(int(record.FirstOctet), 4);
    // A deliver PDU carries no reference and no destination.
    QCOMPARE(qs(record.DestAddress), QString("dest"));
    QCOMPARE(int(record.DestAddressType), 0xEE);
    QCOMPARE(int(record.MessageRef), 0xEE);

    // Regression: a sender with a name (type of number 101) came out as its packed octets in digits.
    record = sentinelRecord("0791246030500200"
                            "04"
                            "14D04937BD2C7797E9D3E614" // from "InternetSMS", 20 semi-octets
                            "0000"
                            "32507141035440"
                            "02CF25");
    DecodeSms(record, kVariant);
    QCOMPARE(qs(record.OrigAddress), QString("InternetSMS"));
    QCOMPARE(text8(record.MessageText), QString("OK"));
    // The time stamp and a name's semi-octets count where the PDU may end.
    const Octets octets = HexToOctets(record.PduText).value();
    QCOMPARE(shortestUncut(octets), octets.size());
}

void TestPdu::decodingLeavesAbsentFieldsAlone() {
    // Centre length 00: the centre fields keep what they held; so does an empty address.
    auto record = sentinelRecord("00"
                                 "11"
                                 "07"
                                 "0091"
                                 "00"
                                 "00"
                                 "04"
                                 "00");
    DecodeSms(record, kVariant);
    QCOMPARE(qs(record.SmscAddress), QString("centre"));
    QCOMPARE(int(record.SmscType), 0xEE);
    QCOMPARE(qs(record.DestAddress), QString("dest"));
    QCOMPARE(int(record.DestAddressType), 0x91);
    QCOMPARE(int(record.MessageRef), 7);
    QCOMPARE(text8(record.MessageText), QString());
    QCOMPARE(qs(record.UserDataHeader), QString()); // no header indicator: emptied
}

// Each length is one no PDU can have; the fields are read all the same, as the text functions
// always read them, so only the byte API tells such a PDU from a sound one.
void TestPdu::refusesImpossibleLengths_data() {
    QTest::addColumn<QString>("pdu");
    QTest::addColumn<QString>("destination"); // as read despite the length

    // After the first octet: reference, to +420603123456, protocol, 7-bit, relative validity.
    const QString fields = "00"
                           "0C91246030214365"
                           "0000"
                           "04";
    // clang-format off
    // centre | first octet | ... | user-data length | header length, header | text
    QTest::newRow("SMS-centre address of 12 octets")
        << "0C91" "2143658709214365870921" "11" + fields + "02" "CF25" << "+420603123456";
    QTest::newRow("21 destination digits")
        << "00" "11" "00" "1591" "21436587092143658709F1" "0000" "04" "02" "CF25" << "+123456789012345678901";
    QTest::newRow("header of 7 septets in user data of 4")
        << "00" "51" + fields + "04" "05" "0003AB0201" << "+420603123456";
    QTest::newRow("header in user data of 0 septets")
        << "00" "51" + fields + "00" "00" << "+420603123456";
    QTest::newRow("161 septets")
        << "00" "11" + fields + "A1" + QString(2 * 141, '0') << "+420603123456";
    QTest::newRow("141 octets of 8-bit data")
        << "00" "11" "00" "0C91246030214365" "0004" "04" "8D" + QString(2 * 141, '1') << "+420603123456";
    // The centre's length comes before the end of the PDU.
    QTest::newRow("SMS-centre address of 32 octets, and nothing after it") << "20" << "dest";
    // clang-format on
}

void TestPdu::refusesImpossibleLengths() {
    QFETCH(QString, pdu);
    QFETCH(QString, destination);

    const auto octets = HexToOctets(pdu.toStdString());
    QVERIFY(octets);
    auto record = sentinelRecord("");
    QCOMPARE(DecodePdu(*octets, record, kVariant).fault, PduFault::Malformed);
    QCOMPARE(qs(record.DestAddress), destination);
}

void TestPdu::cutsTextThatOneMessageCannotHold_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("coding");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("characters");

    QTest::newRow("7-bit stops at 160 septets") << QString(200, 'A') << 0 << "" << 160;
    QTest::newRow("an escape pair is never split") << QString(159, 'A') + "[" << 0 << "" << 159;
    QTest::newRow("7-bit header takes its septets") << QString(200, 'A') << 0 << "0003AB0201" << 153;
    QTest::newRow("8-bit stops at 140 octets") << QString(150, 'x') << 4 << "" << 140;
    QTest::newRow("UCS2 stops at 70 characters") << QString(100, 'x') << 8 << "" << 70;
    QTest::newRow("UCS2 never keeps half a surrogate pair") << QString(69, 'x') + "😀" << 8 << "" << 69;
    QTest::newRow("what fits is left alone") << QString(160, 'A') << 0 << "" << 160;
}

void TestPdu::cutsTextThatOneMessageCannotHold() {
    QFETCH(QString, text);
    QFETCH(int, coding);
    QFETCH(QString, header);
    QFETCH(int, characters);

    auto record = submitRecord("+420603052000", "+420603123456", "");
    record.MessageText = text.toStdU16String();
    record.DataCoding = std::uint8_t(coding);
    record.UserDataHeader = header.toStdString();
    const int tpdu = EncodeSms(record, kVariant);
    QVERIFY(tpdu <= 14 + 140); // submit fields before the user data, then at most 140 octets

    auto back = sentinelRecord(qs(record.PduText));
    DecodeSms(back, kVariant);
    QCOMPARE(int(back.MessageText.size()), characters);
    QCOMPARE(back.MessageText, record.MessageText.substr(0, characters));
}

// The indicator says whether a header follows, whatever the caller left in the first octet: a
// reader would otherwise take text for header octets.
void TestPdu::headerIndicatorFollowsTheHeader() {
    auto record = submitRecord("", "+420603123456", "A");
    record.FirstOctet = 16 | 64;
    EncodeSms(record, kVariant);
    QCOMPARE(qs(record.PduText).mid(2, 2), QString("11"));
    record.FirstOctet = 16;
    record.UserDataHeader = "0A0B";
    EncodeSms(record, kVariant);
    QCOMPARE(qs(record.PduText).mid(2, 2), QString("51"));
}

// A reply cut short (a late or partial answer) must never be read past its end, and must not
// invent fields it does not hold.
void TestPdu::survivesTruncatedPdus() {
    const std::u16string full = u"Poplach";
    for (int length = 0; length <= kPoplachPdu.size(); ++length) {
        auto record = sentinelRecord(kPoplachPdu.left(length));
        DecodeSms(record, kVariant);
        const QString dest = qs(record.DestAddress);
        QVERIFY2(dest == "dest" || dest == "+420603123456", qPrintable(dest));
        if (length < 36)
            QCOMPARE(dest, QString("dest"));
        const bool untouched = record.MessageText == u"untouched";
        QVERIFY2(untouched || full.starts_with(record.MessageText), qPrintable(QString::number(length)));
        QCOMPARE(untouched, length < 44); // the text needs at least its length octet
    }
    // A length octet that claims more septets than the octets hold.
    auto record = sentinelRecord("00110000910000040FD037");
    DecodeSms(record, kVariant);
    QCOMPARE(text8(record.MessageText), QString("Po"));
    // The same for 8-bit and UCS2 counts, and a header longer than the text.
    record = sentinelRecord("00110000910004040450C3");
    DecodeSms(record, kVariant);
    QCOMPARE(QString::fromStdU16String(record.MessageText), QString("PĂ"));
    record = sentinelRecord("00110000910008040A01");
    DecodeSms(record, kVariant);
    QCOMPARE(QString::fromStdU16String(record.MessageText), QString());
    record = sentinelRecord("005100009100000408050003");
    DecodeSms(record, kVariant);
    QCOMPARE(qs(record.UserDataHeader), QString("EE"));
    QCOMPARE(text8(record.MessageText), QString("untouched"));
}

// The text functions read what they can; the octets of the byte API come only from whole hex.
void TestPdu::readsInvalidDigitsAsZero_data() {
    QTest::addColumn<QString>("pdu");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("octets"); // HexToOctets, back in hex

    // "he" reads as 0E: a centre of 14 octets that the text does not hold, so nothing is set.
    QTest::newRow("plain words") << "hello world"
                                 << "dest"
                                 << "untouched"
                                 << "none";
    QTest::newRow("empty") << ""
                           << "dest"
                           << "untouched"
                           << "";
    QTest::newRow("junk in the text octets") << "0011000491214300000407D0379C1D1EZZ01"
                                             << "+1234"
                                             << "Popla"
                                             << "none";
    QTest::newRow("lower-case hex") << kPoplachPdu.toLower() << "+420603123456"
                                    << "Poplach" << kPoplachPdu;
    QTest::newRow("an odd last digit is left out") << kPoplachPdu + "1"
                                                   << "+420603123456"
                                                   << "Poplach"
                                                   << "none";
}

void TestPdu::readsInvalidDigitsAsZero() {
    QFETCH(QString, pdu);
    QFETCH(QString, destination);
    QFETCH(QString, text);
    QFETCH(QString, octets);

    auto record = sentinelRecord(pdu);
    DecodeSms(record, kVariant);
    QCOMPARE(qs(record.DestAddress), destination);
    QCOMPARE(QString::fromStdU16String(record.MessageText).left(text.size()), text);
    const auto strict = HexToOctets(pdu.toStdString());
    QCOMPARE(strict ? qs(OctetsToHex(*strict)) : QString("none"), octets);
}

void TestPdu::readsNumbersDigitByDigit() {
    QCOMPARE(HexToInt("G1"), 1u);
    QCOMPARE(HexToInt("fF"), 255u);
    QCOMPARE(HexToInt(""), 0u);
    QCOMPARE(DecToInt("4x"), 40u);
    QCOMPARE(DecToInt("A4"), 4u); // a negative time zone reads as its low digit
    QCOMPARE(ByteToHex(10), std::string("0A"));
}

void TestPdu::bitsToByte_data() {
    QTest::addColumn<QString>("bits");
    QTest::addColumn<int>("octet");

    QTest::newRow("validity format relative") << "00010000" << 16;
    QTest::newRow("numbering plan 1") << "00000001" << 1;
    QTest::newRow("two bits") << "00100001" << 33;
    QTest::newRow("only the last eight count") << "1100000001" << 1;
    QTest::newRow("anything but 1 leaves the bit clear") << "x1" << 1;
    QTest::newRow("short text is the low bits") << "101" << 5;
}

void TestPdu::bitsToByte() {
    QFETCH(QString, bits);
    QFETCH(int, octet);
    QCOMPARE(int(BitsToByte(bits.toStdString())), octet);
}

QTEST_GUILESS_MAIN(TestPdu)
#include "test_pdu.moc"
