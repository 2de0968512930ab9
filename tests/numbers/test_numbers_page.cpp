// The phone-number page through its controls: layout and form check, the phone write and read
// against a fake port with replies laid out as a phone with command echo sends them, the ".num" file.
#include "numbers/Unit6.h"
#include "phone/exchange_lock.h"
#include "phone/shared_state.h"
#include "platform/pause.h"
#include "platform/text_file.h"
#include "support/file_size_limit.h"
#include "support/page_harness.h"
#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"
#include "widgets/VrStrEdit.h"

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

const std::string kProbeAnswer = "AT\r\r\nOK\r\n";
const std::string kSelection = "AT+CPBS=\"SM\"\r";
const QString kPortNotOpen = QString::fromUtf8("POZOR - sériový port není otevřen !");
const QString kPhoneSilent = QString::fromUtf8("POZOR - telefon nekomunikuje !");
const QString kMalformed = QString::fromUtf8("POZOR - telefonní čísla nejsou ve správném formátu !");
const QString kWorking = QString::fromUtf8("Moment prosím, pracuji");
const Texts kFresh{"+420603123456", "Priklad", "", "", "", "", "", ""};

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
    void answerProbe(const std::string& answer = kProbeAnswer) {
        shared.ReplyBuffer = answer;
        form.Timer2Timer();
    }
    // A whole read; an empty reply text leaves ReplyBuffer as the previous step left it.
    void read(const Texts& replies) {
        form.Button1Click();
        answerProbe();
        for (const auto& reply : replies) {
            if (!reply.empty())
                shared.ReplyBuffer = reply;
            form.Timer2Timer();
        }
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
        QCOMPARE(page.timer().interval(), 300);
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
        // Windows-1250 "Žena" with a double quote: sent unchanged.
        page.setFields({"+420603123456", "", "", "not sent", "+420777888999", "\216ena \"X\"", "", ""});
        QList<int> gaugeAtWaits;
        QList<std::size_t> sentAtWaits;
        page.pause.onWait = [&] {
            gaugeAtWaits << page.gauge().progress();
            sentAtWaits << page.port.sent.size();
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

        page.answerProbe();
        QCOMPARE(page.port.sent,
                 (Texts{"AT\r", kSelection, "AT+CPBW=1,\"+420603123456\",,\"\"\r", "AT+CPBW=2\r",
                        "AT+CPBW=3,\"+420777888999\",,\"\216ena \"X\"\"\r", "AT+CPBW=4\r"}));
        QCOMPARE(page.pause.waits, (std::vector<int>{1500, 1500, 1500}));
        QCOMPARE(gaugeAtWaits, (QList<int>{30, 60, 90}));
        QCOMPARE(sentAtWaits, (QList<std::size_t>{3, 4, 5}));
        QCOMPARE(page.gauge().progress(), 100);
        QVERIFY(page.idle());

        page.form.BitBtn1Click();
        page.port.sent.clear();
        page.form.Button2Click();
        page.answerProbe();
        QCOMPARE(page.port.sent,
                 (Texts{"AT\r", kSelection, "AT+CPBW=1\r", "AT+CPBW=2\r", "AT+CPBW=3\r", "AT+CPBW=4\r"}));
    }

    void read() {
        Page page;
        page.form.Button1Click();
        QCOMPARE(page.shared.StepState, 0);
        QCOMPARE(page.fields(), kFresh);
        page.answerProbe();
        // Emptied only now that the phone has answered.
        QCOMPARE(page.fields(), Texts(8));
        QCOMPARE(page.busyLabel().text(), kWorking);
        QCOMPARE(page.gauge().progress(), 0);
        QCOMPARE(page.enabledButtons(), 0);
        const Texts replies{entryReply(1, "+420603123456", "Priklad"), emptyReply(2),
                            entryReply(3, "+420777888999", "\216ena"), emptyReply(4)};
        QList<int> progress;
        for (const auto& reply : replies) {
            QVERIFY(!page.gauge().isHidden());
            page.shared.ReplyBuffer = reply;
            page.form.Timer2Timer();
            progress << page.gauge().progress();
        }
        QCOMPARE(page.port.sent,
                 (Texts{"AT\r", kSelection, "AT+CPBR=1\r", "AT+CPBR=2\r", "AT+CPBR=3\r", "AT+CPBR=4\r"}));
        QCOMPARE(progress, (QList<int>{25, 50, 75, 100}));
        QCOMPARE(page.fields(),
                 (Texts{"+420603123456", "Priklad", "", "", "+420777888999", "\216ena", "", ""}));
        QCOMPARE(page.shared.ReplyBuffer, std::string(" "));
        QCOMPARE(page.shared.StepState, 4);
        QVERIFY(page.idle());
    }

    // Replies without the expected layout never bring in text from outside the entry, and the read
    // goes on to the next position and ends at rest.
    void readOddReplies_data() {
        QTest::addColumn<std::string>("reply1");
        QTest::addColumn<std::string>("reply2");
        QTest::addColumn<Texts>("position12");
        const std::string entry2 = entryReply(2, "+420777888999", "B");
        QTest::newRow("no answer: probe's left over")
            << std::string() << entry2 << Texts{"", "", "+420777888999", "B"};
        QTest::newRow("error for empty positions")
            << std::string("AT+CPBR=1\r\r\n+CME ERROR: 22\r\n")
            << std::string("AT+CPBR=2\r\r\n+CME ERROR: 22\r\n") << Texts(4);
        QTest::newRow("short number")
            << entryReply(1, "60312", "A") << entry2 << Texts{"60312", "A", "+420777888999", "B"};
        QTest::newRow("name without closing quote")
            << std::string("AT+CPBR=1\r\r\n+CPBR: 1,\"+420603123456\",145,\"Priklad\r\n\r\nOK\r\n") << entry2
            << Texts{"+420603123456", "Priklad", "+420777888999", "B"};
    }
    void readOddReplies() {
        QFETCH(std::string, reply1);
        QFETCH(std::string, reply2);
        QFETCH(Texts, position12);
        Page page;
        page.read({reply1, reply2, entryReply(3, "+420603000333", "C"), emptyReply(4)});
        Texts expected = position12;
        expected.insert(expected.end(), {"+420603000333", "C", "", ""});
        QCOMPARE(page.fields(), expected);
        QCOMPARE(page.port.sent.size(), std::size_t(6));
        QVERIFY(page.idle());
    }

    void silentPhone_data() {
        QTest::addColumn<bool>("writing");
        QTest::addColumn<std::string>("answer");
        QTest::newRow("read, no answer") << false << std::string(" ");
        QTest::newRow("read, echo off") << false << std::string("\r\nOK\r\n");
        QTest::newRow("write, no answer") << true << std::string(" ");
        QTest::newRow("write, error") << true << std::string("AT\r\r\nERROR\r\n");
    }
    void silentPhone() {
        QFETCH(bool, writing);
        QFETCH(std::string, answer);
        Page page;
        writing ? page.form.Button2Click() : page.form.Button1Click();
        page.answerProbe(answer);
        QCOMPARE(page.dialogs.shown.size(), std::size_t(1));
        QCOMPARE(page.dialogs.shown[0].kind, QStringLiteral("warning"));
        QCOMPARE(page.dialogs.shown[0].text, kPhoneSilent);
        QCOMPARE(page.port.sent, Texts{"AT\r"});
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
        QTest::newRow("third write") << true << std::size_t(5);
    }
    void failedSend() {
        QFETCH(bool, writing);
        QFETCH(std::size_t, failingSend);
        Page page;
        page.port.failingSend = failingSend;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, {
            writing ? page.form.Button2Click() : page.form.Button1Click();
            for (std::string reply : {kProbeAnswer, entryReply(1, "+420603123456", "A")}) {
                page.shared.ReplyBuffer = reply;
                page.form.Timer2Timer();
            }
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

        // A file-size limit makes the write fail part-way, as a full disk would: the old file stays.
        page.dialogs.savePaths.push_back(path);
        page.dialogs.yesNoAnswers.push_back(true);
        QVERIFY(failsOnAFullDisk(10, [&] { page.form.BitBtn3Click(); }));
        QCOMPARE(fileContent(path), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.num"});

        // Saving into a "folder" that is a file, loading a missing file.
        page.dialogs.savePaths.push_back(dir.filePath("a.num/b.num"));
        QVERIFY_THROWS_EXCEPTION(platform::IoError, page.form.BitBtn3Click());
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
