// The About and help windows as the main window uses them: one instance each, shown centred and
// without being modal, hidden rather than destroyed on closing.
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "widgets/RoundButton.h"
#include "widgets/VrScrollText.h"
#include "widgets/VrWebLabel.h"

#include <functional>
#include <memory>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

namespace {

std::unique_ptr<SecondaryWindow> makeWindow(const QString& which) {
    if (which == QLatin1String("about"))
        return std::make_unique<TForm2>();
    return std::make_unique<TForm3>();
}

// Within a few pixels: the frame's size is known only once the window has been shown.
bool centredOnDesktop(const QWidget& window) {
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    return (window.frameGeometry().center() - centre).manhattanLength() <= 8;
}

// The paints a widget gets.
class PaintCount : public QObject {
public:
    explicit PaintCount(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestAboutHelp : public QObject {
    Q_OBJECT
private slots:
    void windowsAreReusedAndComeForward_data();
    void windowsAreReusedAndComeForward();
    void closingOnlyHides_data();
    void closingOnlyHides();
    void creditLineRunsOnlyWhileAboutIsShown();
    void creditLinePaintsAtMostOnceAFrameAtItsSpeed();
    void webLinkOpensTheMakersAddress();
    void aboutShowsTheDecodedLogo();
    void helpTextKeepsTheRulesAndStaysEditable();
};

void TestAboutHelp::windowsAreReusedAndComeForward_data() {
    QTest::addColumn<QString>("which");
    QTest::newRow("about") << QStringLiteral("about");
    QTest::newRow("help") << QStringLiteral("help");
}

void TestAboutHelp::windowsAreReusedAndComeForward() {
    QFETCH(QString, which);
    const auto window = makeWindow(which);
    QWidget other;
    QVERIFY(!window->isVisible());

    window->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(!window->isModal());
    QVERIFY(centredOnDesktop(*window));

    // Moved by the user and covered by another window: asked again, it keeps its place.
    window->move(5, 5);
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    window->showCentred();
    QCOMPARE(window->pos(), QPoint(5, 5));
    QTRY_VERIFY(window->isActiveWindow());

    // Reopened after closing: the same window, centred again.
    window->close();
    window->showCentred();
    QVERIFY(window->isVisible());
    QVERIFY(centredOnDesktop(*window));
}

void TestAboutHelp::closingOnlyHides_data() {
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("button"); // empty: the title bar's close box
    QTest::newRow("about, OK button") << QStringLiteral("about") << QStringLiteral("RoundButton1");
    QTest::newRow("about, close box") << QStringLiteral("about") << QString();
    QTest::newRow("help, Zavrit button") << QStringLiteral("help") << QStringLiteral("Button1");
    QTest::newRow("help, close box") << QStringLiteral("help") << QString();
}

void TestAboutHelp::closingOnlyHides() {
    QFETCH(QString, which);
    QFETCH(QString, button);
    const auto window = makeWindow(which);
    QPointer<QWidget> guard(window.get());
    window->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    if (button.isEmpty()) {
        QVERIFY(window->close());
    } else {
        auto* pushButton = window->findChild<QPushButton*>(button);
        QVERIFY(pushButton);
        QCOMPARE(pushButton->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(pushButton, Qt::LeftButton, {}, pushButton->rect().center());
    }
    QVERIFY(!window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard);
}

void TestAboutHelp::creditLineRunsOnlyWhileAboutIsShown() {
    TForm2 about;
    auto* line = about.findChild<VrScrollText*>(QStringLiteral("VrScrollText1"));
    QVERIFY(line);
    QVERIFY(line->text().contains(QStringLiteral("Korvex")));
    QVERIFY(line->text().contains(QStringLiteral("2005")));
    // Created hidden at start: nothing runs until the window is opened.
    QVERIFY(!line->isScrolling());

    about.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QVERIFY(line->isScrolling());
    const int start = line->textLeft();
    QTRY_VERIFY(line->textLeft() < start);

    about.close();
    QVERIFY(!line->isScrolling());
    about.showCentred();
    QVERIFY(line->isScrolling());
}

void TestAboutHelp::creditLinePaintsAtMostOnceAFrameAtItsSpeed() {
    qint64 now = 0;
    QElapsedTimer real;
    qint64 ahead = 0;
    TForm2 about;
    auto* line = about.findChild<VrScrollText*>(QStringLiteral("VrScrollText1"));
    auto* button = about.findChild<QWidget*>(QStringLiteral("RoundButton1"));
    const int lap = line->width() + QFontMetrics(line->font()).horizontalAdvance(line->text());
    about.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&about));

    // As fast as its steps of one pixel every 5 ms have always run: 200 pixels a second.
    line->setClock([&now] { return now; });
    const int left = line->textLeft();
    now += 1000;
    line->advance();
    QCOMPARE((left - line->textLeft() + lap) % lap, 200);

    // Real time, moved on so that the text runs over the button during the span.
    const int buttonRight = line->mapFrom(&about, button->mapTo(&about, button->rect().topRight())).x();
    real.start();
    line->setClock([&] { return real.elapsed() + ahead; });
    ahead = qint64((line->textLeft() - buttonRight + lap) % lap) * line->interval() / line->step();
    PaintCount count(*line);
    PaintCount buttonCount(*button);
    // The event loop alone, as the tool runs: QTest::qWait would serve timers only every 10 ms.
    QEventLoop loop;
    QTimer::singleShot(300, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    const qint64 start = real.elapsed();
    loop.exec();
    QVERIFY(line->textLeft() < buttonRight);
    // A screen shows no more than its frames; two more for the span's ends, which fall between frames,
    // and for a paint of the window's own.
    const qreal frames = qreal(real.elapsed() - start) * line->screen()->refreshRate() / 1000;
    QVERIFY2(count.paints >= 1 && count.paints <= frames + 2,
             qPrintable(QStringLiteral("%1 paints in %2 frames").arg(count.paints).arg(frames)));
    // The button overlaps the line's lowest pixel row, below the text: it is not repainted with it.
    QCOMPARE(buttonCount.paints, 0);
}

void TestAboutHelp::webLinkOpensTheMakersAddress() {
    TForm2 about;
    auto* link = about.findChild<VrWebLabel*>(QStringLiteral("VrWebLabel1"));
    QVERIFY(link);
    QList<QUrl> opened;
    link->setOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    about.showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(&about));

    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("https://www.korvex.example"))});
    QCOMPARE(link->text(), QStringLiteral("www.korvex.example"));
    QVERIFY(about.isVisible());
}

void TestAboutHelp::aboutShowsTheDecodedLogo() {
    TForm2 about;
    auto* image = about.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image);
    const QPixmap logo = image->pixmap();
    QCOMPARE(logo.size(), QSize(100, 120));
    QCOMPARE(image->alignment(), Qt::AlignCenter);
}

void TestAboutHelp::helpTextKeepsTheRulesAndStaysEditable() {
    TForm3 help;
    auto* memo = help.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    QVERIFY(memo);
    const QString text = memo->toPlainText();
    QCOMPARE(text.split(QLatin1Char('\n')).size(), 38);
    // The three topics in their order: purpose, the two ways of working, the rules.
    const qsizetype cable = text.indexOf(QStringLiteral("S propojovacím kabelem"));
    const qsizetype noCable = text.indexOf(QStringLiteral("Bez propojovacího kabelu"));
    const qsizetype rule = text.indexOf(QStringLiteral("políčka musí být prázdná, mezera je také znak"));
    QVERIFY(text.startsWith(QStringLiteral("Pomůcka")));
    QVERIFY(cable > 0 && cable < noCable && noCable < rule);
    QVERIFY(!memo->isReadOnly());
}

QTEST_MAIN(TestAboutHelp)
#include "test_about_help.moc"
