// The configuration page through its controls: options and times, the phone exchanges against a
// fake port with replies laid out as a phone with command echo sends them, and the ".par" file.
#include "config/configuration_file.h"
#include "config/Unit5.h"
#include "exchange/exchange_lock.h"
#include "phone/shared_state.h"
#include "platform/pause.h"
#include "platform/text_file.h"
#include "support/file_size_limit.h"
#include "support/page_harness.h"
#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"

#include <functional>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using setup_codes::EConvertError;

Q_DECLARE_METATYPE(std::string)

namespace QTest {
template <> char* toString(const std::string& text) {
    return qstrdup(text.c_str());
}
} // namespace QTest

namespace {

const std::string kFresh = "+000000000000";
const QString kPortNotOpen = QString::fromUtf8("POZOR - sériový port není otevřen !");
const QString kPhoneSilent = QString::fromUtf8("POZOR - telefon nekomunikuje !");
const QString kWorking = QString::fromUtf8("Moment prosím, pracuji");

struct Page : PageHarness {
    using PageHarness::PageHarness;

    TForm5 form{context};

    template <typename T> T& get(const char* name) {
        T* child = form.findChild<T*>(QString::fromLatin1(name));
        if (!child)
            qFatal("no control %s", name);
        return *child;
    }
    QRadioButton& radio(int n) {
        return get<QRadioButton>(qPrintable(QStringLiteral("RadioButton%1").arg(n)));
    }
    QComboBox& list(int n) { return get<QComboBox>(qPrintable(QStringLiteral("ComboBox%1").arg(n))); }
    QTimer& timer(int n) { return get<QTimer>(qPrintable(QStringLiteral("Timer%1").arg(n))); }
    VrLabel& busyLabel() { return get<VrLabel>("VrLabel1"); }
    TGauge& gauge() { return get<TGauge>("Gauge1"); }
    QList<QPushButton*> buttons() {
        return {&get<QPushButton>("BitBtn1"), &get<QPushButton>("Button1"), &get<QPushButton>("BitBtn3"),
                &get<QPushButton>("BitBtn4"), &get<QPushButton>("BitBtn2")};
    }

    // The user's pick in a drop-down list.
    void pick(int n, int index) {
        list(n).setCurrentIndex(index);
        emit list(n).activated(index);
    }
    // The "1" choice of each group, numbered as the radio buttons are.
    QString optionsOn() {
        QStringList on;
        for (int n : {1, 4, 6, 8, 10, 12, 14})
            if (radio(n).isChecked())
                on << QString::number(n);
        return on.join(' ');
    }
    QString lists() {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(list(1).currentText(), list(2).currentText(), list(3).currentText(), list(4).currentText());
    }
    bool idle() {
        for (auto* button : buttons())
            if (!button->isEnabled())
                return false;
        return !timer(1).isActive() && !timer(2).isActive() && busyLabel().text().isEmpty() &&
               gauge().isHidden() && !exchanges.busy();
    }
    // Some edits, so that "unchanged" and "reset" differ: credit keeping on, 3 min after activation.
    void edit() {
        radio(10).setChecked(true);
        pick(3, 3);
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

class TestConfigPage : public QObject {
    Q_OBJECT
private slots:
    void freshPage() {
        Page page;
        QCOMPARE(page.form.size(), QSize(591, 496));
        QCOMPARE(page.form.staticText1(), kFresh);
        QCOMPARE(page.form.staticText2(), kFresh);
        for (int n : {2, 3, 5, 7, 9, 11, 13})
            QVERIFY2(page.radio(n).isChecked(), qPrintable(page.radio(n).text()));
        QCOMPARE(page.optionsOn(), QString());
        QCOMPARE(page.lists(), QStringLiteral("0 0 0 0"));
        QCOMPARE(page.list(2).itemText(9), QStringLiteral("90"));
        QVERIFY(page.idle());
        // Captions with their blanks, and the names a screen reader says for controls without one.
        QCOMPARE(page.radio(11).text(), QString::fromUtf8("1   (ovládání z 1.čísla na SIM)"));
        QCOMPARE(page.radio(12).text(), QString::fromUtf8("2   (ovládání z 1. i 2. čísla )"));
        QCOMPARE(page.list(4).accessibleName(), QString::fromUtf8("Čas po aktivaci - sekundy"));
        QCOMPARE(page.get<QLineEdit>("StaticText2").accessibleName(),
                 QString::fromUtf8("Číslo které uložíte na 6. pozici SIM"));
        QCOMPARE(page.get<QPushButton>("BitBtn3").cursor().shape(), Qt::PointingHandCursor);
    }

    void optionChoices_data() {
        QTest::addColumn<QList<int>>("clicked");
        QTest::addColumn<std::string>("setupCode");
        QTest::newRow("authentication on") << QList<int>{1} << std::string("+000000000001");
        QTest::newRow("relay 2 pulse") << QList<int>{4} << std::string("+000000000010");
        QTest::newRow("optocoupler testing") << QList<int>{14} << std::string("+000001000000");
        QTest::newRow("all seven on") << QList<int>{1, 4, 6, 8, 10, 12, 14} << std::string("+000001111111");
        QTest::newRow("on and off again") << QList<int>{1, 12, 2} << std::string("+000000100000");
    }
    void optionChoices() {
        QFETCH(QList<int>, clicked);
        QFETCH(std::string, setupCode);
        Page page;
        for (int n : clicked)
            QTest::mouseClick(&page.radio(n), Qt::LeftButton, {}, QPoint(8, page.radio(n).height() / 2));
        QCOMPARE(page.form.staticText1(), setupCode);
        QCOMPARE(page.form.staticText2(), kFresh);
    }

    void timePicks() {
        Page page;
        page.pick(1, 2); // 2 minutes
        page.pick(2, 3); // 30 seconds
        page.pick(3, 5); // 5 minutes
        QCOMPARE(page.form.staticText2(), std::string("+000000002350"));
        page.pick(4, 9);
        QCOMPARE(page.form.staticText2(), std::string("+000000002359"));
        QCOMPARE(page.form.staticText1(), kFresh);
    }

    // The CasyCode decode selects items without rebuilding the display; the next pick rebuilds it
    // from the digits, which the decode set.
    void casyDecodeKeepsDisplay() {
        Page page;
        page.pick(1, 4);
        page.form.Nastaveni_casu("+999999990000");
        QCOMPARE(page.lists(), QStringLiteral("0 0 0 0"));
        QCOMPARE(page.form.staticText2(), std::string("+000000004000"));
        page.pick(2, 7);
        QCOMPARE(page.form.staticText2(), std::string("+000000000700"));
    }

    void casyDecodeStopsAtConversionError() {
        Page page;
        try {
            page.form.Nastaveni_casu("+000000001A35");
            QFAIL("no conversion error");
        } catch (const EConvertError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("'A' is not a valid integer value"));
        }
        QCOMPARE(page.lists(), QStringLiteral("0 0 3 50"));
        page.pick(1, 1);
        QCOMPARE(page.form.staticText2(), std::string("+000000001035"));
    }

    void resetRestoresCreationState() {
        Page page;
        for (int n : {1, 4, 6, 8, 10, 12, 14})
            page.radio(n).setChecked(true);
        for (int n = 1; n <= 4; ++n)
            page.pick(n, 9);
        QTest::mouseClick(&page.get<QPushButton>("BitBtn1"), Qt::LeftButton);
        QCOMPARE(page.optionsOn(), QString());
        QCOMPARE(page.lists(), QStringLiteral("0 0 0 0"));
        QCOMPARE(page.form.staticText1(), kFresh);
        QCOMPARE(page.form.staticText2(), kFresh);
        QVERIFY(page.port.sent.empty());
        // The digits went back to "0" too, not only the lists.
        page.pick(1, 1);
        QCOMPARE(page.form.staticText2(), std::string("+000000001000"));
    }

    void writeFreshPage() {
        Page page;
        QList<int> gaugeAtSends;
        page.pause.onWait = [&] {
            gaugeAtSends << page.gauge().progress();
            QVERIFY(!page.gauge().isHidden());
            QCOMPARE(page.busyLabel().text(), kWorking);
            QVERIFY(!page.get<QPushButton>("BitBtn4").isEnabled());
        };
        page.form.BitBtn3Click();
        QCOMPARE(page.port.sent, std::vector<std::string>{"AT\r"});
        QCOMPARE(page.shared.ReplyBuffer, std::string(" "));
        QCOMPARE(page.shared.ExchangeMode, std::string("test_komunikace"));
        QVERIFY(page.timer(1).isActive());
        // Until the probe is answered only the phone buttons are held back.
        QVERIFY(!page.get<QPushButton>("BitBtn3").isEnabled());
        QVERIFY(page.get<QPushButton>("BitBtn4").isEnabled());

        page.form.Timer1Timer();
        std::vector<std::string> expected{"AT\r"};
        expected.insert(expected.end(), kPhonebookSelections.begin(), kPhonebookSelections.end());
        // The backup's reads of what the write replaces, in the same exchange.
        expected.insert(expected.end(), {"AT+CPBR=5\r", "AT+CPBR=6\r"});
        expected.push_back("AT+CPBW=5,\"+000000000000\",,\"Setup\";+CPBW=6,\"+000000000000\",,\"Casy\"\r");
        QCOMPARE(page.port.sent, expected);
        // Each line waits for the gap after the last answer; both entries go on one. The reads take
        // the gauge's first half.
        QCOMPARE(gaugeAtSends, (QList<int>{0, 0, 25, 100}));
        QCOMPARE(page.gauge().progress(), 100);
        QCOMPARE(page.shared.ExchangeMode, std::string("prvni_konfigurak"));
        QVERIFY(page.dialogs.shown.empty());
        QVERIFY(page.idle());
    }

    void writeSendsDisplayedCodes() {
        Page page;
        page.radio(1).setChecked(true);
        page.radio(4).setChecked(true);
        page.pick(1, 1);
        page.pick(2, 2);
        // A phone left in UCS2 is read in it for the backup, takes the names in IRA, which its SIM
        // keeps in its own alphabet, and is left in UCS2 again.
        page.phone.charsets = "(\"IRA\",\"UCS2\")";
        page.phone.charset = "UCS2";
        page.form.BitBtn3Click();
        page.form.Timer1Timer();
        QCOMPARE(std::vector(page.port.sent.begin() + 2, page.port.sent.end()),
                 (std::vector<std::string>{"AT+CPBR=5\r", "AT+CPBR=6\r", "AT+CSCS=\"IRA\"\r",
                                           "AT+CPBW=5,\"+000000000011\",,\"Setup\";+CPBW=6,"
                                           "\"+000000001200\",,\"Casy\";+CSCS=\"UCS2\"\r"}));
        QCOMPARE(page.phone.charset, std::string("UCS2"));
    }

    // Stored codes come back into the page; an empty position leaves the page's state for it alone
    // and is told, and the reset runs only when position 5 holds a code. A position the phone did
    // not read leaves the whole page as it was.
    void read_data() {
        QTest::addColumn<std::string>("answer5");
        QTest::addColumn<std::string>("answer6");
        QTest::addColumn<QString>("optionsOn");
        QTest::addColumn<QString>("lists");
        QTest::addColumn<std::string>("setupCode");
        QTest::addColumn<std::string>("casyCode");
        QTest::addColumn<QStringList>("boxes");
        const QString noConfiguration =
            QString::fromUtf8("POZOR - na SIM není uložena konfigurace (pozice %1) !");
        const QString unread = QString::fromUtf8("POZOR - telefon neodpověděl na čtení pozic: %1 !");
        const std::string empty = "\r\nOK\r\n";
        // Before each read: credit keeping on (+000000010000), 3 min after activation (+000000000030).
        const QString unchangedOptions = "10";
        const QString unchangedLists = "0 0 3 0";
        const std::string unchangedCodes[] = {"+000000010000", "+000000000030"};
        QTest::newRow("both stored") << entryAnswer(5, "+000001000001", "Setup")
                                     << entryAnswer(6, "+000000001230", "Casy") << "1 14"
                                     << "1 20 3 0" << std::string("+000001000001")
                                     << std::string("+000000001230") << QStringList();
        QTest::newRow("5 empty, 6 stored")
            << empty << entryAnswer(6, "+000000001230", "Casy") << "10"
            << "1 20 3 0" << std::string("+000000010000") << std::string("+000000001230")
            << QStringList{noConfiguration.arg("5")};
        QTest::newRow("5 stored, 6 empty")
            << entryAnswer(5, "+000001000001", "Setup") << empty << "1 14"
            << "0 0 0 0" << std::string("+000001000001") << kFresh << QStringList{noConfiguration.arg("6")};
        QTest::newRow("both empty, as errors")
            << std::string("\r\n+CME ERROR: 22\r\n") << std::string("\r\n+CME ERROR: not found\r\n")
            << unchangedOptions << unchangedLists << unchangedCodes[0] << unchangedCodes[1]
            << QStringList{noConfiguration.arg("5, 6")};
        QTest::newRow("stored code without a 1 stays shown")
            << entryAnswer(5, "+000002000000", "Setup") << empty << ""
            << "0 0 0 0" << std::string("+000002000000") << kFresh << QStringList{noConfiguration.arg("6")};
        QTest::newRow("a number that is no code")
            << entryAnswer(5, "+420603123456789", "Otec") << empty << unchangedOptions << unchangedLists
            << unchangedCodes[0] << unchangedCodes[1] << QStringList{noConfiguration.arg("5, 6")};
        QTest::newRow("read of 6 refused")
            << entryAnswer(5, "+000001000001", "Setup") << std::string("\r\n+CME ERROR: 100\r\n")
            << unchangedOptions << unchangedLists << unchangedCodes[0] << unchangedCodes[1]
            << QStringList{unread.arg("6") + "\n+CME ERROR: 100"};
        QTest::newRow("6 not answered")
            << entryAnswer(5, "+000001000001", "Setup") << std::string() << unchangedOptions << unchangedLists
            << unchangedCodes[0] << unchangedCodes[1] << QStringList{unread.arg("6")};
        QTest::newRow("nothing answered")
            << std::string() << std::string() << unchangedOptions << unchangedLists << unchangedCodes[0]
            << unchangedCodes[1] << QStringList{kPhoneSilent};
    }
    void read() {
        QFETCH(std::string, answer5);
        QFETCH(std::string, answer6);
        Page page;
        page.edit();
        page.phone.answers["AT+CPBR=5\r"] = answer5;
        page.phone.answers["AT+CPBR=6\r"] = answer6;
        page.form.Button1Click();
        QCOMPARE(page.port.sent, std::vector<std::string>{"AT\r"});
        QCOMPARE(page.shared.StepState, 0);
        QVERIFY(page.timer(2).isActive());

        page.form.Timer2Timer();
        QCOMPARE(page.port.sent.back(), std::string(answer5.empty() ? "AT+CPBR=5\r" : "AT+CPBR=6\r"));
        QCOMPARE(page.shared.StepState, 6);
        QCOMPARE(page.port.sent.size(), std::size_t(answer5.empty() ? 3 : 4));
        QTEST(page.dialogs.texts(), "boxes");
        QTEST(page.optionsOn(), "optionsOn");
        QTEST(page.lists(), "lists");
        QTEST(page.form.staticText1(), "setupCode");
        QTEST(page.form.staticText2(), "casyCode");
        QVERIFY(page.idle());
    }

    // The error still leaves the handler for the application's report, but the page ends idle.
    void readConversionErrorEndsIdle() {
        Page page;
        page.phone.answers["AT+CPBR=6\r"] = entryAnswer(6, "+000000001x30", "Casy");
        page.form.Button1Click();
        QVERIFY_THROWS_EXCEPTION(EConvertError, page.form.Timer2Timer());
        QCOMPARE(page.lists(), QStringLiteral("0 0 3 0"));
        QCOMPARE(page.form.staticText2(), std::string("+000000001x30"));
        QVERIFY(page.idle());
    }

    // The probe passes on the phone's OK, wherever it falls; anything else leaves the page alone.
    void probe_data() {
        QTest::addColumn<bool>("write");
        QTest::addColumn<std::string>("answer");
        QTest::addColumn<bool>("passes");
        QTest::newRow("write, no phone") << true << std::string() << false;
        QTest::newRow("write, echo off") << true << std::string("\r\nOK\r\n") << true;
        QTest::newRow("read, no phone") << false << std::string() << false;
        QTest::newRow("read, answer cut short") << false << std::string("\r") << false;
        QTest::newRow("read, unsolicited code first")
            << false << std::string("\r\n+CREG: 1\r\n\r\nOK\r\n") << true;
        QTest::newRow("read, refused twice") << false << std::string("\r\nERROR\r\n") << false;
    }
    void probe() {
        QFETCH(bool, write);
        QFETCH(std::string, answer);
        QFETCH(bool, passes);
        Page page;
        page.edit();
        page.phone.answers["AT\r"] = answer;
        page.phone.answers["AT+CPBR=5\r"] = entryAnswer(5, "+000000010000", "Setup");
        page.phone.answers["AT+CPBR=6\r"] = entryAnswer(6, "+000000000030", "Casy");
        write ? page.form.BitBtn3Click() : page.form.Button1Click();
        write ? page.form.Timer1Timer() : page.form.Timer2Timer();
        QCOMPARE(page.port.sent.size() > 2, passes);
        QCOMPARE(page.dialogs.texts(), passes ? QStringList() : QStringList{kPhoneSilent});
        if (!passes) {
            QCOMPARE(page.optionsOn(), QStringLiteral("10"));
            QCOMPARE(page.form.staticText2(), std::string("+000000000030"));
        }
        if (write)
            QCOMPARE(page.shared.ExchangeMode, std::string(passes ? "prvni_konfigurak" : "test_komunikace"));
        QVERIFY(page.idle());
    }

    void portClosed_data() {
        QTest::addColumn<bool>("write");
        QTest::newRow("write") << true;
        QTest::newRow("read") << false;
    }
    void portClosed() {
        QFETCH(bool, write);
        Page page;
        page.port.open = false;
        page.shared.ReplyBuffer = "old";
        page.shared.StepState = 13;
        write ? page.form.BitBtn3Click() : page.form.Button1Click();
        QCOMPARE(page.dialogs.shown.size(), std::size_t(1));
        QCOMPARE(page.dialogs.shown[0].kind, QStringLiteral("error"));
        QCOMPARE(page.dialogs.shown[0].text, kPortNotOpen);
        QVERIFY(page.port.sent.empty());
        QCOMPARE(page.shared.ReplyBuffer, std::string("old"));
        QCOMPARE(page.shared.StepState, 13);
        QVERIFY(page.shared.ExchangeMode.empty());
        QVERIFY(page.idle());
    }

    void otherExchangeRunning() {
        Page page;
        QObject otherPage;
        QVERIFY(page.exchanges.tryAcquire(&otherPage));
        page.form.BitBtn3Click();
        page.form.Button1Click();
        QVERIFY(page.port.sent.empty());
        QVERIFY(!page.timer(1).isActive() && !page.timer(2).isActive());
        page.exchanges.release(&otherPage);
        QVERIFY(page.idle());
    }

    // A port that fails mid-exchange must not leave the page busy or the phone locked.
    void sendFailureEndsIdle_data() {
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("failingSend");
        QTest::newRow("write probe") << true << 1;
        QTest::newRow("write selection") << true << 2;
        QTest::newRow("write both positions") << true << 3;
        QTest::newRow("read probe") << false << 1;
        QTest::newRow("read position 5") << false << 3;
        QTest::newRow("read position 6") << false << 4;
    }
    void sendFailureEndsIdle() {
        QFETCH(bool, write);
        QFETCH(int, failingSend);
        Page page;
        page.port.failingSend = std::size_t(failingSend);
        try {
            write ? page.form.BitBtn3Click() : page.form.Button1Click();
            write ? page.form.Timer1Timer() : page.form.Timer2Timer();
            QFAIL("the failing send was not reached");
        } catch (const std::runtime_error& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("write failed"));
        }
        QCOMPARE(page.port.sent.size(), std::size_t(failingSend - 1));
        QVERIFY(page.idle());
    }

    void saveFreshPage() {
        QTemporaryDir dir;
        Page page;
        page.dialogs.savePaths.push_back(dir.filePath("konfigurace"));
        page.form.BitBtn2Click();
        QCOMPARE(fileContent(dir.filePath("konfigurace.par")),
                 QByteArray("+000000000000\r\n+000000000000\r\n"));
        QCOMPARE(page.dialogs.fileDialogs.size(), std::size_t(1));
        const FileDialogSpec& spec = page.dialogs.fileDialogs[0];
        QCOMPARE(spec.filterDescription, QStringLiteral("par"));
        QCOMPARE(spec.filterPattern, QStringLiteral("*.par"));
        QCOMPARE(spec.defaultExtension, QStringLiteral("par"));
        QVERIFY(page.dialogs.shown.empty());
    }

    void saveOverExistingFile_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no keeps the old file") << false << QByteArray("old\r\ncontent\r\nthird\r\n");
        QTest::newRow("yes replaces it") << true << QByteArray("+000000000001\r\n+000000000000\r\n");
    }
    void saveOverExistingFile() {
        QFETCH(bool, answer);
        QTemporaryDir dir;
        const QString path = dir.filePath("a.par");
        writeFile(path, "old\r\ncontent\r\nthird\r\n");
        Page page;
        page.radio(1).setChecked(true);
        page.dialogs.savePaths.push_back(path);
        page.dialogs.yesNoAnswers.push_back(answer);
        page.form.BitBtn2Click();
        QCOMPARE(page.dialogs.texts(),
                 QStringList{QString::fromUtf8("Soubor %1 již existuje, chcete jej přepsat ?").arg(path)});
        QTEST(fileContent(path), "content");
    }

#ifndef Q_OS_WIN
    void failedSaveKeepsOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.par");
        writeFile(path, "old\r\n");
        Page page;
        page.dialogs.savePaths.push_back(path);
        page.dialogs.yesNoAnswers.push_back(true);
        // A file-size limit makes the write fail part-way, as a full disk would.
        QVERIFY(failsOnAFullDisk(10, [&] { page.form.BitBtn2Click(); }));
        QCOMPARE(fileContent(path), QByteArray("old\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.par"});
    }

#endif

    void failedSaveReportsIoError_data() {
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QString>("message");
#ifndef Q_OS_WIN
        QTest::newRow("full disk") << true << "Disk full";
#endif
        QTest::newRow("folder that is a file") << false << "File not found";
    }
    void failedSaveReportsIoError() {
        QFETCH(bool, fullDisk);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QString path;
        if (fullDisk) {
            // Through a link with the extension, since the dialog adds ".par" to a bare name.
            path = dir.filePath("a.par");
            QVERIFY(QFile::link("/dev/full", path));
        } else {
            writeFile(dir.filePath("plain"), "x");
            path = dir.filePath("plain/a.par");
        }
        Page page;
        page.dialogs.savePaths.push_back(path);
        page.dialogs.yesNoAnswers.push_back(true);
        try {
            page.form.BitBtn2Click();
            QFAIL("the save did not fail");
        } catch (const platform::IoError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), message);
        }
        QCOMPARE(page.form.staticText1(), kFresh);
    }

    // Loading resets, shows both lines as read, then decodes them; a line 2 that is missing or
    // short ends in the conversion error of its empty position, after line 1 was applied.
    void load_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("optionsOn");
        QTest::addColumn<QString>("lists");
        QTest::addColumn<std::string>("setupCode");
        QTest::addColumn<std::string>("casyCode");
        QTest::addColumn<QString>("error");
        QTest::newRow("two lines") << QByteArray("+000000000011\r\n+000000001200\r\n") << "1 4"
                                   << "1 20 0 0" << std::string("+000000000011")
                                   << std::string("+000000001200") << "";
        QTest::newRow("no 1 in line 1") << QByteArray("+000002000000\r\n+000000000000\r\n") << ""
                                        << "0 0 0 0" << std::string("+000002000000") << kFresh << "";
        QTest::newRow("positions 2 to 6 rebuilt")
            << QByteArray("+123450000001\r\n+999999990000\r\n") << "1"
            << "0 0 0 0" << std::string("+000000000001") << std::string("+999999990000") << "";
        QTest::newRow("third line ignored")
            << QByteArray("+000000000001\r\n+000000000090\r\n+000001111111\r\n") << "1"
            << "0 0 9 0" << std::string("+000000000001") << std::string("+000000000090") << "";
        QTest::newRow("no CR LF after the last line")
            << QByteArray("+000000000100\r\n+000000000001") << "6"
            << "0 0 0 10" << std::string("+000000000100") << std::string("+000000000001") << "";
        QTest::newRow("Ctrl-Z ends the data")
            << QByteArray("+000000000001\r\n+000000005\x1a"
                          "000\r\n")
            << "1"
            << "0 0 0 0" << std::string("+000000000001") << std::string("+000000005")
            << "'' is not a valid integer value";
        QTest::newRow("LF-only file is one line") << QByteArray("+000000000011\n+000000001200\n") << "1 4"
                                                  << "0 0 0 0" << std::string("+000000000011")
                                                  << std::string() << "'' is not a valid integer value";
        QTest::newRow("one short line")
            << QByteArray("+0000\r\n") << ""
            << "0 0 0 0" << std::string("+0000") << std::string() << "'' is not a valid integer value";
        QTest::newRow("empty file") << QByteArray() << ""
                                    << "0 0 0 0" << std::string() << std::string()
                                    << "'' is not a valid integer value";
        QTest::newRow("letter in line 2")
            << QByteArray("+000000000001\r\n+000000001Z45\r\n") << "1"
            << "0 0 4 50" << std::string("+000000000001") << std::string("+000000001Z45")
            << "'Z' is not a valid integer value";
    }
    void load() {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath("a.par");
        writeFile(path, content);
        Page page;
        page.radio(1).setChecked(true);
        page.radio(10).setChecked(true);
        page.pick(3, 7);
        page.dialogs.openPaths.push_back(path);
        QString thrown;
        try {
            page.form.BitBtn4Click();
        } catch (const EConvertError& e) {
            thrown = QString::fromUtf8(e.what());
        }
        QCOMPARE(thrown, error);
        QTEST(page.optionsOn(), "optionsOn");
        QTEST(page.lists(), "lists");
        QTEST(page.form.staticText1(), "setupCode");
        QTEST(page.form.staticText2(), "casyCode");
        QCOMPARE(page.dialogs.fileDialogs.at(0).filterDescription, QStringLiteral("*.par"));
        QCOMPARE(fileContent(path), content);

        // The command line checks a file with the same rules, and sends what the page would show.
        auto lines = platform::splitTextLines(content.toStdString(), 2);
        lines.resize(2);
        try {
            const auto codes = configuration_file::codesOf(lines[0], lines[1]);
            QVERIFY(error.isEmpty());
            QCOMPARE(codes.setup, page.form.staticText1());
            QCOMPARE(codes.casy, page.form.staticText2());
        } catch (const EConvertError& e) {
            QCOMPARE(QString::fromUtf8(e.what()), error);
        }
    }

    void loadFailureLeavesPage() {
        QTemporaryDir dir;
        Page page;
        page.edit();
        page.dialogs.openPaths.push_back(dir.filePath("missing.par"));
        try {
            page.form.BitBtn4Click();
            QFAIL("the load did not fail");
        } catch (const platform::IoError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("File not found"));
        }
        QCOMPARE(page.optionsOn(), QStringLiteral("10"));
        QCOMPARE(page.form.staticText2(), std::string("+000000000030"));
    }

    void cancelledDialogsDoNothing() {
        Page page;
        page.edit();
        page.form.BitBtn2Click();
        page.form.BitBtn4Click();
        QCOMPARE(page.dialogs.fileDialogs.size(), std::size_t(2));
        QCOMPARE(page.optionsOn(), QStringLiteral("10"));
        QCOMPARE(page.form.staticText2(), std::string("+000000000030"));
    }
};

QTEST_MAIN(TestConfigPage)
#include "test_config_page.moc"
