// The phone-number rules without the page: which numbers pass the form check.
#include "numbers/number_list.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::string)

namespace QTest {
template <> char* toString(const std::string& text) {
    return toPrettyCString(text.data(), qsizetype(text.size()));
}
} // namespace QTest

class TestNumberList : public QObject {
    Q_OBJECT
private slots:
    void numberForm_data() {
        QTest::addColumn<std::string>("number");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("empty: position unused") << std::string() << true;
        QTest::newRow("international, 13") << std::string("+420603123456") << true;
        QTest::newRow("without plus, 12") << std::string("420603123456") << false;
        QTest::newRow("00 instead of plus, 14") << std::string("00420603123456") << false;
        QTest::newRow("13 with a leading digit") << std::string("4420603123456") << false;
        QTest::newRow("plus and 13 more, 14") << std::string("+4206031234567") << false;
        QTest::newRow("single space") << std::string(" ") << false;
        QTest::newRow("letter for the last digit") << std::string("+42060312345A") << true;
    }
    void numberForm() {
        QFETCH(std::string, number);
        QFETCH(bool, acceptable);
        QCOMPARE(number_list::isAcceptableNumber(number), acceptable);
        // One bad number anywhere fails the whole list.
        for (std::size_t at = 0; at < 4; ++at) {
            std::array<std::string, 4> numbers{"+420603123456", "", "+420777000111", ""};
            numbers[at] = number;
            QCOMPARE(number_list::allNumbersAcceptable(numbers), acceptable);
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberList)
#include "test_number_list.moc"
