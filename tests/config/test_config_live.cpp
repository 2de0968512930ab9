// The configuration page in the whole main window, on a pseudo-terminal against the virtual phone:
// real timers, real pauses, real replies.
#include "config/Unit5.h"
#include "support/live_phone.h"
#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

struct LivePage {
    explicit LivePage(LiveWindow& live) : form(live.window->configurationPage()) {}
    TForm5& form;

    template <typename T> T& get(const QString& name) {
        T* child = form.findChild<T*>(name);
        if (!child)
            qFatal("no control %s", qPrintable(name));
        return *child;
    }
    QRadioButton& radio(int n) { return get<QRadioButton>(QStringLiteral("RadioButton%1").arg(n)); }
    QComboBox& list(int n) { return get<QComboBox>(QStringLiteral("ComboBox%1").arg(n)); }
    void click(const char* name) {
        QTest::mouseClick(&get<QPushButton>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    void pick(int n, int index) {
        list(n).setCurrentIndex(index);
        emit list(n).activated(index);
    }
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
        for (const char* name : {"BitBtn1", "Button1", "BitBtn3", "BitBtn4", "BitBtn2"})
            if (!get<QPushButton>(QString::fromLatin1(name)).isEnabled())
                return false;
        return !get<QTimer>("Timer1").isActive() && !get<QTimer>("Timer2").isActive() &&
               get<VrLabel>("VrLabel1").text().isEmpty() && get<TGauge>("Gauge1").isHidden();
    }
};

} // namespace

class TestConfigLive : public QObject {
    Q_OBJECT
private slots:
    void writeThenReadBack() {
        LivePhone phone;
        LiveWindow live(phone);
        LivePage page(live);
        for (int n : {1, 4, 8, 12, 14})
            page.radio(n).setChecked(true);
        page.pick(1, 1);
        page.pick(2, 2);
        page.pick(3, 3);
        page.pick(4, 5);
        QCOMPARE(page.form.staticText1(), std::string("+000001101011"));
        QCOMPARE(page.form.staticText2(), std::string("+000000001235"));

        page.click("BitBtn3");
        QVERIFY(!page.idle());
        QTRY_VERIFY_WITH_TIMEOUT(phone.state().contains("entry 6"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 5000);
        QVERIFY(live.dialogs.shown.empty());

        const QByteArray state = phone.state();
        QVERIFY2(state.contains("entry 5 \"+000001101011\" 145 \"Setup\" gsm"), state.constData());
        QVERIFY2(state.contains("entry 6 \"+000000001235\" 145 \"Casy\" gsm"), state.constData());

        const QByteArray log = phone.log();
        const double probe = phone.receivedAt("AT\r");
        // The phone is in IRA, which carries both names: no set is switched, and the SIM keeps them in
        // its own alphabet. Both entries go on one line, with the error codes put back as they were.
        const double writes =
            phone.receivedAt("AT+CPBW=5,\"+000001101011\",,\"Setup\";+CPBW=6,\"+000000001235\",,"
                             "\"Casy\";+CMEE=0\r");
        const double selection = phone.receivedAt("AT+CMEE?;+CMEE=1;+CPIN?;+CSCS=?;+CSCS?;+CPBS=\"SM\"\r");
        QVERIFY2(probe >= 0 && selection >= 0 && writes >= 0, log.constData());
        QVERIFY2(probe < selection && selection < writes, log.constData());
        qInfo("both positions written %.0f ms after the probe", writes - probe);
        // Each line goes once the phone has answered the last and the gap after it has passed, not when
        // an answer's 5 s wait runs out (the backup's read comes between, and Wine is slow).
        QVERIFY2(writes - selection >= 100 && writes - probe < 5000,
                 qPrintable(QString::number(writes - probe)));

        page.click("BitBtn1");
        QCOMPARE(page.optionsOn(), QString());
        QCOMPARE(page.lists(), QStringLiteral("0 0 0 0"));

        page.click("Button1");
        QTRY_VERIFY_WITH_TIMEOUT(phone.receivedAt("AT+CPBR=6\r") >= 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 5000);
        QVERIFY(live.dialogs.shown.empty());
        QCOMPARE(page.optionsOn(), QStringLiteral("1 4 8 12 14"));
        QCOMPARE(page.lists(), QStringLiteral("1 20 3 50"));
        QCOMPARE(page.form.staticText1(), std::string("+000001101011"));
        QCOMPARE(page.form.staticText2(), std::string("+000000001235"));
    }

    // Empty positions leave the page alone and are told, whether the phone answers them with OK or an
    // error.
    void readEmptySim_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("empty positions answered OK") << QStringList{};
        QTest::newRow("empty positions answered with an error") << QStringList{"--empty-error"};
    }
    void readEmptySim() {
        QFETCH(QStringList, options);
        LivePhone phone(options);
        LiveWindow live(phone);
        LivePage page(live);
        page.radio(10).setChecked(true);
        page.pick(3, 3);
        page.click("Button1");
        QTRY_VERIFY_WITH_TIMEOUT(phone.receivedAt("AT+CPBR=6\r") >= 0, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 5000);
        QCOMPARE(live.dialogs.texts(),
                 QStringList{QString::fromUtf8("POZOR - na SIM není uložena konfigurace (pozice 5, 6) !")});
        QCOMPARE(page.optionsOn(), QStringLiteral("10"));
        QCOMPARE(page.form.staticText1(), std::string("+000000010000"));
        QCOMPARE(page.form.staticText2(), std::string("+000000000030"));
    }

    // The backup's read of positions 5 and 6 fails on a phonebook that ends at 4: nothing is written,
    // and the box says so in the command line's words.
    void unreadableBackupWritesNothing() {
        LivePhone phone({"--phonebook-size", "4"});
        LiveWindow live(phone);
        LivePage page(live);
        page.click("BitBtn3");
        QTRY_VERIFY_WITH_TIMEOUT(page.idle() && live.dialogs.shown.size() == 2, 10000);
        QCOMPARE(live.dialogs.texts(),
                 (QStringList{
                     QString::fromUtf8("POZOR - telefon neodpověděl na čtení pozic: 5, 6 !\n+CME ERROR: 21"),
                     QString::fromUtf8("POZOR - zálohu nelze přečíst, do SIM se nic nezapsalo !")}));
        QTest::qWait(300); // nothing more comes
        QVERIFY2(!phone.log().contains("CPBW"), phone.log().constData());
        QVERIFY(live.window->backups().list().empty());
    }

    void phoneSwitchedOff() {
        LivePhone phone({"--off"});
        LiveWindow live(phone);
        LivePage page(live);
        page.click("BitBtn3");
        QTRY_VERIFY_WITH_TIMEOUT(!live.dialogs.shown.empty(), 5000);
        QCOMPARE(live.dialogs.texts(), QStringList{QString::fromUtf8("POZOR - telefon nekomunikuje !")});
        QVERIFY(page.idle());
        QVERIFY(!phone.state().contains("entry"));
    }
};

QTEST_MAIN(TestConfigLive)
#include "test_config_live.moc"
