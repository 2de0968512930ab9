// What goes over the wire, byte for byte: every exchange of the three pages against each phone of
// the fault suite, SIMs asking for their PIN included, compared with the logs in wire/. A change
// that alters one byte the tool sends shows here as the first line that differs. To record the logs
// anew after a deliberate change: ALARMGSM_RECORD_WIRE=1 ctest -R test_wire.
#include "app/AlarmApplication.h"
#include "fault_fixture.h"
#include "support/live_phone.h"

namespace {

// The exchanges as a person runs them on a SIM holding someone's data: read everything, write
// everything, read back what was written, then empty the messages.
const QList<std::pair<const char*, const char*>> kSession = {
    {"configuration read", "Button1"},  {"phone-number read", "Button1"},  {"SMS read", "Button1"},
    {"configuration write", "BitBtn3"}, {"phone-number write", "Button2"}, {"SMS store", "Button3"},
    {"phone-number read", "Button1"},   {"SMS read", "Button1"},           {"SMS delete-all", "Button4"}};

// A plain name, one only UCS2 carries, one with characters of the extension table, an empty position.
const QStringList kNumbers = {
    "+420111111111", "Sousedka Eva", "+420222222222", QString::fromUtf8("Čížek"), "", "",
    "+420444444444", "Eva [Otec]"};

struct Phone {
    QStringList options;
    QList<std::optional<QString>> pins; // given to each exchange's PIN dialog in turn
    bool restartEachExchange = false;   // so that every exchange meets the locked SIM
    QByteArray sim = kSimWithData;
};

QList<std::pair<QString, Phone>> phones() {
    QList<std::pair<QString, Phone>> rows;
    const auto add = [&rows](const QString& name, const QStringList& options,
                             const QList<std::optional<QString>>& pins = {}, bool restart = false) {
        rows.append({name, Phone{options, pins, restart}});
    };
    for (const auto& [name, options] : phonesAsTheyCome())
        add(name, options, {QString("1234")});
    add("unsolicited codes every 150 ms", {"--urc", "+CMTI: \"SM\",9", "--urc-every", "150"});
    add("text mode left on", {"--text-mode"});
    add("phone memory selected", {"--phone-memory"});
    add("SIM with room for three messages", {"--sms-size", "3"});
    add("names up to eight characters", {"--name-length", "8"});
    add("phonebook of four entries", {"--phonebook-size", "4"});
    rows.back().second.sim = QByteArray(kSimWithData).replace("entry 5", "#").replace("entry 6", "#");
    add("14 bytes a name, left in GSM", {"--charset", "GSM", "--name-bytes", "14"});
    add("left in IRA, verbose errors", {"--charset", "IRA", "--cmee", "2"});
    add("left in text mode and UCS2", {"--text-mode", "--charset", "UCS2"});
    add("PIN right at once", {"--pin", "1234"}, {QString("1234")}, true);
    add("PIN wrong, wrong again, then right", {"--pin", "1234"},
        {QString("1111"), QString("1111"), QString("1234")}, true);
    add("PIN of the wrong form, then right", {"--pin", "1234"}, {QString("12"), QString("1234")}, true);
    add("PIN cancelled", {"--pin", "1234"}, {std::nullopt}, true);
    add("last PIN try wrong", {"--pin", "1234", "--pin-tries", "1"}, {QString("1111")});
    add("blocked SIM", {"--pin", "1234", "--pin-tries", "0"});
    add("phone off", {"--off"});
    return rows;
}

QString slug(const QString& name) {
    QString file;
    for (const QChar c : name.toLower())
        file += c.isLetterOrNumber() ? c : QChar('-');
    while (file.contains("--"))
        file.replace("--", "-");
    return file;
}

// One received command or PDU a line, control bytes written out.
QString escaped(const QByteArray& text) {
    QString line;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\r')
            line += "\\r";
        else if (c == '\\')
            line += "\\\\";
        else if (code < 0x20 || code >= 0x7F)
            line += "\\x" + QStringLiteral("%1").arg(code, 2, 16, QChar('0')).toUpper();
        else
            line += QChar(c);
    }
    return line;
}

QStringList receivedSince(const LivePhone& phone, qsizetype first) {
    QStringList lines;
    const auto received = phone.received();
    for (qsizetype i = first; i < received.size(); ++i)
        lines << escaped(received[i].text);
    return lines;
}

QString logPath(const QString& name) {
    return qEnvironmentVariable("ALARMGSM_SOURCE_DIR") + "/tests/faults/wire/" + slug(name) + ".log";
}

QStringList recorded(const QString& name) {
    QFile file(logPath(name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("no log at %1").arg(file.fileName())};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void record(const QString& name, const QStringList& lines) {
    QFile file(logPath(name));
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text),
             qPrintable(file.fileName()));
    file.write((lines.join('\n') + '\n').toUtf8());
}

} // namespace

Q_DECLARE_METATYPE(Phone)

class TestWire : public QObject {
    Q_OBJECT

private slots:
    void sameBytesOnTheWire_data() {
        QTest::addColumn<Phone>("phone");
        for (const auto& [name, phone] : phones())
            QTest::newRow(qPrintable(name)) << phone;
    }
    void sameBytesOnTheWire() {
        QFETCH(Phone, phone);
        LivePhone line(phone.options);
        line.preloadState(phone.sim);
        Tool tool(line.settingsDirectory());
        QVERIFY(tool.choosePort(1));

        QStringList sent;
        for (const auto& [exchange, button] : kSession) {
            if (phone.restartEachExchange) {
                tool.window->AfComPort1().Close();
                line.restart(phone.options);
                QVERIFY(tool.choosePort(1));
            }
            for (const auto& pin : phone.pins)
                tool.dialogs.pins.push_back(pin);
            // The reads before have filled the pages with what the SIM held.
            if (exchange == QLatin1String("phone-number write"))
                setFields(tool.window->numbersPage(), kNumbers);
            if (exchange == QLatin1String("SMS store"))
                setFields(tool.window->smsPage(), kAlarmMessages);
            const qsizetype before = line.received().size();
            const PageProbe page = pageOf(*tool.window, exchange);
            page.click(button);
            QTRY_VERIFY_WITH_TIMEOUT(page.idle(), 60000);
            tool.dialogs.pins.clear();
            // An ESC to a phone left waiting for a message is sent without waiting for an answer.
            QTest::qWait(200);
            sent << QStringLiteral("# %1").arg(exchange) << receivedSince(line, before);
        }
        const QString name = QString::fromUtf8(QTest::currentDataTag());
        if (qEnvironmentVariableIsSet("ALARMGSM_RECORD_WIRE"))
            record(name, sent);
        else
            QCOMPARE(sent, recorded(name));
    }
};

int main(int argc, char* argv[]) {
    AlarmApplication application(argc, argv);
    TestWire test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_wire.moc"
