// The configuration page through its controls: options and times, the phone exchanges against a
// fake port with replies laid out as a phone with command echo sends them, and the ".par" file.
#include "config/Unit5.h"
#include "phone/exchange_lock.h"
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

const std::string kProbeAnswer = "AT\r\r\nOK\r\n";
const std::string kSelection = "AT+CPBS=\"SM\"\r";
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
        QCOMPARE(page.timer(1).interval(), 500);
        QCOMPARE(page.timer(2).interval(), 300);
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
        QList<int> gaugeAtWaits;
        QList<std::size_t> sentAtWaits;
        page.pause.onWait = [&] {
            gaugeAtWaits << page.gauge().progress();
            sentAtWaits << page.port.sent.size();
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

        page.shared.ReplyBuffer = kProbeAnswer;
        page.form.Timer1Timer();
        QCOMPARE(page.port.sent,
                 (std::vector<std::string>{"AT\r", kSelection, "AT+CPBW=5,\"+000000000000\",,\"Setup\"\r",
                                           "AT+CPBW=6,\"+000000000000\",,\"Casy\"\r"}));
        QCOMPARE(page.pause.waits, (std::vector<int>{500, 500, 500}));
        QCOMPARE(gaugeAtWaits, (QList<int>{25, 50, 75}));
        QCOMPARE(sentAtWaits, (QList<std::size_t>{3, 3, 3}));
        QCOMPARE(page.gauge().progress(), 100);
        QCOMPARE(page.shared.ExchangeMode, std::string("prvni_konfigurak"));
        QCOMPARE(page.shared.ReplyBuffer, std::string(" "));
        QVERIFY(page.idle());
    }

    void writeSendsDisplayedCodes() {
        Page page;
        page.radio(1).setChecked(true);
        page.radio(4).setChecked(true);
        page.pick(1, 1);
        page.pick(2, 2);
        page.form.BitBtn3Click();
        page.shared.ReplyBuffer = kProbeAnswer;
        page.form.Timer1Timer();
        QCOMPARE(page.port.sent.at(2), std::string("AT+CPBW=5,\"+000000000011\",,\"Setup\"\r"));
        QCOMPARE(page.port.sent.at(3), std::string("AT+CPBW=6,\"+000000001200\",,\"Casy\"\r"));
    }

    // Stored codes come back into the page; an empty (or unreadable) position leaves the page's
    // state for it alone, and the reset runs only when position 5 holds an entry.
    void read_data() {
        QTest::addColumn<std::string>("reply5");
        QTest::addColumn<std::string>("reply6");
        QTest::addColumn<QString>("optionsOn");
        QTest::addColumn<QString>("lists");
        QTest::addColumn<std::string>("setupCode");
        QTest::addColumn<std::string>("casyCode");
        // Before each read: credit keeping on (+000000010000), 3 min after activation (+000000000030).
        QTest::newRow("both stored") << entryReply(5, "+000001000001", "Setup")
                                     << entryReply(6, "+000000001230", "Casy") << "1 14"
                                     << "1 20 3 0" << std::string("+000001000001")
                                     << std::string("+000000001230");
        QTest::newRow("5 empty, 6 stored")
            << emptyReply(5) << entryReply(6, "+000000001230", "Casy") << "10"
            << "1 20 3 0" << std::string("+000000010000") << std::string("+000000001230");
        QTest::newRow("5 stored, 6 empty")
            << entryReply(5, "+000001000001", "Setup") << emptyReply(6) << "1 14"
            << "0 0 0 0" << std::string("+000001000001") << kFresh;
        QTest::newRow("both empty") << emptyReply(5) << emptyReply(6) << "10"
                                    << "0 0 3 0" << std::string("+000000010000")
                                    << std::string("+000000000030");
        QTest::newRow("stored code without a 1 stays shown")
            << entryReply(5, "+000002000000", "Setup") << emptyReply(6) << ""
            << "0 0 0 0" << std::string("+000002000000") << kFresh;
        QTest::newRow("error replies count as empty")
            << std::string("AT+CPBR=5\r\r\n+CME ERROR: 22\r\n")
            << std::string("AT+CPBR=6\r\r\n+CME ERROR: 22\r\n") << "10"
            << "0 0 3 0" << std::string("+000000010000") << std::string("+000000000030");
        QTest::newRow("no answers in time")
            << std::string(" ") << std::string(" ") << "10"
            << "0 0 3 0" << std::string("+000000010000") << std::string("+000000000030");
        QTest::newRow("answers cut short")
            << std::string("AT+CPBR=5\r\r\n+CPBR: 5,\"+00000") << std::string("AT+CPBR=6\r\r\n+CPB") << "10"
            << "0 0 3 0" << std::string("+000000010000") << std::string("+000000000030");
    }
    void read() {
        QFETCH(std::string, reply5);
        QFETCH(std::string, reply6);
        Page page;
        page.edit();
        page.form.Button1Click();
        QCOMPARE(page.port.sent, std::vector<std::string>{"AT\r"});
        QCOMPARE(page.shared.StepState, 0);
        QVERIFY(page.timer(2).isActive());

        page.shared.ReplyBuffer = kProbeAnswer;
        page.form.Timer2Timer();
        QCOMPARE(page.port.sent.back(), std::string("AT+CPBR=5\r"));
        QCOMPARE(page.shared.StepState, 5);
        QCOMPARE(page.busyLabel().text(), kWorking);
        QVERIFY(!page.get<QPushButton>("BitBtn2").isEnabled());

        page.shared.ReplyBuffer = reply5;
        page.form.Timer2Timer();
        QCOMPARE(page.port.sent.back(), std::string("AT+CPBR=6\r"));
        QCOMPARE(page.shared.StepState, 6);
        QCOMPARE(page.shared.ReplyBuffer, std::string(" "));

        page.shared.ReplyBuffer = reply6;
        page.form.Timer2Timer();
        QCOMPARE(page.port.sent.size(), std::size_t(4));
        QTEST(page.optionsOn(), "optionsOn");
        QTEST(page.lists(), "lists");
        QTEST(page.form.staticText1(), "setupCode");
        QTEST(page.form.staticText2(), "casyCode");
        QVERIFY(page.idle());
    }

    // The error still leaves the handler for the application's report, but the page ends idle.
    void readConversionErrorEndsIdle() {
        Page page;
        page.form.Button1Click();
        page.shared.ReplyBuffer = kProbeAnswer;
        page.form.Timer2Timer();
        page.shared.ReplyBuffer = emptyReply(5);
        page.form.Timer2Timer();
        page.shared.ReplyBuffer = entryReply(6, "+000000001x30", "Casy");
        QVERIFY_THROWS_EXCEPTION(EConvertError, page.form.Timer2Timer());
        QCOMPARE(page.lists(), QStringLiteral("0 0 3 0"));
        QCOMPARE(page.form.staticText2(), std::string("+000000001x30"));
        QVERIFY(page.idle());
    }

    void probeFails_data() {
        QTest::addColumn<bool>("write");
        QTest::addColumn<std::string>("reply");
        QTest::newRow("write, no phone") << true << std::string(" ");
        QTest::newRow("write, echo off") << true << std::string("\r\nOK\r\n");
        QTest::newRow("read, no phone") << false << std::string(" ");
        QTest::newRow("read, echo off") << false << std::string("\r\nOK\r\n");
        QTest::newRow("read, answer cut short") << false << std::string("AT\r\r");
    }
    void probeFails() {
        QFETCH(bool, write);
        QFETCH(std::string, reply);
        Page page;
        page.edit();
        write ? page.form.BitBtn3Click() : page.form.Button1Click();
        page.shared.ReplyBuffer = reply;
        write ? page.form.Timer1Timer() : page.form.Timer2Timer();
        QCOMPARE(page.dialogs.texts(), QStringList{kPhoneSilent});
        QCOMPARE(page.port.sent, std::vector<std::string>{"AT\r"});
        QCOMPARE(page.optionsOn(), QStringLiteral("10"));
        QCOMPARE(page.form.staticText2(), std::string("+000000000030"));
        if (write)
            QCOMPARE(page.shared.ExchangeMode, std::string("test_komunikace"));
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
        QTest::newRow("write position 5") << true << 3;
        QTest::newRow("write position 6") << true << 4;
        QTest::newRow("read probe") << false << 1;
        QTest::newRow("read position 5") << false << 3;
        QTest::newRow("read position 6") << false << 4;
    }
    void sendFailureEndsIdle() {
        QFETCH(bool, write);
        QFETCH(int, failingSend);
        Page page;
        page.port.failingSend = std::size_t(failingSend);
        const std::vector<std::string> replies = {kProbeAnswer, emptyReply(5)};
        try {
            write ? page.form.BitBtn3Click() : page.form.Button1Click();
            for (const auto& reply : replies) {
                page.shared.ReplyBuffer = reply;
                write ? page.form.Timer1Timer() : page.form.Timer2Timer();
            }
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

    void failedSaveReportsIoError_data() {
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QString>("message");
        QTest::newRow("full disk") << true << "Disk full";
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
