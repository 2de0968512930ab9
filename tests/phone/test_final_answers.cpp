// One command's answer read from what the phone said, as real phones say it: with or without echo,
// unsolicited codes before, inside and after it, cut anywhere, refusals numeric or verbose; the
// phonebook entry and the message PDU taken from it; names in the phone's character set; the
// settings an exchange found and must put back.
#include "phone/final_answers.h"
#include "phone/found_settings.h"
#include "phone/phonebook.h"

#include <QtTest>

using namespace std::string_literals;
using phonebook::Charset;
using phonebook::Entry;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::optional<Entry>)
Q_DECLARE_METATYPE(Charset)

namespace QTest {
template <> char* toString(const std::string& text) {
    return toPrettyCString(text.data(), qsizetype(text.size()));
}
template <> char* toString(const std::optional<Entry>& entry) {
    if (!entry)
        return qstrdup("no entry");
    const QByteArray text = "number \"" + QByteArray::fromStdString(entry->number) + "\", name \"" +
                            QByteArray::fromStdString(entry->name) + "\"";
    return toPrettyCString(text.constData(), text.size());
}
} // namespace QTest

namespace {

// "ok", "error <line>", "prompt" or "none", then what was taken out of it.
QString summary(const std::string& said) {
    const final_answers::Answer answer = final_answers::read(said);
    switch (answer.final) {
    case final_answers::Final::Ok:
        return "ok";
    case final_answers::Final::Error:
        return QString::fromStdString("error " + answer.error);
    case final_answers::Final::Prompt:
        return "prompt";
    case final_answers::Final::None:
        break;
    }
    return "none";
}

std::optional<Entry> entry(const std::string& number, const std::string& name) {
    return Entry{number, name};
}

const std::string kEntryLine = "+CPBR: 2,\"+420603123456\",145,\"Priklad\"";
const std::string kPdu = "079124603050020011000C9124603021436500000407D0379C1D1EA301";

} // namespace

class TestFinalAnswers : public QObject {
    Q_OBJECT
private slots:
    void finalAnswer_data() {
        QTest::addColumn<std::string>("said");
        QTest::addColumn<QString>("expected");
        QTest::newRow("echo on") << std::string("AT\r\r\nOK\r\n") << "ok";
        QTest::newRow("echo off") << std::string("\r\nOK\r\n") << "ok";
        QTest::newRow("unsolicited code first") << std::string("\r\n+CREG: 1\r\nAT\r\r\nOK\r\n") << "ok";
        QTest::newRow("between echo and answer") << std::string("AT\r\r\nRING\r\n\r\nOK\r\n") << "ok";
        QTest::newRow("not yet") << std::string("AT\r") << "none";
        QTest::newRow("final line not ended") << std::string("AT\r\r\nOK") << "none";
        QTest::newRow("nothing said") << std::string() << "none";
        QTest::newRow("a name that reads OK is an echo")
            << std::string("AT+CPBW=1,\"+420603123456\",,\"OK\"\r") << "none";
        QTest::newRow("refused") << std::string("\r\nERROR\r\n") << "error ERROR";
        QTest::newRow("refused with a code")
            << std::string("\r\n+CME ERROR: 24\r\n") << "error +CME ERROR: 24";
        QTest::newRow("refused verbosely")
            << std::string("\r\n+CME ERROR: not found\r\n") << "error +CME ERROR: not found";
        QTest::newRow("prompt") << std::string("AT+CMGW=21\r\r\n> ") << "prompt";
        QTest::newRow("message stored") << std::string(kPdu + "\x1A\r\n+CMGW: 3\r\n\r\nOK\r\n") << "ok";
        QTest::newRow("full SIM after the message")
            << std::string(kPdu + "\x1A\r\n+CMS ERROR: 322\r\n") << "error +CMS ERROR: 322";
    }
    void finalAnswer() {
        QFETCH(std::string, said);
        QTEST(summary(said), "expected");
    }

    // However the phone's output is cut into reads, nothing counts before the final line has ended.
    void piecesDoNotMatter() {
        const std::string said = "AT+CPBR=2\r\r\n+CREG: 1\r\n" + kEntryLine + "\r\n\r\nOK\r\n";
        for (std::size_t cut = 0; cut <= said.size(); ++cut) {
            const auto answer = final_answers::read(said.substr(0, cut));
            QCOMPARE(answer.complete(), cut >= said.size() - 1);
            if (answer.complete())
                QCOMPARE(phonebook::entryOf(answer, 2), entry("+420603123456", "Priklad"));
        }
    }

    void errorMeanings() {
        using namespace final_answers;
        for (const char* absent : {"+CMS ERROR: 321", "+CME ERROR: 22", "+CME ERROR: not found"})
            QVERIFY2(meansAbsent(absent), absent);
        for (const char* other : {"ERROR", "+CMS ERROR: 322", "+CME ERROR: 2", "+CME ERROR: 221"})
            QVERIFY2(!meansAbsent(other), other);
        QVERIFY(meansPinNeeded("+CME ERROR: 11") && meansPinNeeded("+CMS ERROR: 311") &&
                meansPinNeeded("+CME ERROR: SIM PIN required"));
        QVERIFY(meansPukNeeded("+CME ERROR: 12") && meansPukNeeded("+CMS ERROR: 316"));
        QVERIFY(meansSimBusy("+CME ERROR: 14") && meansSimBusy("+CMS ERROR: 314") &&
                meansSimBusy("+CME ERROR: SIM busy"));
        QVERIFY(meansWrongPin("+CME ERROR: 16") && meansWrongPin("+CME ERROR: incorrect password"));
        QVERIFY(!meansPinNeeded("ERROR") && !meansWrongPin("+CME ERROR: 160"));
    }

    void phonebookEntry_data() {
        QTest::addColumn<std::string>("said");
        QTest::addColumn<std::optional<Entry>>("expected");
        const auto echoed = [](const std::string& lines) { return "AT+CPBR=2\r\r\n" + lines; };
        QTest::newRow("entry") << echoed(kEntryLine + "\r\n\r\nOK\r\n") << entry("+420603123456", "Priklad");
        QTest::newRow("without echo") << "\r\n" + kEntryLine + "\r\n\r\nOK\r\n"
                                      << entry("+420603123456", "Priklad");
        QTest::newRow("unsolicited codes around it")
            << echoed("+CREG: 1\r\n" + kEntryLine + "\r\n^RSSI:12\r\n\r\nOK\r\n")
            << entry("+420603123456", "Priklad");
        QTest::newRow("no blank after the colon")
            << echoed("+CPBR:2,\"+420603123456\",145,\"Priklad\"\r\nOK\r\n")
            << entry("+420603123456", "Priklad");
        QTest::newRow("empty name") << echoed("+CPBR: 2,\"+420603123456\",145,\"\"\r\nOK\r\n")
                                    << entry("+420603123456", "");
        QTest::newRow("empty position") << echoed("OK\r\n") << std::optional<Entry>();
        // Regression: cut at 13 characters, a short number took the closing quote and the type with it.
        QTest::newRow("short number")
            << echoed("+CPBR: 2,\"603123456\",129,\"Jan\"\r\nOK\r\n") << entry("603123456", "Jan");
        // Regression: the name ran on into the CR LF and the final OK.
        QTest::newRow("name without closing quote")
            << echoed("+CPBR: 2,\"+420603123456\",145,\"Priklad\r\nOK\r\n")
            << entry("+420603123456", "Priklad");
        QTest::newRow("no name field")
            << echoed("+CPBR: 2,\"+420603123456\",145\r\nOK\r\n") << entry("+420603123456", "");
        // Regression: a late answer to the previous read filled this position with the other entry.
        QTest::newRow("entry of another position")
            << echoed("+CPBR: 1,\"+420603123456\",145,\"Priklad\"\r\nOK\r\n") << std::optional<Entry>();
        QTest::newRow("after the final answer")
            << echoed("OK\r\n" + kEntryLine + "\r\n") << std::optional<Entry>();
    }
    void phonebookEntry() {
        QFETCH(std::string, said);
        QTEST(phonebook::entryOf(final_answers::read(said), 2), "expected");
    }

    void messagePdu_data() {
        QTest::addColumn<std::string>("said");
        QTest::addColumn<std::string>("pdu");
        QTest::newRow("message") << "AT+CMGR=1\r\r\n+CMGR: 2,,21\r\n" + kPdu + "\r\n\r\nOK\r\n" << kPdu;
        QTest::newRow("code between header and PDU")
            << "\r\n+CMGR: 2,,21\r\n\r\n+CMTI: \"SM\",9\r\n" + kPdu + "\r\n\r\nOK\r\n"
            << kPdu;
        QTest::newRow("empty position") << std::string("AT+CMGR=1\r\r\nOK\r\n") << std::string();
        QTest::newRow("header without PDU") << std::string("\r\n+CMGR: 2,,21\r\n\r\nOK\r\n") << std::string();
    }
    void messagePdu() {
        QFETCH(std::string, said);
        QTEST(std::string(final_answers::read(said).hexLineAfter("+CMGR:").value_or("")), "pdu");
    }

    void charsetChosen_data() {
        QTest::addColumn<std::string>("offered");
        QTest::addColumn<Charset>("chosen");
        QTest::newRow("UCS2 first") << std::string("(\"IRA\",\"GSM\",\"UCS2\")") << Charset::Ucs2;
        QTest::newRow("GSM before IRA") << std::string("(\"IRA\",\"GSM\",\"PCCP437\")") << Charset::Gsm;
        QTest::newRow("IRA only") << std::string("(\"IRA\")") << Charset::Ira;
        QTest::newRow("nothing known") << std::string("(\"8859-1\")") << Charset::Unchanged;
        QTest::newRow("not answered") << std::string() << Charset::Unchanged;
    }
    void charsetChosen() {
        QFETCH(std::string, offered);
        QTEST(phonebook::choose(offered), "chosen");
    }

    // A name goes in the set that takes the least room on the SIM, without a switch where the set
    // in use will do.
    void setForName_data() {
        QTest::addColumn<std::string>("name");
        QTest::addColumn<Charset>("inUse");
        QTest::addColumn<std::string>("offered");
        QTest::addColumn<Charset>("chosen");
        const std::string all = R"(("IRA","GSM","UCS2"))";
        const std::string cizek = "\xC8\xED\x9E" "ek"; // "Čížek"
        QTest::newRow("plain stays in GSM")
            << std::string("Sousedka Eva") << Charset::Gsm << all << Charset::Gsm;
        QTest::newRow("plain stays in IRA") << std::string("Setup") << Charset::Ira << all << Charset::Ira;
        QTest::newRow("plain leaves UCS2 for GSM")
            << std::string("Casy") << Charset::Ucs2 << all << Charset::Gsm;
        QTest::newRow("plain leaves UCS2 for IRA")
            << std::string("Casy") << Charset::Ucs2 << std::string(R"(("IRA","UCS2"))") << Charset::Ira;
        QTest::newRow("braces leave IRA-less UCS2 for GSM")
            << std::string("{Otec}") << Charset::Ucs2 << std::string(R"(("GSM","UCS2"))") << Charset::Gsm;
        QTest::newRow("Czech needs UCS2") << cizek << Charset::Gsm << all << Charset::Ucs2;
        QTest::newRow("Czech stays in UCS2") << cizek << Charset::Ucs2 << std::string() << Charset::Ucs2;
        QTest::newRow("Czech without UCS2 stays, not to be sent")
            << cizek << Charset::Gsm << std::string(R"(("GSM"))") << Charset::Gsm;
        QTest::newRow("a set the tool does not know")
            << cizek << Charset::Unchanged << std::string() << Charset::Unchanged;
    }
    void setForName() {
        QFETCH(std::string, name);
        QFETCH(Charset, inUse);
        QFETCH(std::string, offered);
        QTEST(phonebook::forName(name, inUse, phonebook::listed(offered)), "chosen");
    }

    // Only what the exchange changed goes back, to what the phone reported before the change.
    void settingsPutBack_data() {
        QTest::addColumn<std::string>("said");
        QTest::addColumn<std::string>("restore");
        const std::string selections = "AT+CMEE?;+CMEE=1;+CPIN?;+CSCS=?;+CSCS?;+CMGF?\r\r\n+CMEE: 0\r\n"
                                       "\r\n+CPIN: READY\r\n\r\n+CSCS: (\"IRA\",\"GSM\",\"UCS2\")\r\n";
        QTest::newRow("all changed") << selections + "\r\n+CSCS: \"GSM\"\r\n\r\n+CMGF: 1\r\n\r\nOK\r\n"
                                     << std::string("AT+CSCS=\"GSM\";+CMGF=1;+CMEE=0\r");
        QTest::newRow("found as it is set")
            << std::string("AT+CSCS?;+CMGF?;+CMEE?\r\r\n+CSCS: \"UCS2\"\r\n\r\n+CMGF: 0\r\n\r\n+CMEE: "
                           "1\r\n\r\nOK\r\n")
            << std::string();
        QTest::newRow("never reported") << std::string("AT+CMEE?\r\r\nERROR\r\n") << std::string();
    }
    void settingsPutBack() {
        QFETCH(std::string, said);
        FoundSettings settings;
        settings.takeFrom(final_answers::read(said));
        // A later report tells what the exchange itself set.
        settings.takeFrom(final_answers::read("\r\n+CMEE: 1\r\n\r\n+CSCS: \"UCS2\"\r\n\r\nOK\r\n"));
        settings.changed(FoundSettings::Setting::Charset, "\"UCS2\"");
        settings.changed(FoundSettings::Setting::MessageFormat, "0");
        settings.changed(FoundSettings::Setting::ErrorCodes, "1");
        QTEST(settings.restoreCommand(), "restore");
    }

    // What a write sends is what a read gives back, Czech letters included, in every set that can
    // carry them; a set that cannot carry a letter says so instead of sending something else.
    void namesInCharsets() {
        const std::string zena = "\x8E"
                                 "ena \xE8\x9A\"X\""; // "Žena čš"X"" in Windows-1250
        const auto ucs2 = phonebook::encodeName(zena, Charset::Ucs2);
        QCOMPARE(ucs2, std::optional<std::string>("017D0065006E00610020010D0161002200580022"));
        QCOMPARE(phonebook::decodeName(*ucs2, Charset::Ucs2), zena);
        QCOMPARE(phonebook::decodeName("004f007400650063", Charset::Ucs2), std::string("Otec"));
        // A phone that gives the name as it is despite the set.
        QCOMPARE(phonebook::decodeName("Otec", Charset::Ucs2), std::string("Otec"));

        // "čas": č is no GSM letter, though the code Windows-1250 gives it is è in ISO 8859-1.
        QCOMPARE(phonebook::encodeName("\xE8"
                                       "as",
                                       Charset::Gsm),
                 std::optional<std::string>());
        QCOMPARE(phonebook::encodeName(zena, Charset::Gsm), std::optional<std::string>());
        // The extension table and the euro, each an escape and a septet.
        const std::string brackets = "[Eva] \x80@";
        QCOMPARE(phonebook::encodeName(brackets, Charset::Gsm),
                 std::optional<std::string>("\x1B<Eva\x1B> \x1B\x65\x00"s));
        QCOMPARE(phonebook::decodeName(*phonebook::encodeName(brackets, Charset::Gsm), Charset::Gsm),
                 brackets);
        // IRA is plain ASCII, and only what the SIM's alphabet can keep.
        QCOMPARE(phonebook::encodeName(zena, Charset::Ira), std::optional<std::string>());
        QCOMPARE(phonebook::encodeName("{Otec}", Charset::Ira), std::optional<std::string>("{Otec}"));
        QCOMPARE(phonebook::encodeName("a`b", Charset::Ira), std::optional<std::string>());

        QCOMPARE(phonebook::decodeNumber("002B003400320030", Charset::Ucs2), std::string("+420"));
        QCOMPARE(phonebook::decodeNumber("+420603123456", Charset::Ucs2), std::string("+420603123456"));
        // Digits that happen to be hex are not a UCS2 number.
        QCOMPARE(phonebook::decodeNumber("12341234", Charset::Ucs2), std::string("12341234"));
    }
};

QTEST_GUILESS_MAIN(TestFinalAnswers)
#include "test_final_answers.moc"
