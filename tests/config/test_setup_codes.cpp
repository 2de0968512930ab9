// The rules of the two SIM configuration codes, without widgets.
#include "config/setup_codes.h"

#include <QtTest>

using namespace setup_codes;

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(setup_codes::OptionChars)

namespace {

OptionChars optionsOn(std::initializer_list<Option> on) {
    OptionChars options;
    options.fill('0');
    for (const Option option : on)
        options[std::size_t(option)] = '1';
    return options;
}

// "13:1 12:1" style trace of what a decode applied, in the order it applied it.
QString setupTrace(const std::string& code) {
    QStringList trace;
    decodeSetupCode(code, [&](Option option) { trace << QString::number(setupCodePosition(option)); });
    return trace.join(' ');
}

} // namespace

class TestSetupCodes : public QObject {
    Q_OBJECT
private slots:
    void setupCodeEncoding_data() {
        QTest::addColumn<OptionChars>("options");
        QTest::addColumn<std::string>("code");
        QTest::newRow("all off") << optionsOn({}) << std::string("+000000000000");
        QTest::newRow("authentication")
            << optionsOn({Option::Authentication}) << std::string("+000000000001");
        QTest::newRow("relay 2 pulse") << optionsOn({Option::Relay2Pulse}) << std::string("+000000000010");
        QTest::newRow("repeat call") << optionsOn({Option::RepeatCall}) << std::string("+000000000100");
        QTest::newRow("alarm SMS") << optionsOn({Option::AlarmSms}) << std::string("+000000001000");
        QTest::newRow("credit keeping") << optionsOn({Option::CreditKeeping}) << std::string("+000000010000");
        QTest::newRow("two control numbers")
            << optionsOn({Option::TwoControlNumbers}) << std::string("+000000100000");
        QTest::newRow("optocoupler testing")
            << optionsOn({Option::OptocouplerTest}) << std::string("+000001000000");
        QTest::newRow("all on") << optionsOn({Option::Authentication, Option::Relay2Pulse, Option::RepeatCall,
                                              Option::AlarmSms, Option::CreditKeeping,
                                              Option::TwoControlNumbers, Option::OptocouplerTest})
                                << std::string("+000001111111");
    }
    void setupCodeEncoding() {
        QFETCH(OptionChars, options);
        QFETCH(std::string, code);
        QCOMPARE(encodeSetupCode(options), code);
        // Decoding gives back exactly the options that are on.
        OptionChars decoded;
        decoded.fill('0');
        decodeSetupCode(code, [&](Option option) { decoded[std::size_t(option)] = '1'; });
        QVERIFY(decoded == options);
    }

    void casyCodeEncoding() {
        // 2 min + 30 s until deactivation, 5 min + 0 s after activation.
        const TimeDigits digits = {'2', tenSecondDigit("30"), '5', tenSecondDigit("0")};
        QCOMPARE(encodeCasyCode(digits), std::string("+000000002350"));
        QCOMPARE(tenSecondDigit("90"), '9');
        QCOMPARE(tenSecondDigit("10"), '1');
    }

    // The decode only switches on, examines 13 down to 7, and never looks at 1 to 6.
    void setupCodeDecode_data() {
        QTest::addColumn<std::string>("code");
        QTest::addColumn<QString>("positionsSwitchedOn");
        QTest::newRow("authentication only") << std::string("+000000000001") << "13";
        QTest::newRow("positions 2 to 6 ignored") << std::string("+123450000001") << "13";
        QTest::newRow("no 1 anywhere") << std::string("+000002000000") << "";
        QTest::newRow("all on, from 13 down") << std::string("+000001111111") << "13 12 11 10 9 8 7";
        QTest::newRow("only the character 1 counts") << std::string("+00000A2 #x9y") << "";
        QTest::newRow("short text, 7 and 8 present") << std::string("+0000011") << "8 7";
        QTest::newRow("short text, no position 7") << std::string("+11111") << "";
        QTest::newRow("empty") << std::string() << "";
        QTest::newRow("longer than 13, rest ignored") << std::string("+0000000000011111") << "13";
    }
    void setupCodeDecode() {
        QFETCH(std::string, code);
        QFETCH(QString, positionsSwitchedOn);
        QCOMPARE(setupTrace(code), positionsSwitchedOn);
    }

    // What was applied before a conversion error stays applied; nothing after it is.
    void casyCodeDecode_data() {
        QTest::addColumn<std::string>("code");
        QTest::addColumn<QString>("applied");
        QTest::addColumn<QString>("error");
        QTest::newRow("times") << std::string("+000000002350") << "13=0 12=5 11=3 10=2"
                               << "";
        QTest::newRow("positions 1 to 9 ignored") << std::string("+999999990000") << "13=0 12=0 11=0 10=0"
                                                  << "";
        QTest::newRow("letter at 11") << std::string("+000000001A50") << "13=0 12=5"
                                      << "'A' is not a valid integer value";
        QTest::newRow("letter at 13") << std::string("+00000000123x") << ""
                                      << "'x' is not a valid integer value";
        QTest::newRow("sign alone at 10") << std::string("+00000000-123") << "13=3 12=2 11=1"
                                          << "'-' is not a valid integer value";
        QTest::newRow("blank at 12") << std::string("+0000000012 4") << "13=4"
                                     << "' ' is not a valid integer value";
        QTest::newRow("Windows-1250 letter in UTF-8 message")
            << std::string("+00000000\xE8"
                           "123")
            << "13=3 12=2 11=1" << QString::fromUtf8("'č' is not a valid integer value");
        // Regression (found by fuzzing): a NUL ended the exception text at the quote, so the error
        // box showed only "'".
        QTest::newRow("NUL byte at 13") << std::string("+00000000123\0", 13) << ""
                                        << "'?' is not a valid integer value";
        QTest::newRow("short text misses 13") << std::string("+00000000123") << ""
                                              << "'' is not a valid integer value";
        QTest::newRow("empty text") << std::string() << ""
                                    << "'' is not a valid integer value";
    }
    void casyCodeDecode() {
        QFETCH(std::string, code);
        QFETCH(QString, applied);
        QFETCH(QString, error);
        QStringList trace;
        QString thrown;
        try {
            decodeCasyCode(code, [&](TimeDigit digit, int value, char character) {
                QCOMPARE(character, char('0' + value));
                trace << QStringLiteral("%1=%2").arg(casyCodePosition(digit)).arg(value);
            });
        } catch (const EConvertError& e) {
            thrown = QString::fromUtf8(e.what());
        }
        QCOMPARE(trace.join(' '), applied);
        QCOMPARE(thrown, error);
    }

    void integerConversion_data() {
        QTest::addColumn<std::string>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("digit") << std::string("7") << true << 7;
        QTest::newRow("list item") << std::string("90") << true << 90;
        QTest::newRow("signed") << std::string("-12") << true << -12;
        QTest::newRow("plus") << std::string("+3") << true << 3;
        QTest::newRow("largest") << std::string("2147483647") << true << 2147483647;
        QTest::newRow("empty") << std::string() << false << 0;
        QTest::newRow("leading blank") << std::string(" 1") << false << 0;
        QTest::newRow("trailing letter") << std::string("1a") << false << 0;
        QTest::newRow("too large") << std::string("2147483648") << false << 0;
        QTest::newRow("far too large") << std::string("99999999999999999999999") << false << 0;
    }
    void integerConversion() {
        QFETCH(std::string, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        if (valid) {
            QCOMPARE(strToInt(text), value);
        } else {
            QVERIFY_THROWS_EXCEPTION(EConvertError, strToInt(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestSetupCodes)
#include "test_setup_codes.moc"
