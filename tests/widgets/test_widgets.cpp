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
    VrScrollText line;
    line.setActive(false);
    line.resize(40, 20);
    line.setText(QStringLiteral("ab"));
    line.setStep(3);
    QSignalSpy wrapped(&line, &VrScrollText::wrapped);

    QCOMPARE(line.textLeft(), 40);
    line.advance();
    QCOMPARE(line.textLeft(), 37);

    const int textWidth = QFontMetrics(line.font()).horizontalAdvance(line.text());
    int steps = 1;
    while (wrapped.isEmpty() && steps < 1000) {
        // Until it wraps, the text's right end is still in the control.
        QVERIFY(line.textLeft() + textWidth > 0);
        line.advance();
        ++steps;
    }
    QCOMPARE(wrapped.size(), 1);
    QCOMPARE(steps, (40 + textWidth + 2) / 3);
    QCOMPARE(line.textLeft(), 40);
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
    QWidget window;
    auto* line = new VrScrollText(&window);
    line->setGeometry(0, 0, 200, 30);
    line->setText(QStringLiteral("Korvex"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(line->textLeft() < 200);

    window.hide();
    QVERIFY(!line->isScrolling());
    const int left = line->textLeft();
    QTest::qWait(40); // eight steps if it still ran
    QCOMPARE(line->textLeft(), left);

    window.show();
    QVERIFY(line->isScrolling());
    QTRY_VERIFY(line->textLeft() != left);
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
