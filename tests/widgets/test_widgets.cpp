// The scrolling line, the hyperlink label and the round button through their events.
#include "widgets/RoundButton.h"
#include "widgets/VrScrollText.h"
#include "widgets/VrWebLabel.h"

#include <QEnterEvent>
#include <QSignalSpy>
#include <QtTest>
#include <vector>

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    void scrollLineMovesLeftAndWraps();
    void scrollLineHoldsItsSpeedWhateverTheTicks_data();
    void scrollLineHoldsItsSpeedWhateverTheTicks();
    void scrollLineShowsItsLatestLook_data();
    void scrollLineShowsItsLatestLook();
    void scrollLineRunsOnlyWhenShownAndActive_data();
    void scrollLineRunsOnlyWhenShownAndActive();
    void scrollLineStopsWithItsWindow();
    void webLabelOpensOnLeftReleaseOverIt_data();
    void webLabelOpensOnLeftReleaseOverIt();
    void webLabelUnderlinesWhileHovered();
    void webLabelOpensByKeyboard_data();
    void webLabelOpensByKeyboard();
    void roundButtonTakesClicksInsideItsEllipseOnly_data();
    void roundButtonTakesClicksInsideItsEllipseOnly();
};

void TestWidgets::scrollLineMovesLeftAndWraps() {
    qint64 now = 0;
    VrScrollText line;
    line.setClock([&now] { return now; });
    line.setActive(false);
    line.resize(40, 20);
    line.setText(QStringLiteral("ab"));
    line.setStep(3);
    QSignalSpy wrapped(&line, &VrScrollText::wrapped);

    QCOMPARE(line.textLeft(), 40);
    now += line.interval();
    line.advance();
    QCOMPARE(line.textLeft(), 37);

    const int textWidth = QFontMetrics(line.font()).horizontalAdvance(line.text());
    const int lap = 40 + textWidth;
    int steps = 1;
    while (wrapped.isEmpty() && steps < 1000) {
        // Until it wraps, the text's right end is still in the control.
        QVERIFY(line.textLeft() + textWidth > 0);
        now += line.interval();
        line.advance();
        ++steps;
    }
    QCOMPARE(wrapped.size(), 1);
    QCOMPARE(steps, (lap + 2) / 3);
    // The step that went past the lap's end counts on the next lap.
    QCOMPARE(line.textLeft(), 40 - (steps * 3 - lap));
}

void TestWidgets::scrollLineHoldsItsSpeedWhateverTheTicks_data() {
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("step");
    QTest::addColumn<QList<int>>("tickGaps");
    QTest::addColumn<int>("pixelsPerSecond");
    QTest::newRow("5 ms step, ticked every frame at 60 Hz") << 5 << 1 << QList<int>(40, 17) << 200;
    QTest::newRow("5 ms step, ticks late and uneven")
        << 5 << 1 << QList<int>{3, 40, 1, 120, 16, 250, 7} << 200;
    QTest::newRow("3 pixels every 10 ms") << 10 << 3 << QList<int>(40, 17) << 300;
    QTest::newRow("a tick a second, through a wrap") << 5 << 1 << QList<int>(4, 1000) << 200;
    QTest::newRow("a stall of several laps") << 5 << 1 << QList<int>{17, 9000, 17} << 200;
}

// The place follows the time passed, so neither the paint rate nor a busy moment changes the speed.
void TestWidgets::scrollLineHoldsItsSpeedWhateverTheTicks() {
    QFETCH(int, interval);
    QFETCH(int, step);
    QFETCH(QList<int>, tickGaps);
    QFETCH(int, pixelsPerSecond);
    qint64 now = 1000;
    VrScrollText line;
    line.setActive(false);
    line.resize(400, 30);
    line.setText(QStringLiteral("Korvex © 2005"));
    line.setClock([&now] { return now; });
    line.setInterval(interval);
    line.setStep(step);
    QSignalSpy wrapped(&line, &VrScrollText::wrapped);
    const qint64 lap = 400 + QFontMetrics(line.font()).horizontalAdvance(line.text());

    qint64 elapsed = 0;
    int lapsCrossed = 0;
    for (int gap : tickGaps) {
        now += gap;
        elapsed += gap;
        line.advance();
        const qint64 travelled = elapsed * pixelsPerSecond / 1000;
        QCOMPARE(line.textLeft(), 400 - int(travelled % lap));
        lapsCrossed += travelled / lap > (elapsed - gap) * pixelsPerSecond / 1000 / lap ? 1 : 0;
    }
    QCOMPARE(wrapped.size(), lapsCrossed);
}

namespace {

// Sets only what differs, so that each change is seen on its own.
void setLook(VrScrollText& line, const QString& text, int pixelSize, const QColor& colour) {
    if (line.font().pixelSize() != pixelSize) {
        QFont font = line.font();
        font.setPixelSize(pixelSize);
        line.setFont(font);
    }
    if (line.palette().color(QPalette::WindowText) != colour) {
        QPalette palette = line.palette();
        palette.setColor(QPalette::WindowText, colour);
        line.setPalette(palette);
    }
    if (line.text() != text)
        line.setText(text);
}

// A line of 300 × 30 that has run for a second of the given clock.
void runLine(VrScrollText& line, qint64& now) {
    line.setActive(false);
    line.resize(300, 30);
    line.setClock([&now] { return now; });
    now += 1000;
    line.advance();
}

} // namespace

void TestWidgets::scrollLineShowsItsLatestLook_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("new text") << QStringLiteral("Nový text") << 19 << QColor(Qt::black);
    QTest::newRow("new font size") << QStringLiteral("Korvex © 2005") << 12 << QColor(Qt::black);
    QTest::newRow("new colour") << QStringLiteral("Korvex © 2005") << 19 << QColor(Qt::red);
}

// The text is drawn once and then only copied: a line that changed paints as one made that way.
void TestWidgets::scrollLineShowsItsLatestLook() {
    QFETCH(QString, text);
    QFETCH(int, pixelSize);
    QFETCH(QColor, colour);
    qint64 changedNow = 0;
    qint64 madeNow = 0;
    VrScrollText changed;
    setLook(changed, QStringLiteral("Korvex © 2005"), 19, Qt::black);
    runLine(changed, changedNow);
    const QImage before = changed.grab().toImage();
    setLook(changed, text, pixelSize, colour);
    VrScrollText madeSo;
    setLook(madeSo, text, pixelSize, colour);
    runLine(madeSo, madeNow);

    const QImage after = changed.grab().toImage();
    QVERIFY(after != before);
    QCOMPARE(after, madeSo.grab().toImage());
}

void TestWidgets::scrollLineRunsOnlyWhenShownAndActive_data() {
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("active");
    QTest::newRow("shown and active") << true << true;
    QTest::newRow("shown but switched off") << true << false;
    QTest::newRow("hidden though switched on") << false << true;
}

void TestWidgets::scrollLineRunsOnlyWhenShownAndActive() {
    QFETCH(bool, shown);
    QFETCH(bool, active);
    VrScrollText line;
    line.resize(200, 30);
    line.setText(QStringLiteral("Korvex"));
    if (shown) {
        line.show();
        QVERIFY(QTest::qWaitForWindowExposed(&line));
    }
    line.setActive(active);
    QCOMPARE(line.isScrolling(), shown && active);
    if (shown && active)
        QTRY_VERIFY(line.textLeft() < 200);
}

void TestWidgets::scrollLineStopsWithItsWindow() {
    qint64 now = 0;
    QWidget window;
    auto* line = new VrScrollText(&window);
    line->setClock([&now] { return now; });
    line->setGeometry(0, 0, 200, 30);
    line->setText(QStringLiteral("Korvex"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    now += 50;
    QTRY_COMPARE(line->textLeft(), 190);

    window.hide();
    QVERIFY(!line->isScrolling());
    now += 60000;     // a minute hidden
    QTest::qWait(40); // two frames if it still ran
    QCOMPARE(line->textLeft(), 190);

    window.show();
    QVERIFY(line->isScrolling());
    // On from where it stopped: the hidden minute is not run through.
    now += 50;
    QTRY_COMPARE(line->textLeft(), 180);
}

void TestWidgets::webLabelOpensOnLeftReleaseOverIt_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("where");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("opens");
    const QString address = QStringLiteral("https://www.korvex.example");
    QTest::newRow("left button over the link") << Qt::LeftButton << QPoint(10, 5) << address << true;
    QTest::newRow("right button") << Qt::RightButton << QPoint(10, 5) << address << false;
    QTest::newRow("released after dragging off") << Qt::LeftButton << QPoint(150, 5) << address << false;
    QTest::newRow("no address set") << Qt::LeftButton << QPoint(10, 5) << QString() << false;
}

void TestWidgets::webLabelOpensOnLeftReleaseOverIt() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(QPoint, where);
    QFETCH(QString, address);
    QFETCH(bool, opens);
    VrWebLabel label;
    label.resize(100, 20);
    label.setUrl(QUrl(address));
    std::vector<QUrl> opened;
    // A failing opener: the label must carry on as if nothing happened.
    label.setOpener([&](const QUrl& url) {
        opened.push_back(url);
        return false;
    });

    QTest::mousePress(&label, button, {}, QPoint(10, 5));
    QTest::mouseRelease(&label, button, {}, where);

    if (opens) {
        QCOMPARE(opened.size(), std::size_t(1));
        QCOMPARE(opened.front(), QUrl(address));
    } else {
        QVERIFY(opened.empty());
    }
}

void TestWidgets::webLabelUnderlinesWhileHovered() {
    VrWebLabel label;
    label.resize(100, 20);
    QVERIFY(!label.font().underline());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&label, &enter);
    QVERIFY(label.font().underline());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&label, &leave);
    QVERIFY(!label.font().underline());
}

void TestWidgets::webLabelOpensByKeyboard_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("opens");
    QTest::newRow("Return") << int(Qt::Key_Return) << true;
    QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter) << true;
    QTest::newRow("Space") << int(Qt::Key_Space) << true;
    QTest::newRow("a letter") << int(Qt::Key_A) << false;
}

// Reached by Tab and underlined while it has the focus, as a keyboard user's only sign of it.
void TestWidgets::webLabelOpensByKeyboard() {
    QFETCH(int, key);
    QFETCH(bool, opens);
    VrWebLabel label;
    label.setUrl(QUrl(QStringLiteral("https://www.korvex.example")));
    int opened = 0;
    label.setOpener([&](const QUrl&) {
        ++opened;
        return true;
    });
    QCOMPARE(label.focusPolicy(), Qt::StrongFocus);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&label, &focusIn);
    QVERIFY(label.font().underline());

    QTest::keyClick(&label, Qt::Key(key));
    QCOMPARE(opened, opens ? 1 : 0);
}

void TestWidgets::roundButtonTakesClicksInsideItsEllipseOnly_data() {
    QTest::addColumn<QPoint>("where");
    QTest::addColumn<bool>("clicks");
    QTest::newRow("centre") << QPoint(46, 28) << true;
    QTest::newRow("near the left end") << QPoint(2, 28) << true;
    QTest::newRow("near the top") << QPoint(46, 2) << true;
    QTest::newRow("top-left corner") << QPoint(3, 3) << false;
    QTest::newRow("bottom-right corner") << QPoint(89, 54) << false;
}

void TestWidgets::roundButtonTakesClicksInsideItsEllipseOnly() {
    QFETCH(QPoint, where);
    QFETCH(bool, clicks);
    RoundButton button(QStringLiteral("OK"));
    button.resize(92, 57);
    QSignalSpy clicked(&button, &QPushButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, where);
    QCOMPARE(clicked.size(), clicks ? 1 : 0);
}

QTEST_MAIN(TestWidgets)
#include "test_widgets.moc"
