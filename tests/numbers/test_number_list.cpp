// The phone-number rules without the page: which numbers pass the form check, and how a read reply
// is taken apart, including replies that do not have the layout.
#include "numbers/number_list.h"

#include <QtTest>

using number_list::StoredEntry;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(std::optional<StoredEntry>)

namespace QTest {
template <> char* toString(const std::string& text) {
    return toPrettyCString(text.data(), qsizetype(text.size()));
}
template <> char* toString(const std::optional<StoredEntry>& entry) {
    if (!entry)
        return qstrdup("no entry");
    const QByteArray text = "number \"" + QByteArray::fromStdString(entry->number) + "\", name \"" +
                            QByteArray::fromStdString(entry->name) + "\"";
    return toPrettyCString(text.constData(), text.size());
}
} // namespace QTest

namespace {

std::optional<StoredEntry> entry(const std::string& number, const std::string& name) {
    return StoredEntry{number, name};
}

// An answer laid out as a phone with command echo sends it.
std::string answer(int position, const std::string& lines) {
    return "AT+CPBR=" + std::to_string(position) + "\r\r\n" + lines;
}

} // namespace

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

    void storedEntry_data() {
        QTest::addColumn<std::string>("reply");
        QTest::addColumn<std::optional<StoredEntry>>("expected");
        QTest::newRow("entry") << answer(2, "+CPBR: 2,\"+420603123456\",145,\"Priklad\"\r\n\r\nOK\r\n")
                               << entry("+420603123456", "Priklad");
        QTest::newRow("entry with empty name")
            << answer(2, "+CPBR: 2,\"+420603123456\",145,\"\"\r\n\r\nOK\r\n") << entry("+420603123456", "");
        QTest::newRow("empty position") << answer(2, "OK\r\n") << std::optional<StoredEntry>();
        // Regression: cut at 13 characters, a short number took the closing quote and the type with it.
        QTest::newRow("short number")
            << answer(2, "+CPBR: 2,\"603123456\",129,\"Jan\"\r\n\r\nOK\r\n") << entry("603123456", "Jan");
        QTest::newRow("long number whole") << answer(2, "+CPBR: 2,\"+4206031234567\",145,\"Jan\"\r\nOK\r\n")
                                           << entry("+4206031234567", "Jan");
        // Regression: the name ran on into the CR LF and the final OK.
        QTest::newRow("name without closing quote")
            << answer(2, "+CPBR: 2,\"+420603123456\",145,\"Priklad\r\n\r\nOK\r\n")
            << entry("+420603123456", "Priklad");
        QTest::newRow("no name field")
            << answer(2, "+CPBR: 2,\"+420603123456\",145\r\nOK\r\n") << entry("+420603123456", "");
        QTest::newRow("number without closing quote")
            << answer(2, "+CPBR: 2,\"+4206031\r\nOK\r\n") << entry("+4206031", "");
        // Regression: the first half of a split answer gave a cut number, taken as the entry.
        QTest::newRow("line not yet ended")
            << answer(2, "+CPBR: 2,\"+4206031234") << std::optional<StoredEntry>();
        QTest::newRow("error reply") << answer(2, "+CME ERROR: 22\r\n") << std::optional<StoredEntry>();
        QTest::newRow("no answer yet") << std::string(" ") << std::optional<StoredEntry>();
        QTest::newRow("probe's answer left over")
            << std::string("AT\r\r\nOK\r\n") << std::optional<StoredEntry>();
        // Regression: a late answer to the previous read filled this position with the other entry.
        QTest::newRow("late answer for another position")
            << answer(1, "+CPBR: 1,\"+420603123456\",145,\"Priklad\"\r\n\r\nOK\r\n")
            << std::optional<StoredEntry>();
        QTest::newRow("without echo")
            << std::string("\r\n+CPBR: 2,\"+420603123456\",145,\"Priklad\"\r\n\r\nOK\r\n")
            << std::optional<StoredEntry>();
    }
    void storedEntry() {
        QFETCH(std::string, reply);
        QFETCH(std::optional<StoredEntry>, expected);
        QCOMPARE(number_list::storedEntry(reply, 2), expected);
    }

    // Every piece of a reply that a slow phone may leave in the buffer: nothing is read past its end
    // (the sanitizer build sees that), and what comes out is the whole entry or nothing.
    void cutReplies() {
        const std::string whole = answer(3, "+CPBR: 3,\"+420603123456\",145,\"Priklad\"\r\n\r\nOK\r\n");
        for (std::size_t length = 0; length <= whole.size(); ++length) {
            const std::string piece = whole.substr(0, length);
            // A copy of each piece, so that reading past its end leaves the allocation.
            const auto found = number_list::storedEntry(std::string_view(piece), 3);
            if (!found)
                continue;
            QVERIFY2(*found == *entry("+420603123456", "Priklad"), piece.c_str());
        }
        QCOMPARE(number_list::storedEntry(whole, 3), entry("+420603123456", "Priklad"));
    }
};

QTEST_GUILESS_MAIN(TestNumberList)
#include "test_number_list.moc"
