// The Windows build where no smart-card service answers, as under Wine 8 (its winscard is a stub):
// listing and opening fail with a fault and a Czech sentence, and nothing crashes.
#include "platform/smart_card.h"

#include <QtTest>

class SmartCardListingTest : public QObject {
    Q_OBJECT
private slots:
    void listingWithoutAServiceIsEmptyAndSaysWhy() {
        const platform::ReaderList list = platform::listSmartCardReaders();
        QVERIFY(list.names.empty());
        QVERIFY(list.error.fault != platform::SmartCardFault::None);
        QVERIFY(list.error.code != 0);
        const QString text = QString::fromStdString(platform::smartCardFaultText(list.error, {}));
        QVERIFY2(text.contains(QRegularExpression("^[A-ZČ].*[ěíáčýůúřšž].*\\.$")), qPrintable(text));
    }

    void openingWithoutAServiceSaysWhy() {
        platform::SmartCardError error;
        QVERIFY(!platform::SmartCardSession::open("Virtual PCD 00 00", error));
        QVERIFY(error.fault != platform::SmartCardFault::None);
        QVERIFY(!platform::smartCardFaultText(error, "Virtual PCD 00 00").empty());
    }
};

QTEST_GUILESS_MAIN(SmartCardListingTest)
#include "test_smart_card_listing.moc"
