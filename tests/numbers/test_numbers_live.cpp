// The phone-number page in the whole main window, on a pseudo-terminal against the virtual phone:
// real timers, real pauses, real replies.
#include "numbers/Unit6.h"
#include "phone/shared_state.h"
#include "support/live_phone.h"
#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"
#include "widgets/VrStrEdit.h"

#include <QPushButton>
#include <QtTest>

namespace {

const QString kPhoneSilent = QString::fromUtf8("POZOR - telefon nekomunikuje !");

// The answer to the write or delete of position 4, the last command of a write, is in.
bool lastWriteAnswered(LiveWindow& live) {
    const std::string& reply = live.window->shared().ReplyBuffer;
    return reply.find("+CPBW=4") != std::string::npos && reply.ends_with("OK\r\n");
}

struct LivePage {
    explicit LivePage(LiveWindow& live) : form(live.window->numbersPage()) {}
    TForm6& form;

    template <typename T> T& get(const QString& name) {
        T* child = form.findChild<T*>(name);
        if (!child)
            qFatal("no control %s", qPrintable(name));
        return *child;
    }
    VrStrEdit& field(int n) { return get<VrStrEdit>(QStringLiteral("VrStrEdit%1").arg(n)); }
    void click(const char* name) {
        QTest::mouseClick(&get<QPushButton>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    QStringList fields() {
        QStringList texts;
        for (int n = 1; n <= 8; ++n)
            texts << field(n).text();
        return texts;
    }
    void type(const QStringList& texts) {
        for (int n = 1; n <= 8; ++n) {
            field(n).clear();
            QTest::keyClicks(&field(n), texts.at(n - 1));
        }
    }
    bool idle() {
        for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "Button1", "Button2"})
            if (!get<QPushButton>(QString::fromLatin1(name)).isEnabled())
                return false;
        return !get<QTimer>("Timer2").isActive() && get<VrLabel>("VrLabel1").text().isEmpty() &&
               get<TGauge>("Gauge1").isHidden();
    }
    // Writes take the probe tick and three 1500 ms pauses.
    void runToRest(const char* button) {
        click(button);
        QVERIFY(!idle());
        QTRY_VERIFY_WITH_TIMEOUT(idle(), 10000);
    }
};

} // namespace

class TestNumbersLive : public QObject {
    Q_OBJECT
private slots:
    void writeThenReadBack() {
        LivePhone phone;
        LiveWindow live(phone);
        LivePage page(live);
        const QStringList typed{"+420603123456", "Priklad",     "+420777888999", "Druhy",
                                "+421905000111", "Treti cislo", "+420602000444", ""};
        page.type(typed);
        page.runToRest("Button2");
        QVERIFY(live.dialogs.shown.empty());
        // The answers to the writes come in after the tick; a probe sent before they are all in would
        // find them in front of its own answer.
        QTRY_VERIFY_WITH_TIMEOUT(lastWriteAnswered(live), 5000);
        const QByteArray all = phone.state();
        QVERIFY2(all.contains("entry 1 \"+420603123456\" 145 \"Priklad\""), all.constData());
        QVERIFY2(all.contains("entry 3 \"+421905000111\" 145 \"Treti cislo\""), all.constData());
        QVERIFY2(all.contains("entry 4 \"+420602000444\" 145 \"\""), all.constData());

        // An empty number deletes its position, whatever its name field holds.
        page.field(3).clear(); // position 2
        page.runToRest("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(lastWriteAnswered(live), 5000);
        const QByteArray three = phone.state();
        QVERIFY2(three.contains("entry 1 ") && !three.contains("entry 2 ") && three.contains("entry 3 ") &&
                     three.contains("entry 4 "),
                 three.constData());

        page.click("BitBtn1");
        page.runToRest("Button1");
        QVERIFY(live.dialogs.shown.empty());
        QStringList expected = typed;
        expected[2] = expected[3] = QString();
        QCOMPARE(page.fields(), expected);
    }

    // Empty positions come back empty whether the phone answers them with OK or with an error.
    void readEmptyPositions_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("answered OK") << QStringList{};
        QTest::newRow("answered with an error") << QStringList{"--empty-error"};
    }
    void readEmptyPositions() {
        QFETCH(QStringList, options);
        LivePhone phone(options);
        phone.preloadState("entry 2 \"+420603123456\" 145 \"Priklad\"\n");
        LiveWindow live(phone);
        LivePage page(live);
        page.runToRest("Button1");
        QVERIFY(live.dialogs.shown.empty());
        QCOMPARE(page.fields(), (QStringList{"", "", "+420603123456", "Priklad", "", "", "", ""}));
    }

    void phoneSwitchedOff() {
        LivePhone phone({"--off"});
        LiveWindow live(phone);
        LivePage page(live);
        const QStringList before = page.fields();
        for (const char* button : {"Button1", "Button2"}) {
            live.dialogs.shown.clear();
            page.click(button);
            QTRY_VERIFY_WITH_TIMEOUT(!live.dialogs.shown.empty(), 5000);
            QCOMPARE(live.dialogs.texts(), QStringList{kPhoneSilent});
            QVERIFY(page.idle());
        }
        QCOMPARE(page.fields(), before);
        QVERIFY(!phone.state().contains("entry"));
    }
};

QTEST_MAIN(TestNumbersLive)
#include "test_numbers_live.moc"
