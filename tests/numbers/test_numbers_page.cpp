// The phone-number page through its controls: layout and form check, the phone write and read
// against a fake port with replies laid out as a phone with command echo sends them, the ".num" file.
#include "exchange/exchange_lock.h"
#include "numbers/Unit6.h"
#include "phone/phone_messages.h"
#include "sim/sim_texts.h"
#include "phone/phonebook.h"
#include "phone/shared_state.h"
#include "platform/pause.h"
#include "platform/text_file.h"
#include "support/file_size_limit.h"
#include "support/page_harness.h"
#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"
#include "widgets/VrStrEdit.h"

#include <algorithm>
#include <functional>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using Texts = std::vector<std::string>;
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(Texts)

namespace QTest {
template <> char* toString(const std::string& text) {
    return toPrettyCString(text.data(), qsizetype(text.size()));
}
template <> char* toString(const Texts& texts) {
    QByteArray joined;
    for (const auto& text : texts)
        joined += "[" + QByteArray::fromStdString(text) + "]";
    return toPrettyCString(joined.constData(), joined.size());
}
} // namespace QTest

namespace {

const std::string kEmpty = "\r\nOK\r\n";
const QString kPortNotOpen = QString::fromUtf8("POZOR - sériový port není otevřen !");
const QString kPhoneSilent = QString::fromUtf8("POZOR - telefon nekomunikuje !");
const QString kMalformed = QString::fromUtf8("POZOR - telefonní čísla nejsou ve správném formátu !");
const QString kWorking = QString::fromUtf8("Moment prosím, pracuji");
const Texts kFresh{"+420603123456", "Priklad", "", "", "", "", "", ""};
const Texts kBackupReads{"AT+CPBR=1\r", "AT+CPBR=2\r", "AT+CPBR=3\r", "AT+CPBR=4\r"};

struct Page : PageHarness {
    using PageHarness::PageHarness;

    TForm6 form{context};

    template <typename T> T& get(const QString& name) {
        T* child = form.findChild<T*>(name);
        if (!child)
            qFatal("no control %s", qPrintable(name));
        return *child;
    }
    VrStrEdit& field(int n) { return get<VrStrEdit>(QStringLiteral("VrStrEdit%1").arg(n)); }
    QPushButton& button(const char* name) { return get<QPushButton>(QString::fromLatin1(name)); }
    QTimer& timer() { return get<QTimer>(QStringLiteral("Timer2")); }
    TGauge& gauge() { return get<TGauge>(QStringLiteral("Gauge1")); }
    QLabel& busyLabel() { return get<VrLabel>(QStringLiteral("VrLabel1")); }

    Texts fields() {
        Texts texts;
        for (int n = 1; n <= 8; ++n)
            texts.push_back(field(n).text1250());
        return texts;
    }
    void setFields(const Texts& texts) {
        for (int n = 1; n <= 8; ++n)
            field(n).setText1250(texts.at(std::size_t(n - 1)));
    }
    int enabledButtons() {
        int count = 0;
        for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "Button1", "Button2"})
            count += button(name).isEnabled() ? 1 : 0;
        return count;
    }
    bool idle() {
        return enabledButtons() == 5 && !timer().isActive() && busyLabel().text().isEmpty() &&
               gauge().isHidden() && !exchanges.busy();
    }
    // What the phone's SIM holds at positions 1 to 4 (what follows the echo of each read).
    void simHolds(const Texts& answers) {
        for (int position = 1; position <= 4; ++position)
            phone.answers[phonebook::readCommand(position)] = answers.at(std::size_t(position - 1));
    }
};

QByteArray fileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestNumbersPage : public QObject {
    Q_OBJECT
private slots:
    void freshPage() {
        Page page;
        QCOMPARE(page.form.size(), QSize(502, 478));
        QCOMPARE(page.fields(), kFresh);
        QVERIFY(page.form.Kontrola());
        QVERIFY(page.idle());
        QCOMPARE(page.field(7).accessibleName(), QString::fromUtf8("4. pozice - číslo"));
        QCOMPARE(page.field(2).accessibleName(), QString::fromUtf8("1. pozice - jméno"));
        QCOMPARE(page.button("BitBtn1").toolTip(), QString::fromUtf8("Maže pouze v programu, ne v telefonu"));
        for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "Button1", "Button2"})
            QCOMPARE(page.button(name).cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(page.field(5).geometry(), QRect(72, 144, 89, 21));
        QCOMPARE(page.button("Button2").geometry(), QRect(96, 352, 161, 25));
    }

    // Typed input stops at 13 characters in a number field only.
    void typing() {
        Page page;
        page.form.BitBtn1Click();
        QTest::keyClicks(&page.field(3), QStringLiteral("+4206031234567"));
        QTest::keyClicks(&page.field(4), QString(40, QLatin1Char('n')));
        QCOMPARE(page.field(3).text(), QStringLiteral("+420603123456"));
        QCOMPARE(page.field(4).text().size(), 40);
    }

    // The write checks the numbers before it looks at the port, so a closed port shows which fails.
    void formCheckGuardsWrite_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<std::string>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("fresh page") << 2 << std::string("Priklad") << kPortNotOpen;
        QTest::newRow("12 characters") << 1 << std::string("420603123456") << kMalformed;
        QTest::newRow("single space") << 7 << std::string(" ") << kMalformed;
        QTest::newRow("name never checked") << 8 << std::string(40, '"') << kPortNotOpen;
    }
    void formCheckGuardsWrite() {
        QFETCH(int, field);
        QFETCH(std::string, value);
        QFETCH(QString, message);
        Page page;
        page.port.open = false;
        page.shared.StepState = 3;
        page.field(field).setText1250(value);
        page.form.Button2Click();
        QCOMPARE(page.dialogs.texts(), QStringList{message});
        QVERIFY(page.port.sent.empty());
        QCOMPARE(page.shared.StepState, 3);
        QVERIFY(page.idle());
    }

    void clearTouchesPageOnly() {
        Page page;
        QTest::mouseClick(&page.button("BitBtn1"), Qt::LeftButton);
        QCOMPARE(page.fields(), Texts(8));
        QVERIFY(page.port.sent.empty());
        QVERIFY(page.dialogs.shown.empty());
    }

    void write() {
        Page page;
        // Windows-1250 "Žena" with a double quote: sent unchanged in a phone whose sets the tool does
        // not know.
        page.phone.charsets = "(\"8859-1\")";
        page.phone.charset = "8859-1";
        page.setFields({"+420603123456", "", "", "not sent", "+420777888999", "\216ena \"X\"", "", ""});
        QList<int> gaugeAtSends;
        page.pause.onWait = [&] {
            gaugeAtSends << page.gauge().progress();
            QVERIFY(!page.gauge().isHidden());
            QCOMPARE(page.busyLabel().text(), kWorking);
            QCOMPARE(page.enabledButtons(), 0);
        };
        page.form.Button2Click();
        QCOMPARE(page.port.sent, Texts{"AT\r"});
        QCOMPARE(page.shared.ReplyBuffer, std::string(" "));
        QCOMPARE(page.shared.StepState, 10);
        QVERIFY(page.timer().isActive());
        // Until the probe is answered only the phone buttons are held back.
        QCOMPARE(page.enabledButtons(), 3);

        page.form.Timer2Timer();
        Texts expected{"AT\r"};
        expected.insert(expected.end(), kPhonebookSelections.begin(), kPhonebookSelections.end());
        // The backup's reads of what the write replaces, in the same exchange.
        expected.insert(expected.end(), kBackupReads.begin(), kBackupReads.end());
        // The entries go together on one line, which the phone confirms as a whole.
        const Texts writes{"AT+CPBW=1,\"+420603123456\",,\"\";+CPBW=2;+CPBW=3,\"+420777888999\",,\"\216ena "
                           "\"X\"\";+CPBW=4\r"};
        expected.insert(expected.end(), writes.begin(), writes.end());
        QCOMPARE(page.port.sent, expected);
        // Each line goes after the gap that follows the last answer; the backup's reads take the
        // gauge's first half.
        QCOMPARE(gaugeAtSends, (QList<int>{0, 0, 12, 25, 37, 95}));
        QCOMPARE(page.gauge().progress(), 100);
        QVERIFY(page.dialogs.shown.empty());
        QVERIFY(page.idle());

        page.form.BitBtn1Click();
        page.port.sent.clear();
        page.form.Button2Click();
        page.form.Timer2Timer();
        QCOMPARE(page.port.sent.back(), std::string("AT+CPBW=1;+CPBW=2;+CPBW=3;+CPBW=4\r"));
    }

    // Each name travels in the set that takes the least room on the SIM: a plain one in GSM, one
    // with a Czech letter in UCS2; a set switched to for a name is switched back at the end. A name
    // no set the phone offers can carry is not sent, and its position is named.
    void charsets_data() {
        QTest::addColumn<QString>("offered");
        QTest::addColumn<std::string>("inUse");
        QTest::addColumn<Texts>("writes");
        QTest::addColumn<QStringList>("boxes");
        const std::string otec = "AT+CPBW=1,\"+420603123456\",,\"Otec\";+CPBW=2\r";
        const std::string zena = "AT+CPBW=3,\"+420777888999\",,\"017D0065006E0061\";+CPBW=4";
        // The backup reads the names in UCS2 where the phone offers it, before the writes.
        const Texts reads = kBackupReads;
        QTest::newRow("started in GSM") << "(\"IRA\",\"GSM\",\"UCS2\")" << std::string("GSM")
                                        << Texts{"AT+CSCS=\"UCS2\"\r",
                                                 reads[0],
                                                 reads[1],
                                                 reads[2],
                                                 reads[3],
                                                 "AT+CSCS=\"GSM\"\r",
                                                 otec,
                                                 "AT+CSCS=\"UCS2\"\r",
                                                 zena + ";+CSCS=\"GSM\"\r"}
                                        << QStringList();
        QTest::newRow("left in UCS2")
            << "(\"IRA\",\"GSM\",\"UCS2\")" << std::string("UCS2") << Texts{reads[0],
                                                                            reads[1],
                                                                            reads[2],
                                                                            reads[3],
                                                                            "AT+CSCS=\"GSM\"\r",
                                                                            otec,
                                                                            "AT+CSCS=\"UCS2\"\r",
                                                                            zena + "\r"}
            << QStringList();
        QTest::newRow("GSM lacks the letter")
            << "(\"GSM\")" << std::string("GSM")
            << Texts{reads[0], reads[1], reads[2], reads[3],
                     "AT+CPBW=1,\"+420603123456\",,\"Otec\";+CPBW=2;+CPBW=4\r"}
            << QStringList{QString::fromUtf8("POZOR - telefon nepotvrdil zápis na pozice: 3 !")};
    }
    void charsets() {
        QFETCH(QString, offered);
        QFETCH(std::string, inUse);
        QFETCH(Texts, writes);
        Page page;
        page.phone.charsets = offered.toStdString();
        page.phone.charset = inUse;
        page.setFields({"+420603123456", "Otec", "", "", "+420777888999", "\216ena", "", ""});
        page.form.Button2Click();
        page.form.Timer2Timer();
        QCOMPARE(Texts(page.port.sent.begin() + 2, page.port.sent.end()), writes);
        QTEST(page.dialogs.texts(), "boxes");
        QCOMPARE(page.phone.charset, inUse);

        page.dialogs.shown.clear();
        page.port.sent.clear();
        page.simHolds({entryAnswer(1, "+420603123456", "004F007400650063"), kEmpty,
                       entryAnswer(3, "002B003400320030", "017D0065006E0061"), kEmpty});
        page.form.Button1Click();
        page.form.Timer2Timer();
        QCOMPARE(page.phone.charset, inUse);
        if (offered.contains("UCS2"))
            QCOMPARE(page.fields(), (Texts{"+420603123456", "Otec", "", "", "+420", "\216ena", "", ""}));
        QVERIFY(page.dialogs.shown.empty());
    }

    void read() {
        Page page;
        page.simHolds({entryAnswer(1, "+420603123456", "Priklad"), kEmpty,
                       entryAnswer(3, "+420777888999", "\216ena"), "\r\n+CME ERROR: 22\r\n"});
        QList<int> gaugeAtSends;
        page.pause.onWait = [&] {
            gaugeAtSends << page.gauge().progress();
            QCOMPARE(page.busyLabel().text(), kWorking);
            QCOMPARE(page.enabledButtons(), 0);
            // Nothing changes before the whole SIM has been read.
            QCOMPARE(page.fields(), kFresh);
        };
        page.form.Button1Click();
        QCOMPARE(page.shared.StepState, 0);
        page.form.Timer2Timer();
        Texts expected{"AT\r"};
        expected.insert(expected.end(), kPhonebookSelections.begin(), kPhonebookSelections.end());
        for (int position = 1; position <= 4; ++position)
            expected.push_back(phonebook::readCommand(position));
        QCOMPARE(page.port.sent, expected);
        QCOMPARE(gaugeAtSends, (QList<int>{0, 0, 25, 50, 75}));
        QCOMPARE(page.fields(),
                 (Texts{"+420603123456", "Priklad", "", "", "+420777888999", "\216ena", "", ""}));
        QCOMPARE(page.shared.StepState, 4);
        QVERIFY(page.dialogs.shown.empty());
        QVERIFY(page.idle());
    }

    // A position the phone did not read leaves every field as it was, and is named; a phone that
    // stops answering gets nothing more.
    void readFailures_data() {
        QTest::addColumn<Texts>("answers");
        QTest::addColumn<std::size_t>("reads");
        QTest::addColumn<QStringList>("boxes");
        const std::string one = entryAnswer(1, "+420603123456", "A");
        const QString unread = QString::fromUtf8("POZOR - telefon neodpověděl na čtení pozic: %1 !");
        QTest::newRow("refused") << Texts{one, "\r\n+CME ERROR: 100\r\n", kEmpty, kEmpty} << std::size_t(4)
                                 << QStringList{unread.arg("2") + "\n+CME ERROR: 100"};
        QTest::newRow("stops answering")
            << Texts{one, kEmpty, std::string(), kEmpty} << std::size_t(3) << QStringList{unread.arg("3, 4")};
        QTest::newRow("silent from the start")
            << Texts{std::string(), kEmpty, kEmpty, kEmpty} << std::size_t(1) << QStringList{kPhoneSilent};
    }
    void readFailures() {
        QFETCH(Texts, answers);
        QFETCH(std::size_t, reads);
        Page page;
        page.simHolds(answers);
        page.form.Button1Click();
        page.form.Timer2Timer();
        QCOMPARE(page.port.sent.size(), 1 + kPhonebookSelections.size() + reads);
        QTEST(page.dialogs.texts(), "boxes");
        QCOMPARE(page.fields(), kFresh);
        QVERIFY(page.idle());
    }

    // A SIM that asks for its PIN: asked for in a dialog, never the same wrong one twice, a blocked
    // SIM said plainly; Cancel or a blocked SIM end the write with nothing written.
    void pin_data() {
        QTest::addColumn<QStringList>("cpinStates"); // what AT+CPIN? says, in turn
        QTest::addColumn<QStringList>("typed");      // "" cancels
        QTest::addColumn<QStringList>("pinsSent");
        QTest::addColumn<QStringList>("boxes"); // dialogs and boxes, in order
        QTest::addColumn<bool>("written");
        const QString asked = QString::fromUtf8(phone_messages::kPinAsked);
        QTest::newRow("right PIN") << QStringList{"SIM PIN"} << QStringList{"1234"} << QStringList{"1234"}
                                   << QStringList{asked} << true;
        QTest::newRow("wrong, then right")
            << QStringList{"SIM PIN", "SIM PIN"} << QStringList{"1111", "1234"} << QStringList{"1111", "1234"}
            << QStringList{asked, QString::fromUtf8(phone_messages::kPinWrong)} << true;
        QTest::newRow("the refused PIN again is not sent")
            << QStringList{"SIM PIN", "SIM PIN"} << QStringList{"1111", "1111", ""} << QStringList{"1111"}
            << QStringList{asked, QString::fromUtf8(phone_messages::kPinWrong),
                           QString::fromUtf8(phone_messages::kPinRepeated)}
            << false;
        QTest::newRow("not a PIN") << QStringList{"SIM PIN"} << QStringList{"12\"4", "1234"}
                                   << QStringList{"1234"}
                                   << QStringList{asked, QString::fromUtf8(sim_texts::kPinForm)} << true;
        QTest::newRow("cancelled") << QStringList{"SIM PIN"} << QStringList{""} << QStringList{}
                                   << QStringList{asked} << false;
        QTest::newRow("third wrong blocks the SIM")
            << QStringList{"SIM PIN", "SIM PUK"} << QStringList{"1111"} << QStringList{"1111"}
            << QStringList{asked, QString::fromUtf8(sim_texts::kSimBlocked)} << false;
        QTest::newRow("blocked SIM") << QStringList{"SIM PUK"} << QStringList{} << QStringList{}
                                     << QStringList{QString::fromUtf8(sim_texts::kSimBlocked)} << false;
    }
    void pin() {
        QFETCH(QStringList, cpinStates);
        QFETCH(QStringList, typed);
        QFETCH(bool, written);
        Page page;
        for (const QString& state : cpinStates)
            page.phone.answersInTurn["AT+CPIN?\r"].push_back("\r\n+CPIN: " + state.toStdString() +
                                                             "\r\n\r\nOK\r\n");
        // The SIM's PIN is 1234.
        page.phone.answers["AT+CPIN=\"1111\"\r"] = "\r\n+CME ERROR: 16\r\n";
        for (const QString& pin : typed)
            page.dialogs.pins.push_back(pin.isEmpty() ? std::nullopt : std::optional(pin));
        // The SIM loads for a moment after its PIN.
        page.phone.answersInTurn["AT+CPBS=\"SM\"\r"] = {"\r\n+CME ERROR: 11\r\n", "\r\n+CME ERROR: 14\r\n"};
        page.form.Button2Click();
        page.form.Timer2Timer();

        QStringList pinsSent;
        for (const std::string& sent : page.port.sent)
            if (sent.starts_with("AT+CPIN=\""))
                pinsSent << QString::fromStdString(sent.substr(9, sent.size() - 11));
        QTEST(pinsSent, "pinsSent");
        QTEST(page.dialogs.texts(), "boxes");
        const bool wrote = page.port.sent.back().find("+CPBW=4") != std::string::npos;
        QCOMPARE(wrote, written);
        QVERIFY(written || std::none_of(page.port.sent.begin(), page.port.sent.end(),
                                        [](const std::string& s) { return s.starts_with("AT+CPBW"); }));
        // Nothing of the PIN is kept where the exchange's text lives.
        QVERIFY(page.shared.Transcript.find("AT+CPIN=") == std::string::npos);
        QVERIFY(page.idle());
    }

    void silentPhone_data() {
        QTest::addColumn<bool>("writing");
        QTest::addColumn<std::string>("answer");
        QTest::newRow("read, no answer") << false << std::string();
        QTest::newRow("write, no answer") << true << std::string();
        QTest::newRow("write, error") << true << std::string("\r\nERROR\r\n");
    }
    void silentPhone() {
        QFETCH(bool, writing);
        QFETCH(std::string, answer);
        Page page;
        page.phone.answers["AT\r"] = answer;
        writing ? page.form.Button2Click() : page.form.Button1Click();
        page.form.Timer2Timer();
        QCOMPARE(page.dialogs.shown.size(), std::size_t(1));
        QCOMPARE(page.dialogs.shown[0].kind, QStringLiteral("warning"));
        QCOMPARE(page.dialogs.shown[0].text, kPhoneSilent);
        QCOMPARE(page.port.sent, Texts(answer.empty() ? 1 : 2, "AT\r"));
        QCOMPARE(page.fields(), kFresh);
        QVERIFY(page.idle());
    }

    void noExchangeStarts() {
        Page page;
        page.port.open = false;
        page.form.Button1Click();
        QCOMPARE(page.dialogs.texts(), QStringList{kPortNotOpen});
        QCOMPARE(page.dialogs.shown[0].kind, QStringLiteral("error"));
        QVERIFY(page.shared.ReplyBuffer.empty());
        QVERIFY(page.idle());

        // Another page's exchange holds the phone; a stray tick with a foreign step does nothing.
        page.port.open = true;
        QObject other;
        QVERIFY(page.exchanges.tryAcquire(&other));
        page.form.Button1Click();
        page.form.Button2Click();
        page.shared.StepState = 18;
        page.form.Timer2Timer();
        QVERIFY(page.port.sent.empty());
        QVERIFY(!page.button("Button1").isEnabled());
        page.exchanges.release(&other);
        QVERIFY(page.idle());
    }

    // A send that fails raises its error out of the handler and leaves the page at rest.
    void failedSend_data() {
        QTest::addColumn<bool>("writing");
        QTest::addColumn<std::size_t>("failingSend");
        QTest::newRow("probe") << false << std::size_t(1);
        QTest::newRow("the writes") << true << std::size_t(3);
    }
    void failedSend() {
        QFETCH(bool, writing);
        QFETCH(std::size_t, failingSend);
        Page page;
        page.port.failingSend = failingSend;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, {
            writing ? page.form.Button2Click() : page.form.Button1Click();
            page.form.Timer2Timer();
        });
        QCOMPARE(page.port.sent.size(), failingSend - 1);
        QVERIFY(page.idle());
    }

    void saveAndLoad() {
        QTemporaryDir dir;
        Page page;
        const Texts values{"+420603123456", "\212t\232pka", "", "", "+4206031234567890123", "", "", "konec"};
        page.setFields(values);
        page.dialogs.savePaths.push_back(dir.filePath("a"));
        page.form.BitBtn3Click();
        QCOMPARE(page.dialogs.fileDialogs.at(0).filterDescription, QStringLiteral("num"));
        QCOMPARE(
            fileContent(dir.filePath("a.num")),
            QByteArray("+420603123456\r\n\212t\232pka\r\n\r\n\r\n+4206031234567890123\r\n\r\n\r\nkonec\r\n"));
        page.form.BitBtn1Click();
        page.dialogs.openPaths.push_back(dir.filePath("a.num"));
        page.form.BitBtn2Click();
        QCOMPARE(page.dialogs.fileDialogs.at(1).filterDescription, QStringLiteral("*.num"));
        QCOMPARE(page.fields(), values);
        // The 20-character number came in whole, so the write refuses it.
        page.form.Button2Click();
        QCOMPARE(page.dialogs.texts(), QStringList{kMalformed});
    }

    void load_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Texts>("fields");
        QTest::newRow("three lines") << QByteArray("+420603123456\r\nA\r\n+420777888999\r\n")
                                     << Texts{"+420603123456", "A", "+420777888999", "", "", "", "", ""};
        QTest::newRow("LF only: one line") << QByteArray("+420603123456\nA\nB\n")
                                           << Texts{"+420603123456\nA\nB\n", "", "", "", "", "", "", ""};
        QTest::newRow("Ctrl-Z ends the data")
            << QByteArray("1\r\n2\r\n3\0324\r\n5\r\n") << Texts{"1", "2", "3", "", "", "", "", ""};
        QTest::newRow("lines after the eighth") << QByteArray("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n")
                                                << Texts{"1", "2", "3", "4", "5", "6", "7", "8"};
        QTest::newRow("empty file") << QByteArray() << Texts(8);
    }
    void load() {
        QFETCH(QByteArray, content);
        QFETCH(Texts, fields);
        QTemporaryDir dir;
        writeFile(dir.filePath("a.num"), content);
        Page page;
        page.setFields(Texts(8, "x"));
        page.dialogs.openPaths.push_back(dir.filePath("a.num"));
        page.form.BitBtn2Click();
        QCOMPARE(page.fields(), fields);
    }

    void fileFailures() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.num");
        writeFile(path, "old\r\n");
        Page page;

        // Cancelled dialogs and a No to the overwrite question change nothing.
        page.form.BitBtn2Click();
        page.form.BitBtn3Click();
        page.dialogs.savePaths.push_back(path);
        page.form.BitBtn3Click();
        QCOMPARE(page.dialogs.texts(),
                 QStringList{QString::fromUtf8("Soubor %1 již existuje, chcete jej přepsat ?").arg(path)});
        QCOMPARE(fileContent(path), QByteArray("old\r\n"));
        QCOMPARE(page.fields(), kFresh);

#ifndef Q_OS_WIN
        // A file-size limit makes the write fail part-way, as a full disk would: the old file stays.
        page.dialogs.savePaths.push_back(path);
        page.dialogs.yesNoAnswers.push_back(true);
        QVERIFY(failsOnAFullDisk(10, [&] { page.form.BitBtn3Click(); }));
        QCOMPARE(fileContent(path), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.num"});
#endif

        // Saving into a "folder" that is a file, loading a missing file.
        page.dialogs.savePaths.push_back(dir.filePath("a.num/b.num"));
        QVERIFY_THROWS_EXCEPTION(platform::IoError, page.form.BitBtn3Click());
        // Clicked, the error is reported in the button's slot: passing through Qt's click it would
        // skip Qt's clean-ups.
        page.dialogs.savePaths.push_back(dir.filePath("a.num/b.num"));
        page.dialogs.shown.clear();
        QTest::mouseClick(&page.button("BitBtn3"), Qt::LeftButton);
        QCOMPARE(page.dialogs.shown.back().kind, QStringLiteral("failure"));
        QCOMPARE(page.dialogs.shown.back().text, QStringLiteral("File not found."));
        page.dialogs.openPaths.push_back(dir.filePath("missing.num"));
        try {
            page.form.BitBtn2Click();
            QFAIL("the load did not fail");
        } catch (const platform::IoError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("File not found"));
        }
        QCOMPARE(page.fields(), kFresh);
    }
};

QTEST_MAIN(TestNumbersPage)
#include "test_numbers_page.moc"
