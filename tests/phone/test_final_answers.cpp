// Matching what a phone said during an exchange to the commands sent, as real phones say it: late,
// in pieces, several answers in one read, unsolicited codes in between, refusals with codes.
#include "phone/final_answers.h"

#include <QtTest>

using final_answers::Expectation;

Q_DECLARE_METATYPE(std::vector<Expectation>)

namespace {

const Expectation kPlain{};
const Expectation kDelete{.absentOk = true};
Expectation stored(int position) {
    return {.prompt = true, .storedAt = position};
}

// One word per command: "ok", "refused <code>", "unanswered".
QString outcomes(const std::vector<Expectation>& commands, const std::string& transcript) {
    QStringList words;
    for (const auto& outcome : final_answers::match(commands, final_answers::scan(transcript))) {
        if (!outcome.answered)
            words << "unanswered";
        else if (outcome.confirmed)
            words << "ok";
        else
            words << ("refused " + QString::fromStdString(outcome.error)).trimmed();
    }
    return words.join(" | ");
}

} // namespace

class TestFinalAnswers : public QObject {
    Q_OBJECT
private slots:
    void match_data() {
        QTest::addColumn<std::vector<Expectation>>("commands");
        QTest::addColumn<std::string>("transcript");
        QTest::addColumn<QString>("expected");

        const std::vector<Expectation> two{kPlain, kPlain};
        QTest::newRow("each answered")
            << two << std::string("AT+CPBW=5\r\r\nOK\r\nAT+CPBW=6\r\r\nOK\r\n") << "ok | ok";
        QTest::newRow("unsolicited codes in between")
            << two << std::string("AT+CPBW=5\r\r\n+CREG: 1\r\n\r\nOK\r\n\r\nRING\r\nAT+CPBW=6\r\r\nOK\r\n")
            << "ok | ok";
        QTest::newRow("second still missing")
            << two << std::string("AT+CPBW=5\r\r\nOK\r\nAT+CPBW=6\r") << "ok | unanswered";
        QTest::newRow("answer cut in the middle counts once ended")
            << two << std::string("AT+CPBW=5\r\r\nOK\r\nAT+CPBW=6\r\r\nO") << "ok | unanswered";
        QTest::newRow("refusals keep their codes")
            << std::vector<Expectation>{kPlain, kPlain, kPlain}
            << std::string("\r\n+CME ERROR: 24\r\n\r\nERROR\r\n\r\n+CMS ERROR: 302\r\n")
            << "refused +CME ERROR: 24 | refused ERROR | refused +CMS ERROR: 302";
        QTest::newRow("a name that reads OK is an echo, not an answer")
            << std::vector<Expectation>{kPlain} << std::string("AT+CPBW=1,\"+420603123456\",,\"OK\"\r")
            << "unanswered";
        QTest::newRow("nothing said") << two << std::string() << "unanswered | unanswered";

        QTest::newRow("deleting an empty position")
            << std::vector<Expectation>{kDelete, kDelete, kPlain}
            << std::string("\r\n+CMS ERROR: 321\r\n\r\n+CME ERROR: 22\r\n\r\n+CMS ERROR: 321\r\n")
            << "ok | ok | refused +CMS ERROR: 321";
        QTest::newRow("deleting refused for another reason")
            << std::vector<Expectation>{kDelete} << std::string("\r\n+CMS ERROR: 500\r\n")
            << "refused +CMS ERROR: 500";

        const std::string pdu = "079124603050020011000C912460301234560000040350";
        QTest::newRow("message stored where wanted")
            << std::vector<Expectation>{stored(1), stored(2)}
            << "AT+CMGW=17\r\r\n> " + pdu + "\x1A\r\n+CMGW: 1\r\n\r\nOK\r\nAT+CMGW=17\r\r\n> " + pdu +
                   "\x1A\r\n+CMGW: 2\r\n\r\nOK\r\n"
            << "ok | ok";
        QTest::newRow("prompt still waiting")
            << std::vector<Expectation>{stored(1)} << std::string("AT+CMGW=17\r\r\n> ") << "unanswered";
        QTest::newRow("full SIM tells after the PDU")
            << std::vector<Expectation>{stored(4)}
            << "AT+CMGW=17\r\r\n> " + pdu + "\x1A\r\n+CMS ERROR: 322\r\n"
            << "refused +CMS ERROR: 322";
        QTest::newRow("refused before the prompt, the PDU ignored")
            << std::vector<Expectation>{stored(1), stored(2)}
            << "AT+CMGW=17\r\r\n+CMS ERROR: 304\r\n" + pdu + "\x1A" + "AT+CMGW=17\r\r\n> " + pdu +
                   "\x1A\r\n+CMGW: 2\r\n\r\nOK\r\n"
            << "refused +CMS ERROR: 304 | ok";
        QTest::newRow("stored elsewhere than wanted")
            << std::vector<Expectation>{stored(1)}
            << "AT+CMGW=17\r\r\n> " + pdu + "\x1A\r\n+CMGW: 7\r\n\r\nOK\r\n"
            << "refused";
        QTest::newRow("OK without the prompt")
            << std::vector<Expectation>{stored(1)} << std::string("AT+CMGW=17\r\r\n+CMGW: 1\r\n\r\nOK\r\n")
            << "refused";
    }
    void match() {
        QFETCH(std::vector<Expectation>, commands);
        QFETCH(std::string, transcript);
        QTEST(outcomes(commands, transcript), "expected");
    }

    // However the phone's output is cut into reads, the transcript and so the outcome is the same.
    void piecesDoNotMatter() {
        const std::string said = "AT+CMGW=17\r\r\n> 0791\x1A\r\n+CMGW: 1\r\n\r\nOK\r\n";
        for (std::size_t cut = 0; cut <= said.size(); ++cut) {
            const std::string seen = said.substr(0, cut);
            const QString outcome = outcomes({stored(1)}, seen);
            QCOMPARE(outcome, cut < said.size() - 1 ? QString("unanswered") : QString("ok"));
        }
    }
};

QTEST_GUILESS_MAIN(TestFinalAnswers)
#include "test_final_answers.moc"
