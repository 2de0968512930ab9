// The phone-number page in the whole main window, on a pseudo-terminal against the virtual phone:
// real timers, real pauses, real replies.
#include "backup/backup_texts.h"
#include "numbers/Unit6.h"
#include "phone/shared_state.h"
#include "support/file_size_limit.h"
#include "support/live_phone.h"
#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"
#include "widgets/VrStrEdit.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QtTest>

namespace {

const QString kPhoneSilent = QString::fromUtf8("POZOR - telefon nekomunikuje !");

// The answer to the write or delete of position 4, the last command of a write, is in.
bool lastWriteAnswered(LiveWindow& live) {
    const std::string& reply = live.window->shared().ReplyBuffer;
    return reply.find("+CPBW=4") != std::string::npos && reply.ends_with("OK\r\n");
}

// Someone else's numbers: positions 1, 2 and 4.
const QByteArray kOtherSim = "entry 1 \"+420111111111\" 145 \"Stary\"\n"
                             "entry 2 \"+420222222222\" 145 \"Soused\"\n"
                             "entry 4 \"+420444444444\" 145 \"\"\n";
const QStringList kTyped{
    "+420603123456", "Priklad", "+420777888999", "Druhy", "+421905000111", "Treti", "", ""};

// Positions 1 to 4 of the phone's state file as a ".num" file holds them: number and name a line each.
QByteArray asNumFile(const QByteArray& state) {
    QByteArray lines[8];
    static const QRegularExpression entry("^entry ([1-4]) \"([^\"]*)\" \\d+ \"([^\"]*)\"",
                                          QRegularExpression::MultilineOption);
    for (auto match = entry.globalMatch(QString::fromLatin1(state)); match.hasNext();) {
        const auto found = match.next();
        const int position = found.captured(1).toInt();
        lines[2 * position - 2] = found.captured(2).toLatin1();
        lines[2 * position - 1] = found.captured(3).toLatin1();
    }
    QByteArray file;
    for (const QByteArray& line : lines)
        file += line + "\r\n";
    return file;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A ".num" file with the page's texts.
QByteArray asNumFile(const QStringList& texts) {
    return (texts.join("\r\n") + "\r\n").toLatin1();
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

    // As a person finds it: the numbers page written over a SIM holding someone else's numbers keeps
    // them; the menu gives them back to the page, and written again the SIM holds them again.
    void writeOverAnotherSimKeepsItAndGivesItBack() {
        LivePhone phone;
        phone.preloadState(kOtherSim);
        const QByteArray held = asNumFile(phone.state());
        LiveWindow live(phone);
        LivePage page(live);
        page.type(kTyped);
        page.runToRest("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(lastWriteAnswered(live), 5000);
        QVERIFY2(live.dialogs.shown.empty(), qPrintable(live.dialogs.texts().join(" | ")));
        QCOMPARE(asNumFile(phone.state()), asNumFile(kTyped));
        const QStringList backups = live.backupPaths();
        QCOMPARE(backups.size(), 1);
        QVERIFY2(QRegularExpression("/zalohy/sim-\\d{8}-\\d{6}\\.num$").match(backups[0]).hasMatch(),
                 qPrintable(backups[0]));
        QCOMPARE(contentOf(backups[0]), held);

        const QList<QAction*> menu = live.backupMenu();
        QCOMPARE(menu.size(), 3); // the backup, a separator, the folder
        QVERIFY2(
            menu[0]->text().endsWith(QString::fromUtf8(" – Telefonní čísla – +420111111111, +420222222222")),
            qPrintable(menu[0]->text()));
        QCOMPARE(menu[2]->objectName(), QStringLiteral("SlozkaZaloh1"));
        live.window->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(0);
        menu[0]->trigger();
        QCOMPARE(live.window->findChild<QTabWidget*>("PageControl1")->currentIndex(), 1);
        QCOMPARE(asNumFile(page.fields()), held);

        page.runToRest("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(lastWriteAnswered(live), 5000);
        QVERIFY(live.dialogs.shown.empty());
        QCOMPARE(asNumFile(phone.state()), held);
        // What the first write put there is kept in its turn.
        QCOMPARE(live.backupPaths().size(), 2);
        QCOMPARE(contentOf(live.backupPaths().front()), asNumFile(kTyped));
    }

    // A SIM with nothing on it has nothing to lose, and the same SIM twice in a row is kept once.
    void backupOnlyOfWhatWouldBeLost_data() {
        QTest::addColumn<QByteArray>("sim");
        QTest::addColumn<int>("writes");
        QTest::addColumn<int>("backups");
        QTest::newRow("empty SIM") << QByteArray() << 1 << 0;
        QTest::newRow("the same SIM twice") << kOtherSim << 2 << 1;
    }
    void backupOnlyOfWhatWouldBeLost() {
        QFETCH(QByteArray, sim);
        QFETCH(int, writes);
        LivePhone phone;
        phone.preloadState(sim);
        LiveWindow live(phone);
        LivePage page(live);
        if (!sim.isEmpty()) {
            page.runToRest("Button1"); // the page holds what the SIM holds
            QCOMPARE(asNumFile(page.fields()), asNumFile(phone.state()));
        }
        for (int write = 0; write < writes; ++write) {
            page.runToRest("Button2");
            QTRY_VERIFY_WITH_TIMEOUT(lastWriteAnswered(live), 5000);
        }
        QVERIFY(live.dialogs.shown.empty());
        QTEST(int(live.backupPaths().size()), "backups");
        const QList<QAction*> menu = live.backupMenu();
        if (live.backupPaths().isEmpty())
            QCOMPARE(menu.front()->text(), QString::fromUtf8("Žádné zálohy"));
    }

    // The folder keeps the newest 200 backups: the oldest goes, and only once a new one was saved.
    // Files of other names are the user's own.
    void oldestBackupGoesOnceANewOneIsSaved_data() {
        QTest::addColumn<QByteArray>("sim");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("oldestKept");
        QTest::newRow("the 201st saved") << kOtherSim << 200 << 200 << false;
        QTest::newRow("nothing new to save") << QByteArray() << 201 << 201 << true;
    }
    void oldestBackupGoesOnceANewOneIsSaved() {
        QFETCH(QByteArray, sim);
        QFETCH(int, before);
        LivePhone phone;
        phone.preloadState(sim);
        LiveWindow live(phone);
        LivePage page(live);
        QDir folder = live.backupFolder();
        QVERIFY(folder.mkpath("."));
        const QDateTime first(QDate(2026, 1, 1), QTime(8, 0));
        const auto name = [&](int n) {
            return QStringLiteral("sim-%1.par").arg(first.addSecs(n).toString("yyyyMMdd-HHmmss"));
        };
        for (int n = 0; n < before; ++n) {
            QFile old(folder.filePath(name(n)));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("+000000000001\r\n+000000000010\r\n");
        }
        QFile own(folder.filePath("kopie.txt"));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.close();
        page.runToRest("Button2");
        QTRY_VERIFY_WITH_TIMEOUT(lastWriteAnswered(live), 5000);
        QVERIFY(live.dialogs.shown.empty());
        QTEST(int(live.backupPaths().size()), "after");
        QTEST(folder.exists(name(0)), "oldestKept");
        QVERIFY(folder.exists(name(1)) && own.exists());
        QCOMPARE(live.backupPaths().front().endsWith(".num"), !sim.isEmpty());
    }

    // A backup that cannot be saved stops the write: the box says why, and the SIM keeps its numbers.
    void unsavedBackupWritesNothing_data() {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("folder cannot be made") << false;
#ifndef Q_OS_WIN // Windows has no file-size limit per process
        QTest::newRow("disk full") << true;
#endif
    }
    void unsavedBackupWritesNothing() {
        QFETCH(bool, diskFull);
        LivePhone phone;
        phone.preloadState(kOtherSim);
        const QByteArray held = phone.state();
        LiveWindow live(phone);
        LivePage page(live);
        if (!diskFull) {
            // As a settings directory the user cannot write: even root cannot make this folder.
            QFile blocking(live.backupFolder().path());
            QVERIFY(blocking.open(QIODevice::WriteOnly));
        }
        page.type(kTyped);
#ifndef Q_OS_WIN
        std::optional<FileSizeLimit> full;
        if (diskFull)
            full.emplace(10);
#endif
        page.runToRest("Button2");
#ifndef Q_OS_WIN
        full.reset();
#endif
        const QString unsaved = QString::fromUtf8(backup_texts::kUnsaved).arg(live.backupFolder().path());
        QCOMPARE(live.dialogs.shown.size(), std::size_t(1));
        QVERIFY2(live.dialogs.texts().front().startsWith(unsaved + '\n'),
                 qPrintable(live.dialogs.texts().front()));
        QTest::qWait(300); // nothing more comes
        QVERIFY(!phone.log().contains("CPBW"));
        QCOMPARE(phone.state(), held);
        QCOMPARE(page.fields(), kTyped);
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
