// The SIM in a card reader below the pages, on a scripted card: GSM commands one level at a time,
// GET RESPONSE and lengths in one place, the PIN's tries read before any VERIFY and the last one
// never spent unasked, writes read back, a USIM without GSM access and a card pulled out.
#include "card/card_channel.h"
#include "card/card_messages.h"
#include "card/card_sim.h"
#include "sim/sim_texts.h"
#include "support/page_harness.h"
#include "support/scripted_card.h"
#include "support/scripted_dialogs.h"
#include "widgets/dialog_prompts.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::string)

namespace {

const std::string kSelectMf = "A0A40000023F00";
const std::string kSelectTelecom = "A0A40000027F10";
const std::string kSelectPhonebook = "A0A40000026F3A";
const std::string kDfHeader = "A0C0000016";
const std::string kEfHeader = "A0C000000F";
const std::string kOk = "9000";

// The 22 bytes of the MF or a DF: characteristics 33 (B3: CHV1 off), CHV1 initialised with its tries.
std::string dfHeader(bool pinOn, int tries) {
    return "00000000"
           "3F00"
           "01"
           "0000000000"
           "09" +
           std::string(pinOn ? "33" : "B3") +
           "020302"
           "00"
           "8" +
           std::to_string(tries) +
           "8A"
           "0000" +
           kOk;
}

// EF_ADN of ten 28-byte records.
const std::string kPhonebookHeader = "0000"
                                     "0118"
                                     "6F3A"
                                     "04"
                                     "00"
                                     "11FFFF"
                                     "01"
                                     "02"
                                     "01"
                                     "1C" +
                                     kOk;

std::string ff(int count) {
    return std::string(2 * std::size_t(count), 'F');
}

const std::string kSetup = "5365747570" + ff(9) + "0791000000000000" + ff(4) + "FFFF";
const std::string kReadRecord1 = "A0B201041C";
const std::string kReadRecord5 = "A0B205041C";
const std::string kUpdateRecord5 = "A0DC05041C" + kSetup;

std::string verify(const std::string& pin) {
    std::string command = "A020000108";
    for (const char digit : pin)
        command += "3" + std::string(1, digit);
    return command + ff(8 - int(pin.size()));
}

struct Card {
    explicit Card(bool pinOn = false, int tries = 3) {
        link->answer(kSelectMf, "9F16");
        link->answer(kSelectTelecom, "9F16");
        link->answer(kSelectPhonebook, "9F0F");
        link->answer(kDfHeader, dfHeader(pinOn, tries));
        link->answer(kEfHeader, kPhonebookHeader);
        link->answer(kReadRecord1, pinOn ? "9804" : ff(28) + kOk);
        link->answer(kReadRecord5, kSetup + kOk);
    }
    card::CardSim sim(bool mayUseLastTry = true) {
        return card::CardSim(link, pause, prompts, {"Virtual PCD 00 00", mayUseLastTry, {}});
    }
    bool sentVerify() const {
        return std::any_of(link->sent.begin(), link->sent.end(),
                           [](const std::string& apdu) { return apdu.starts_with("A020"); });
    }

    std::shared_ptr<ScriptedCard> link = std::make_shared<ScriptedCard>();
    WatchingPause pause;
    ScriptedDialogs dialogs;
    DialogPrompts prompts{dialogs};
};

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

class TestCardSim : public QObject {
    Q_OBJECT

private slots:
    // With CHV1 off no PIN is asked or sent; the records are read as the alarm reads them.
    void readsOneLevelAtATime() {
        Card card;
        auto sim = card.sim();
        QVERIFY(sim.open(sim::Store::Phonebook));
        QCOMPARE(sim.readEntry(5), (sim::Entry{"+000000000000", "Setup"}));
        QVERIFY(sim.finish(sim::Unfinished::Read));
        QCOMPARE(card.link->sent,
                 (std::vector<std::string>{kSelectMf, kDfHeader, kSelectTelecom, kDfHeader, kSelectPhonebook,
                                           kEfHeader, kReadRecord1, kReadRecord5}));
        QVERIFY(card.dialogs.shown.empty());
        // The window's events get a turn after every command, as during a phone's answer.
        QCOMPARE(card.pause.waits, std::vector<int>(5, 0));
    }

    void pinTries_data() {
        QTest::addColumn<int>("tries");
        QTest::addColumn<bool>("mayUseLastTry");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("verifyAnswers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("opened");
        const QString asked = text(card_messages::kPinAsked);
        const QString wrong = text(card_messages::kPinWrong);
        const QString last = text(card_messages::kPinLastTry);
        QTest::newRow("right PIN") << 3 << false << QStringList{"1234"} << QStringList{"9000"}
                                   << QStringList{asked + "\nZbývající pokusy: 3"} << true;
        QTest::newRow("wrong PIN, tries read again")
            << 3 << false << QStringList{"1111", "1234"} << QStringList{"9804", "9000"}
            << QStringList{asked + "\nZbývající pokusy: 3", wrong + "\nZbývající pokusy: 2"} << true;
        QTest::newRow("last try, asked naming it") << 1 << true << QStringList{"1234"} << QStringList{"9000"}
                                                   << QStringList{last + "\nZbývající pokusy: 1"} << true;
        QTest::newRow("last try, not spent unasked")
            << 1 << false << QStringList{"1234"} << QStringList{}
            << QStringList{text(card_messages::kLastTryNotGiven)} << false;
        QTest::newRow("blocked") << 0 << true << QStringList{"1234"} << QStringList{}
                                 << QStringList{text(sim_texts::kSimBlocked)} << false;
        QTest::newRow("last wrong PIN blocks")
            << 1 << true << QStringList{"1111"} << QStringList{"9840"}
            << QStringList{last + "\nZbývající pokusy: 1", text(sim_texts::kSimBlocked)} << false;
        QTest::newRow("cancelled") << 3 << false << QStringList{} << QStringList{}
                                   << QStringList{asked + "\nZbývající pokusy: 3"} << false;
    }
    void pinTries() {
        QFETCH(int, tries);
        QFETCH(bool, mayUseLastTry);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, verifyAnswers);
        QFETCH(bool, opened);
        Card card(true, tries);
        // Each wrong PIN costs a try, as the MF's header says when asked again.
        std::deque<std::string> headers(3, dfHeader(true, tries));
        for (int left = tries - 1; left >= 0; --left)
            headers.insert(headers.end(), 2, dfHeader(true, left));
        card.link->answers[kDfHeader] = headers;
        for (int i = 0; i < typed.size(); ++i) {
            card.dialogs.pins.push_back(typed[i]);
            if (i < verifyAnswers.size())
                card.link->answer(verify(typed[i].toStdString()), verifyAnswers[i].toStdString());
        }
        auto sim = card.sim(mayUseLastTry);
        QCOMPARE(sim.open(sim::Store::Phonebook), opened);
        QTEST(card.dialogs.texts(), "shown");
        QCOMPARE(card.sentVerify(), !verifyAnswers.isEmpty());
    }

    // A record counts as written only when the card holds it; what does not fit is never sent.
    void writesAreReadBack() {
        Card card;
        card.link->answer(kUpdateRecord5, kOk);
        card.link->answers[kReadRecord5] = {ff(28) + kOk};
        auto sim = card.sim();
        QVERIFY(sim.open(sim::Store::Phonebook));
        sim.writeEntry(5, {"+000000000000", "Setup"});
        sim.writeEntry(6, {"+000000000000", "Casy a dalsi veci"});
        QVERIFY(!sim.finish(sim::Unfinished::Write));
        QCOMPARE(card.dialogs.texts(),
                 QStringList{text("POZOR - karta SIM nepotvrdila zápis na pozice: 5, 6 !\n") +
                             text(card_messages::kNotAsWritten) + ", " + text(card_messages::kNameTooLong)});
        QVERIFY(std::none_of(card.link->sent.begin(), card.link->sent.end(),
                             [](const std::string& apdu) { return apdu.starts_with("A0DC06"); }));
    }

    void usimWithoutGsmAccess() {
        Card card;
        card.link->answer(kSelectMf, "6E00");
        auto sim = card.sim();
        QVERIFY(!sim.open(sim::Store::Phonebook));
        QCOMPARE(card.dialogs.texts(), QStringList{text(card_messages::kNoGsmAccess)});
        QCOMPARE(card.link->sent, std::vector<std::string>{kSelectMf});
    }

    // The positions after the card went are named, with why; nothing more is sent.
    void cardPulledMidExchange() {
        Card card;
        card.link->answer(kUpdateRecord5, kOk);
        card.link->pulledAt = 8; // the update of position 5
        bool lost = false;
        card::CardSim sim(card.link, card.pause, card.prompts,
                          {"Virtual PCD 00 00", true, [&] { lost = true; }});
        QVERIFY(sim.open(sim::Store::Phonebook));
        sim.writeEntry(5, {"+000000000000", "Setup"});
        sim.writeEntry(6, {"+000000000000", "Casy"});
        QVERIFY(!sim.finish(sim::Unfinished::Write));
        QVERIFY(lost);
        QCOMPARE(card.link->sent.size(), std::size_t(8));
        const QString pulled = QString::fromStdString(
            platform::smartCardFaultText({platform::SmartCardFault::CardRemoved, 0}, "Virtual PCD 00 00"));
        QCOMPARE(card.dialogs.texts(),
                 QStringList{text("POZOR - karta SIM nepotvrdila zápis na pozice: 5, 6 !\n") + pulled});
    }

    // A response announced by 9Fxx is fetched; a length the card names is used once.
    void channelFetchesAndCorrects() {
        ScriptedCard link;
        link.answer("A0C0000010", "6716");
        link.answer(kDfHeader, dfHeader(false, 3));
        link.answer(kSelectMf, "9F16");
        card::CardChannel channel(link);
        const auto corrected = channel.send(PDU::HexToOctets("A0C0000010").value());
        QVERIFY(corrected);
        QCOMPARE(corrected->status, card::kOk);
        QCOMPARE(corrected->data.size(), std::size_t(22));
        const auto selected = channel.send(PDU::HexToOctets(kSelectMf).value());
        QVERIFY(selected && selected->status == card::kOk && selected->data.size() == 22);
        QCOMPARE(link.sent, (std::vector<std::string>{"A0C0000010", kDfHeader, kSelectMf, kDfHeader}));
    }
};

QTEST_GUILESS_MAIN(TestCardSim)
#include "test_card_sim.moc"
