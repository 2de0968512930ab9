// The SMS page through its controls: the format check, the ".sms" file, and the store, read and
// delete exchanges against a fake port, with replies laid out as a phone with command echo sends
// them.
#include "exchange/exchange_lock.h"
#include "phone/shared_state.h"
#include "platform/pause.h"
#include "platform/text_file.h"
#include "sms/Unit4.h"
#include "support/file_size_limit.h"
#include "support/page_harness.h"
#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"
#include "widgets/VrStrEdit.h"

#include <functional>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kPortNotOpen = QString::fromUtf8("POZOR - sériový port není otevřen !");
const QString kPhoneSilent = QString::fromUtf8("POZOR - telefon nekomunikuje !");
const QString kMalformed = QString::fromUtf8("POZOR - telefonní čísla nejsou ve správném formátu !");
const QString kDeleting = QString::fromUtf8("Mažu pozice na SIM");
const QString kStoring = QString::fromUtf8("Ukládám na pozice na SIM");
const QString kWorking = QString::fromUtf8("Moment prosím, pracuji");

const std::string kCentre = "+420603052000";
const std::string kNumber = "+420603123456";
const std::vector<std::string> kSelection = {"AT+CMEE?;+CMEE=1;+CPIN?;+CMGF?;+CMGF=0;+CPMS=\"SM\",\"SM\"\r"};
// The backup's reads before a store or a delete.
const std::vector<std::string> kBackupReads = {"AT+CMGR=1\r", "AT+CMGR=2\r", "AT+CMGR=3\r", "AT+CMGR=4\r"};

// The defaults as the phone gets them: centre, submit with relative validity, destination,
// protocol 0, 7-bit, 25 minutes, then the packed text.
const std::string kHead = "0791246030500200"
                          "11"
                          "00"
                          "0C91246030214365"
                          "00"
                          "00"
                          "04";
const std::string kPduOk2 = kHead + "03CFA50C";
const std::string kPduOk3 = kHead + "03CFE50C";
const std::string kPduOk4 = kHead + "03CF250D";
const std::string kPduPoplach = kHead + "07D0379C1D1EA301";

// What follows the echo of a message read.
std::string readAnswer(const std::string& pdu) {
    return "\r\n+CMGR: 2,,21\r\n" + pdu + "\r\n\r\nOK\r\n";
}
const std::string kEmpty = "\r\nOK\r\n";

struct Page : PageHarness {
    Page() {
        shared.SmscNumber = kCentre;
        form = std::make_unique<TForm4>(context);
        form->show();
    }

    VrStrEdit& edit(int index) const {
        return *form->findChild<VrStrEdit*>("VrStrEdit" + QString::number(index));
    }
    VrStrEdit& number(int position) const { return edit(2 * position - 1); }
    VrStrEdit& text(int position) const { return edit(2 * position); }
    VrStrEdit& centre() const { return edit(19); }
    QPushButton& button(int index) const {
        return *form->findChild<QPushButton*>("Button" + QString::number(index));
    }
    VrLabel& busyLabel() const { return *form->findChild<VrLabel*>("VrLabel1"); }
    TGauge& gauge() const { return *form->findChild<TGauge*>("Gauge1"); }

    QStringList rows() const {
        QStringList values;
        for (int position = 1; position <= 4; ++position)
            values << number(position).text() << text(position).text();
        return values;
    }
    void setRows(const QStringList& values) {
        for (int position = 1; position <= 4; ++position) {
            number(position).setText(values[2 * position - 2]);
            text(position).setText(values[2 * position - 1]);
        }
    }
    bool idle() const {
        bool buttonsOn = true;
        for (int index = 1; index <= 5; ++index)
            buttonsOn = buttonsOn && button(index).isEnabled();
        return buttonsOn && busyLabel().text() == " " && gauge().isHidden() && !form->Timer1.isActive() &&
               !exchanges.busy();
    }

    // Runs a whole read of a SIM whose positions 1 to 4 answer so (what follows each echo).
    void read(const std::vector<std::string>& answers) {
        for (int position = 1; position <= 4; ++position)
            phone.answers["AT+CMGR=" + std::to_string(position) + "\r"] =
                answers.at(std::size_t(position - 1));
        form->Button1Click();
        form->Timer1Timer();
    }

    std::unique_ptr<TForm4> form;
};

const QStringList kDefaults = {"+420603123456", "OK2", "+420603123456", "OK3",
                               "+420603123456", "OK4", "+420603123456", "Poplach"};

QByteArray fileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestSmsPage : public QObject {
    Q_OBJECT

private slots:
    void fieldsTakeTypedInputWithinLimits();
    void centreFieldAndSharedNumberAgree();
    void storeRefusals_data();
    void storeRefusals();
    void storeSendsDeletesThenMessagesInOrder();
    void storeReturnsToIdleWhenTheLineFails();
    void readFillsRowsWithWhatWasStored_data();
    void readFillsRowsWithWhatWasStored();
    void readWithSilentPhoneKeepsFields_data();
    void readWithSilentPhoneKeepsFields();
    void readRefusedWhenPortClosedOrPhoneBusy();
    void readOddAnswers_data();
    void readOddAnswers();
    void deleteAll();
    void deleteAllWithPortClosedChangesNothing();
    void whatThePhoneDidNotConfirmIsTold_data();
    void whatThePhoneDidNotConfirmIsTold();
    void saveWritesEightLines();
    void saveOverExistingFileAsksFirst();
#ifndef Q_OS_WIN
    void failedSaveReportsAndKeepsOldFile();
#endif
    void load_data();
    void load();
};

void TestSmsPage::fieldsTakeTypedInputWithinLimits() {
    Page page;
    page.number(1).clear();
    QTest::keyClicks(&page.number(1), "+4206031234567890");
    QCOMPARE(page.number(1).text(), QString("+420603123456"));
    page.text(4).clear();
    QTest::keyClicks(&page.text(4), QString(60, 'x'));
    QCOMPARE(page.text(4).text(), QString(50, 'x'));
    QTest::keyClicks(&page.centre(), "7");
    QCOMPARE(page.centre().text(), QString::fromStdString(kCentre));
}

// Typing in the centre field reaches SmscNumber at once, so the settings file written at exit
// holds it even when nothing was stored in the phone.
void TestSmsPage::centreFieldAndSharedNumberAgree() {
    Page page;
    page.form->hide();
    page.shared.SmscNumber = "+420602909909";
    page.form->show();
    QCOMPARE(page.centre().text(), QString("+420602909909"));

    page.centre().setFocus();
    page.centre().end(false);
    QTest::keyClick(&page.centre(), Qt::Key_Backspace);
    QTest::keyClicks(&page.centre(), "8");
    QCOMPARE(page.shared.SmscNumber, std::string("+420602909908"));

    // What a failed start leaves (an empty number) is shown, and is then refused by the store.
    page.form->hide();
    page.shared.SmscNumber.clear();
    page.form->show();
    QCOMPARE(page.centre().text(), QString());
    QVERIFY(!page.form->Kontrola());
}

void TestSmsPage::storeRefusals_data() {
    QTest::addColumn<int>("field"); // VrStrEdit index
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("emptyText"); // that row's text emptied as well
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QString>("message"); // empty: the store goes ahead

    QTest::newRow("defaults pass") << 1 << "+420603123456" << false << true << QString();
    QTest::newRow("a letter for a digit passes") << 3 << "+42060312345x" << false << true << QString();
    QTest::newRow("twelve characters") << 1 << "420603123456" << false << true << kMalformed;
    QTest::newRow("fourteen characters") << 5 << "+4206031234567" << false << true << kMalformed;
    QTest::newRow("thirteen without plus") << 7 << "4206031234567" << false << true << kMalformed;
    QTest::newRow("empty number in the last row") << 7 << "" << false << true << kMalformed;
    QTest::newRow("empty number, empty text too") << 3 << "" << true << true << kMalformed;
    QTest::newRow("centre without plus") << 19 << "4420603052000" << false << true << kMalformed;
    QTest::newRow("twenty-character loaded number")
        << 1 << "+4206031234567890123" << false << true << kMalformed;
    QTest::newRow("format checked before the port") << 1 << "" << false << false << kMalformed;
    QTest::newRow("port closed") << 1 << "+420603123456" << false << false << kPortNotOpen;
}

void TestSmsPage::storeRefusals() {
    QFETCH(int, field);
    QFETCH(QString, value);
    QFETCH(bool, emptyText);
    QFETCH(bool, portOpen);
    QFETCH(QString, message);

    Page page;
    page.port.open = portOpen;
    page.edit(field).setText(value);
    if (emptyText)
        page.edit(field + 1).clear();
    page.form->Button3Click();

    if (message.isEmpty()) {
        QVERIFY(page.dialogs.shown.empty());
        QCOMPARE(int(page.port.sent.size()), 14); // the backup's reads among them
        return;
    }
    QCOMPARE(page.dialogs.texts(), QStringList{message});
    QCOMPARE(page.dialogs.shown[0].kind, QString("error"));
    QVERIFY(page.port.sent.empty());
    QVERIFY(page.pause.waits.empty());
    QVERIFY(page.idle());
}

void TestSmsPage::storeSendsDeletesThenMessagesInOrder() {
    Page page;
    QStringList progress;
    page.pause.onWait = [&] {
        progress << QString("%1 %2").arg(page.busyLabel().text()).arg(page.gauge().progress());
        QVERIFY(!page.gauge().isHidden());
        QVERIFY(!page.button(1).isEnabled() && !page.button(2).isEnabled() && !page.button(5).isEnabled());
    };
    page.form->Button3Click();

    std::vector<std::string> expected = {"AT+CMGD=1;+CMGD=2;+CMGD=3;+CMGD=4\r",
                                         "AT+CMGW=17\r",
                                         kPduOk2 + "\x1A",
                                         "AT+CMGW=17\r",
                                         kPduOk3 + "\x1A",
                                         "AT+CMGW=17\r",
                                         kPduOk4 + "\x1A",
                                         "AT+CMGW=21\r",
                                         kPduPoplach + "\x1A"};
    expected.insert(expected.begin(), kBackupReads.begin(), kBackupReads.end());
    expected.insert(expected.begin(), kSelection.begin(), kSelection.end());
    QCOMPARE(page.port.sent, expected);
    // Each command waits for the gap after the last final answer; a message follows its prompt at once.
    // The deletes go on one line before the first message.
    // The backup's reads go first, under the write's busy text, in the gauge's first half.
    QCOMPARE(progress, (QStringList{kDeleting + " 0", kDeleting + " 12", kDeleting + " 25", kDeleting + " 37",
                                    kStoring + " 56", kStoring + " 56", kStoring + " 68", kStoring + " 80",
                                    kStoring + " 92"}));
    QVERIFY(page.idle());
    QCOMPARE(page.form->PduLength, std::uint16_t(21));
    QCOMPARE(page.rows(), kDefaults);
}

void TestSmsPage::storeReturnsToIdleWhenTheLineFails() {
    Page page;
    page.port.failingSend = 4; // the first PDU
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, page.form->Button3Click());
    QCOMPARE(int(page.port.sent.size()), 3);
    QVERIFY(page.idle());
}

void TestSmsPage::readFillsRowsWithWhatWasStored_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("read");

    QTest::newRow("defaults, plus signs included") << kDefaults << kDefaults;
    QTest::newRow("c caron comes back")
        << QStringList{"+420603123456", "Poplach č. 1", "+420777000111", "OK3",
                       "+420603123456", "[]€",          "+420603123456", ""}
        << QStringList{"+420603123456", "Poplach č. 1", "+420777000111", "OK3",
                       "+420603123456", "[]€",          "+420603123456", ""};
    // š has no GSM letter: it goes out as septet 7F, which reads back as code 127.
    QTest::newRow("s caron comes back as 127")
        << QStringList{"+420603123456", "šok", "+420603123456", "OK3",
                       "+420603123456", "OK4", "+420603123456", "Poplach"}
        << QStringList{"+420603123456", QString(QChar(127)) + "ok",
                       "+420603123456", "OK3",
                       "+420603123456", "OK4",
                       "+420603123456", "Poplach"};
}

void TestSmsPage::readFillsRowsWithWhatWasStored() {
    QFETCH(QStringList, stored);
    QFETCH(QStringList, read);

    Page page;
    page.setRows(stored);
    page.form->Button3Click();
    std::vector<std::string> answers;
    for (int position = 1; position <= 4; ++position) {
        std::string pdu = page.port.sent[2 * position + 5];
        pdu.pop_back(); // Ctrl-Z
        answers.push_back(readAnswer(pdu));
    }
    page.setRows(QStringList(8, "stale"));
    page.port.sent.clear();
    QStringList progress;
    page.pause.onWait = [&] {
        progress << QString("%1 %2").arg(page.busyLabel().text()).arg(page.gauge().progress());
        QCOMPARE(page.rows(), QStringList(8, "stale"));
    };

    page.read(answers);

    QCOMPARE(page.rows(), read);
    QCOMPARE(page.port.sent, (std::vector<std::string>{"AT\r", kSelection[0], "AT+CMGR=1\r", "AT+CMGR=2\r",
                                                       "AT+CMGR=3\r", "AT+CMGR=4\r"}));
    QCOMPARE(progress, (QStringList{kWorking + " 0", kWorking + " 0", kWorking + " 25", kWorking + " 50",
                                    kWorking + " 75"}));
    QCOMPARE(page.shared.StepState, 14);
    QCOMPARE(page.gauge().progress(), 100);
    QVERIFY(page.idle());
}

void TestSmsPage::readWithSilentPhoneKeepsFields_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("probes");
    QTest::newRow("switched off") << QByteArray() << 1;
    QTest::newRow("refuses the probe twice") << QByteArray("\r\nERROR\r\n") << 2;
}

// A failed probe must not wipe messages the user typed and has not saved.
void TestSmsPage::readWithSilentPhoneKeepsFields() {
    QFETCH(QByteArray, answer);
    QFETCH(int, probes);

    Page page;
    page.phone.answers["AT\r"] = answer.toStdString();
    page.setRows({"+420111111111", "a", "+420222222222", "b", "+420333333333", "c", "+420444444444", "d"});
    const QStringList before = page.rows();
    page.form->Button1Click();
    QCOMPARE(page.port.sent, std::vector<std::string>{"AT\r"});
    QCOMPARE(page.shared.StepState, 18);
    QVERIFY(!page.button(1).isEnabled() && !page.button(2).isEnabled() && !page.button(5).isEnabled());
    QVERIFY(page.form->Timer1.isActive());

    page.form->Timer1Timer();
    QCOMPARE(page.dialogs.texts(), QStringList{kPhoneSilent});
    QCOMPARE(page.dialogs.shown[0].kind, QString("warning"));
    QCOMPARE(page.rows(), before);
    QCOMPARE(page.port.sent, std::vector<std::string>(std::size_t(probes), "AT\r"));
    QVERIFY(page.idle());
}

void TestSmsPage::readRefusedWhenPortClosedOrPhoneBusy() {
    Page page;
    page.port.open = false;
    page.shared.StepState = 5;
    page.shared.ReplyBuffer = "kept";
    page.form->Button1Click();
    QCOMPARE(page.dialogs.texts(), QStringList{kPortNotOpen});
    QCOMPARE(page.shared.StepState, 5);
    QCOMPARE(page.shared.ReplyBuffer, std::string("kept"));

    // Another page's exchange holds the phone: nothing is started over it.
    page.port.open = true;
    QObject otherPage;
    QVERIFY(page.exchanges.tryAcquire(&otherPage));
    QVERIFY(!page.button(1).isEnabled());
    page.form->Button1Click();
    page.form->Button3Click();
    page.form->Button4Click();
    QVERIFY(page.port.sent.empty());
    QCOMPARE(page.rows(), kDefaults);
    page.exchanges.release(&otherPage);
    QVERIFY(page.idle());
}

void TestSmsPage::readOddAnswers_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("row");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("unsolicited code between header and PDU")
        << QByteArray::fromStdString("\r\n+CMGR: 2,,17\r\n\r\n+CMTI: \"SM\",9\r\n" + kPduOk2 +
                                     "\r\n\r\nOK\r\n")
        << QStringList{"+420603123456", "OK2"} << QStringList();
    QTest::newRow("empty position") << QByteArray("\r\nOK\r\n") << QStringList{"", ""} << QStringList();
    QTest::newRow("empty position as an error")
        << QByteArray("\r\n+CMS ERROR: 321\r\n") << QStringList{"", ""} << QStringList();
    // A message the phone received has no destination; the row shows who sent it, not a number left
    // over from the position read before.
    QTest::newRow("received message")
        << QByteArray::fromStdString(readAnswer("0791246030500200"
                                                "04"
                                                "0B917177000111F1" // from +17770010111
                                                "0000"
                                                "32507141035440"
                                                "02CF25"))
        << QStringList{"+17770010111", "OK"} << QStringList();
    QTest::newRow("sender with a name")
        << QByteArray::fromStdString(readAnswer("0791246030500200"
                                                "04"
                                                "14D04937BD2C7797E9D3E614" // from "InternetSMS"
                                                "0000"
                                                "32507141035440"
                                                "02CF25"))
        << QStringList{"InternetSMS", "OK"} << QStringList();
    QTest::newRow("refused") << QByteArray("\r\n+CMS ERROR: 500\r\n") << QStringList{"+420111111111", "a"}
                             << QStringList{QString::fromUtf8(
                                    "POZOR - telefon neodpověděl na čtení pozic: 2 !\n+CMS ERROR: 500")};
}

// The second position answers so; the others hold the defaults or nothing. A read the phone did
// not answer whole leaves every row as it was.
void TestSmsPage::readOddAnswers() {
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, row);

    Page page;
    const QStringList before = {"+420111111111", "a", "+420222222222", "b", "", "", "", ""};
    page.setRows(before);
    page.read({readAnswer(kPduOk2), answer.toStdString(), kEmpty, readAnswer(kPduPoplach)});
    QTEST(page.dialogs.texts(), "boxes");
    const QStringList expected = page.dialogs.shown.empty()
                                     ? QStringList{"+420603123456", "OK2"} + row + QStringList{"", ""} +
                                           QStringList{"+420603123456", "Poplach"}
                                     : before;
    QCOMPARE(page.rows(), expected);
    QVERIFY(page.idle());
}

void TestSmsPage::deleteAll() {
    Page page;
    QStringList progress;
    page.pause.onWait = [&] {
        progress << QString("%1 %2").arg(page.busyLabel().text()).arg(page.gauge().progress());
    };
    page.form->Button4Click();
    std::vector<std::string> expected = kSelection;
    expected.insert(expected.end(), kBackupReads.begin(), kBackupReads.end());
    expected.push_back("AT+CMGD=1;+CMGD=2;+CMGD=3;+CMGD=4\r");
    QCOMPARE(page.port.sent, expected);
    QCOMPARE(progress, (QStringList{kDeleting + " 0", kDeleting + " 12", kDeleting + " 25", kDeleting + " 37",
                                    kDeleting + " 100"}));
    QCOMPARE(page.rows(), QStringList(8, QString()));
    QCOMPARE(page.gauge().progress(), 0);
    QVERIFY(page.idle());
    QVERIFY(page.dialogs.shown.empty());
}

void TestSmsPage::deleteAllWithPortClosedChangesNothing() {
    Page page;
    page.port.open = false;
    page.form->Button4Click();
    QVERIFY(page.port.sent.empty());
    QVERIFY(page.dialogs.shown.empty());
    QCOMPARE(page.rows(), kDefaults);
    QVERIFY(page.idle());
}

// Answers that differ from a phone taking everything: the command they follow, the answer.
using Answers = QList<std::pair<QString, QString>>;

void TestSmsPage::whatThePhoneDidNotConfirmIsTold_data() {
    QTest::addColumn<bool>("store");
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("sent"); // the backup's four reads among them, once the SIM is open
    QTest::addColumn<bool>("rowsKept");

    const QString silent = kPhoneSilent;
    QTest::newRow("store: PDU mode refused")
        << true << Answers{{"AT+CMGF=0\r", "\r\n+CMS ERROR: 303\r\n"}}
        << QStringList{QString::fromUtf8("POZOR - telefon odmítl příkaz AT+CMGF=0 !\n+CMS ERROR: 303")} << 6
        << true;
    QTest::newRow("store: phone silent")
        << true << Answers{{"AT+CMEE=1\r", ""}} << QStringList{silent} << 1 << true;
    QTest::newRow("store: SIM full at the fourth")
        << true << Answers{{kPduPoplach.c_str() + QString("\x1A"), "\r\n+CMS ERROR: 322\r\n"}}
        << QStringList{QString::fromUtf8(
               "POZOR - telefon nepotvrdil uložení SMS na pozice: 4 !\n+CMS ERROR: 322")}
        << 14 << true;
    // The phone that stopped answering is told to leave message entry and gets nothing more.
    QTest::newRow("store: a message stored elsewhere, then no answer")
        << true
        << Answers{{kPduOk3.c_str() + QString("\x1A"), "\r\n+CMGW: 7\r\n\r\nOK\r\n"},
                   {kPduOk4.c_str() + QString("\x1A"), ""}}
        << QStringList{QString::fromUtf8("POZOR - telefon nepotvrdil uložení SMS na pozice: 2, 3, 4 !")} << 13
        << true;
    QTest::newRow("store: no prompt")
        << true << Answers{{"AT+CMGW=17\r", ""}}
        << QStringList{QString::fromUtf8("POZOR - telefon nepotvrdil uložení SMS na pozice: 1, 2, 3, 4 !")}
        << 8 << true;
    QTest::newRow("delete-all: empty positions are deleted")
        << false
        << Answers{{"AT+CMGD=3\r", "\r\n+CMS ERROR: 321\r\n"}, {"AT+CMGD=4\r", "\r\n+CMS ERROR: 321\r\n"}}
        << QStringList{} << 10 << false;
    QTest::newRow("delete-all: one refused")
        << false << Answers{{"AT+CMGD=2\r", "\r\n+CMS ERROR: 500\r\n"}}
        << QStringList{QString::fromUtf8(
               "POZOR - telefon nepotvrdil smazání SMS na pozicích: 2 !\n+CMS ERROR: 500")}
        << 10 << true;
    QTest::newRow("delete-all: phone silent")
        << false << Answers{{"AT+CMEE=1\r", ""}} << QStringList{silent} << 1 << true;
}

void TestSmsPage::whatThePhoneDidNotConfirmIsTold() {
    QFETCH(bool, store);
    QFETCH(Answers, answers);
    QFETCH(int, sent);
    QFETCH(bool, rowsKept);
    Page page;
    for (const auto& [command, answer] : answers)
        page.phone.answers[command.toStdString()] = answer.toStdString();
    store ? page.form->Button3Click() : page.form->Button4Click();
    QTEST(page.dialogs.texts(), "boxes");
    QCOMPARE(int(page.port.sent.size()), sent);
    // A phone left waiting for a message is told that none comes.
    QCOMPARE(page.port.sent.back() == "\x1B", page.dialogs.texts().join("").contains("1, 2, 3, 4") ||
                                                  page.dialogs.texts().join("").contains("2, 3, 4"));
    QCOMPARE(page.rows() == kDefaults, rowsKept);
    QVERIFY(page.idle());
}

void TestSmsPage::saveWritesEightLines() {
    QTemporaryDir dir;
    Page page;
    page.text(4).setText(QString::fromUtf8("Požár  "));
    page.number(3).clear();
    page.dialogs.savePaths.push_back(dir.filePath("alarm"));
    page.form->Button2Click();

    QCOMPARE(page.dialogs.fileDialogs.at(0).defaultExtension, QString("sms"));
    QCOMPARE(page.dialogs.fileDialogs.at(0).filterPattern, QString("*.sms"));
    QCOMPARE(fileContent(dir.filePath("alarm.sms")),
             QByteArray("+420603123456\r\nOK2\r\n+420603123456\r\nOK3\r\n"
                        "\r\nOK4\r\n+420603123456\r\nPo\x9E\xE1r  \r\n"));
    QVERIFY(page.dialogs.shown.empty());
}

void TestSmsPage::saveOverExistingFileAsksFirst() {
    QTemporaryDir dir;
    const QString path = dir.filePath("old.sms");
    writeFile(path, "old\r\n");
    Page page;
    page.dialogs.savePaths.push_back(path);
    page.form->Button2Click(); // answered No
    QCOMPARE(page.dialogs.texts(),
             QStringList{QString::fromUtf8("Soubor %1 již existuje, chcete jej přepsat ?").arg(path)});
    QCOMPARE(fileContent(path), QByteArray("old\r\n"));

    page.dialogs.savePaths.push_back(path);
    page.dialogs.yesNoAnswers.push_back(true);
    page.form->Button2Click();
    QVERIFY(fileContent(path).startsWith("+420603123456\r\nOK2\r\n"));
}

#ifndef Q_OS_WIN
void TestSmsPage::failedSaveReportsAndKeepsOldFile() {
    // Tests run as root, so a full device stands in for a full disk.
    QTemporaryDir dir;
    const QString device = dir.filePath("full.sms");
    QVERIFY(QFile::link("/dev/full", device));
    Page page;
    page.dialogs.savePaths.push_back(device);
    page.dialogs.yesNoAnswers.push_back(true);
    try {
        page.form->Button2Click();
        QFAIL("a full disk went unreported");
    } catch (const platform::IoError& error) {
        QCOMPARE(QString(error.what()), QString("Disk full"));
    }

    // A write that fails half-way (file size limit) leaves the old file as it was.
    const QString path = dir.filePath("old.sms");
    writeFile(path, "old\r\n");
    page.text(1).setText(QString(200, 'x'));
    page.dialogs.savePaths.push_back(path);
    page.dialogs.yesNoAnswers.push_back(true);
    QVERIFY(failsOnAFullDisk(64, [&] { page.form->Button2Click(); }));
    QCOMPARE(fileContent(path), QByteArray("old\r\n"));
}
#endif

void TestSmsPage::load_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("eight lines") << QByteArray(
                                        "+420111111111\r\nA\r\n+420222222222\r\nB\r\n+420333333333\r\nC\r\n"
                                        "+420444444444\r\nD\r\n")
                                 << QStringList{"+420111111111", "A", "+420222222222", "B",
                                                "+420333333333", "C", "+420444444444", "D"};
    QTest::newRow("three lines empty the rest")
        << QByteArray("+420111111111\r\nA\r\n+420222222222\r\n")
        << QStringList{"+420111111111", "A", "+420222222222", "", "", "", "", ""};
    QTest::newRow("line feeds alone do not end lines")
        << QByteArray("+420111111111\nA\nB\n")
        << QStringList{"+420111111111\nA\nB\n", "", "", "", "", "", "", ""};
    QTest::newRow("Ctrl-Z ends the data") << QByteArray("+420111111111\r\nA\x1A\r\nB\r\n")
                                          << QStringList{"+420111111111", "A", "", "", "", "", "", ""};
    QTest::newRow("a long first line is taken whole")
        << QByteArray("+4206031234567890123\r\n")
        << QStringList{"+4206031234567890123", "", "", "", "", "", "", ""};
    QTest::newRow("Windows-1250 text")
        << QByteArray("1\r\nPo\x9E\xE1r\r\n")
        << QStringList{"1", QString::fromUtf8("Požár"), "", "", "", "", "", ""};
}

void TestSmsPage::load() {
    QFETCH(QByteArray, content);
    QFETCH(QStringList, rows);

    QTemporaryDir dir;
    const QString path = dir.filePath("in.sms");
    writeFile(path, content);
    Page page;
    page.centre().setText("+420600000000");
    page.dialogs.openPaths.push_back(path);
    page.form->Button5Click();
    QCOMPARE(page.rows(), rows);
    QCOMPARE(page.centre().text(), QString("+420600000000")); // not part of the file

    page.form->Button5Click(); // cancelled
    QCOMPARE(page.rows(), rows);
}

QTEST_MAIN(TestSmsPage)
#include "test_sms_page.moc"
