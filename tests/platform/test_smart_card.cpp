// The tool's PC/SC layer against the machine's pcscd, vpcd's reader and the virtual card: what a user
// meets with a real reader (no card, a card pulled out, another program at the card, no pcscd) and
// the session's promise that no PIN verification outlives it.
#include "platform/smart_card.h"
#include "support/virtual_card.h"

#include <QProcess>
#include <QtTest>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes(const QByteArray& hex) {
    const QByteArray raw = QByteArray::fromHex(hex);
    return Bytes(raw.begin(), raw.end());
}

QByteArray hex(const std::optional<Bytes>& response) {
    if (!response)
        return "none";
    return QByteArray(reinterpret_cast<const char*>(response->data()), qsizetype(response->size()))
        .toHex()
        .toUpper();
}

std::unique_ptr<platform::SmartCardSession> openVirtualReader() {
    platform::SmartCardError error;
    auto session = platform::SmartCardSession::open(VirtualCard::reader, error);
    if (!session)
        qWarning("open: fault %d, code %lx", int(error.fault), error.code);
    return session;
}

// Down to the virtual card's EF_ADN, for READ RECORD, with the answers of each SELECT.
const QList<std::pair<QByteArray, QByteArray>> toAdn = {
    {"A0A40000023F00", "9F16"}, {"A0A40000027F10", "9F16"}, {"A0A40000026F3A", "9F0F"}};

QProcess* probe(const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    auto* process = new QProcess;
    process->setProcessEnvironment(environment);
    process->start(qEnvironmentVariable("SMART_CARD_PROBE"), arguments);
    return process;
}

} // namespace

class SmartCardTest : public QObject {
    Q_OBJECT
private slots:
    void listsTheVirtualReader() {
        const platform::ReaderList list = platform::listSmartCardReaders();
        QCOMPARE(int(list.error.fault), int(platform::SmartCardFault::None));
        QVERIFY(std::find(list.names.begin(), list.names.end(), VirtualCard::reader) != list.names.end());
    }

    // Raw APDUs: the 9F16 of a SELECT comes back as it is, for the SIM code to fetch.
    void transmitsRawApdusWithT0() {
        VirtualCard card;
        const auto session = openVirtualReader();
        QVERIFY(session);
        QCOMPARE(session->protocol(), 0);
        QCOMPARE(hex(session->transmit(bytes("A0A40000023F00"))), QByteArray("9F16"));
        const auto header = session->transmit(bytes("A0C0000016"));
        QCOMPARE(hex(header).right(4), QByteArray("9000"));
        QCOMPARE(header->size(), std::size_t(24));
        QCOMPARE(int(session->lastError().fault), int(platform::SmartCardFault::None));
    }

    void refusesWhatCannotBeOpened_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("text");
        QTest::newRow("no card in the reader") << VirtualCard::reader << int(platform::SmartCardFault::NoCard)
                                               << "Ve čtečce Virtual PCD 00 00 není karta: vložte do ní SIM.";
        QTest::newRow("a reader that is not there")
            << "Virtual PCD 09 00" << int(platform::SmartCardFault::ReaderGone)
            << "Čtečka Virtual PCD 09 00 není připojena: připojte ji a zvolte ji znovu.";
    }
    void refusesWhatCannotBeOpened() {
        QFETCH(QString, reader);
        QFETCH(int, fault);
        QFETCH(QString, text);
        platform::SmartCardError error;
        QVERIFY(!platform::SmartCardSession::open(reader.toStdString(), error));
        QCOMPARE(int(error.fault), fault);
        QCOMPARE(QString::fromStdString(platform::smartCardFaultText(error, reader.toStdString())), text);
    }

    // The card leaves while the APDU is under way; once pcscd has seen it go, a card put back opens.
    void cardPulledOutMidSession() {
        {
            VirtualCard card({"--pull-after", "2"});
            const auto session = openVirtualReader();
            QVERIFY(session);
            QCOMPARE(hex(session->transmit(bytes("A0A40000023F00"))), QByteArray("9F16"));
            QCOMPARE(hex(session->transmit(bytes("A0C0000016"))), QByteArray("none"));
            QCOMPARE(int(session->lastError().fault), int(platform::SmartCardFault::CardRemoved));
            card.pulled();
        }
        VirtualCard card;
        const auto session = openVirtualReader();
        QVERIFY(session);
        QCOMPARE(hex(session->transmit(bytes("A0A40000023F00"))), QByteArray("9F16"));
    }

    // libpcsclite reads the socket's name once per process, so a process of its own meets no pcscd.
    void noPcscdIsNamed() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PCSCLITE_CSOCK_NAME", QDir::temp().filePath("no-pcscd-here.comm"));
        for (const QStringList& arguments :
             {QStringList{"--list"}, QStringList{VirtualCard::reader, "A0F2000016"}}) {
            std::unique_ptr<QProcess> process(probe(arguments, environment));
            QVERIFY(process->waitForFinished(10000));
            QCOMPARE(process->exitCode(), 1);
            QCOMPARE(QString::fromUtf8(process->readAllStandardOutput()),
                     QString("fault %1 8010001D\nSlužba čipových karet neběží: spusťte pcscd.\n")
                         .arg(int(platform::SmartCardFault::NoService)));
        }
    }

    // Another program waits for the session's transaction and gets the card only after its close.
    void secondProgramWaitsForTheSession() {
        VirtualCard card;
        auto session = openVirtualReader();
        QVERIFY(session);
        std::unique_ptr<QProcess> other(probe({VirtualCard::reader, "A0A40000023F00"}));
        QVERIFY(other->waitForStarted(5000));
        // Its absence of an answer can only be seen by waiting.
        QVERIFY(!other->waitForFinished(1500));
        QCOMPARE(hex(session->transmit(bytes("A0F2000016"))).right(4), QByteArray("9000"));
        session.reset();
        QVERIFY(other->waitForFinished(5000));
        QCOMPARE(other->readAllStandardOutput(), QByteArray("9F16\n"));
    }

    void closingResetsTheCard() {
        VirtualCard card({"--pin", "1234"});
        auto session = openVirtualReader();
        QVERIFY(session);
        for (const auto& [select, answer] : toAdn)
            QCOMPARE(hex(session->transmit(bytes(select))), answer);
        QCOMPARE(hex(session->transmit(bytes("A02000010831323334FFFFFFFF"))), QByteArray("9000"));
        QCOMPARE(hex(session->transmit(bytes("A0B201041C"))).right(4), QByteArray("9000"));
        session.reset();
        QVERIFY(card.log().contains(" control reset\n"));
        session = openVirtualReader();
        QVERIFY(session);
        for (const auto& [select, answer] : toAdn)
            QCOMPARE(hex(session->transmit(bytes(select))), answer);
        QCOMPARE(hex(session->transmit(bytes("A0B201041C"))), QByteArray("9804"));
    }
};

QTEST_GUILESS_MAIN(SmartCardTest)
#include "test_smart_card.moc"
