#include "serial/AfComPort.h"

#include <atomic>
#include <memory>
#include <QGuiApplication>
#include <QtTest>
#include <thread>

// The phone's end of the line: a pseudo-terminal's master side, or COM2 joined to COM1 on Windows.
#ifdef _WIN32
#include "com_pair.h"
#include "delivery_class.h"
using LinePair = ComPair;
const std::string kMissingDevice = "\\\\.\\COM9";
#else
#include "platform/serial_termios.h"
#include "pty_pair.h"
using LinePair = PtyPair;
const std::string kMissingDevice = "/dev/alarmgsm-none";
#endif

namespace {

// Records what escapes an event handler, as the application's own notify reports it.
class RecordingApplication final : public QGuiApplication {
public:
    using QGuiApplication::QGuiApplication;
    QStringList escaped;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QGuiApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            escaped << QString::fromUtf8(error.what());
            return true;
        }
    }
};

RecordingApplication& application() {
    return *static_cast<RecordingApplication*>(QCoreApplication::instance());
}

// Waits without running any event of the GUI thread, as a busy GUI thread would.
template <typename Predicate> bool blockUntil(Predicate done, int timeoutMs = 3000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        std::this_thread::yield();
    }
    return true;
}

#ifdef _WIN32
// Whether a hand-over from another thread runs through the delivery.
bool handsOver(TAfSafeSync& sync) {
    int runs = 0;
    const std::uint32_t id = sync.SyncRegister([&](int) { ++runs; });
    sync.SyncEnable(id, true);
    std::atomic<int> result{-1};
    std::thread caller([&] { result = sync.SyncCall(id, 2000) ? 1 : 0; });
    const bool returned = QTest::qWaitFor([&] { return result.load() != -1; }, 3000);
    caller.join();
    sync.SyncUnregister(id);
    return returned && result.load() == 1 && runs == 1;
}
#endif

struct Fixture {
    LinePair pty1;
    std::string secondDevice = kMissingDevice; // COM2
    TAfSafeSync delivery;
    TAfComPort port{"AfComPort1", delivery, [this](int n) {
                        return n == 1 ? pty1.path() : n == 2 ? secondDevice : kMissingDevice;
                    }};
    QStringList log;

    // The main window's settings.
    Fixture() {
        port.setBaudRate(br19200);
        port.setEventThreadPriority(tpTimeCritical);
        port.setInBufSize(8192);
        port.OnPortOpen = [this](TAfComPort&) { log << "PortOpen"; };
        port.OnPortClose = [this](TAfComPort&) { log << "PortClose"; };
        port.OnOutBufFree = [this](TAfComPort&) { log << "OutBufFree"; };
        port.OnSyncEvent = [this](TAfComPort&, int kind, std::uint32_t data) {
            log << QString("Sync %1 %2").arg(kind).arg(data);
        };
    }
    void open(int number) {
        port.setComNumber(std::uint16_t(number));
        port.Open();
    }
};

} // namespace

class ComPortTest : public QObject {
    Q_OBJECT
private slots:
    void init() { application().escaped.clear(); }

    // ---- main-thread delivery ----

    void handOverRunsOnTheGuiThread() {
        TAfSafeSync sync;
        std::thread::id ranOn;
        int ranSlot = 0;
        const std::uint32_t id = sync.SyncRegister([&](int slot) {
            ranOn = std::this_thread::get_id();
            ranSlot = slot;
        });
        QVERIFY(id != 0);
        QVERIFY(sync.SyncEnable(id, true));
        std::atomic<int> result{-1};
        std::thread caller([&] { result = sync.SyncCall(id, 2000) ? 1 : 0; });
        QTRY_COMPARE(result.load(), 1);
        caller.join();
        QCOMPARE(ranOn, std::this_thread::get_id());
        QCOMPARE(ranSlot, 1);
    }

    // A modal message box or dialog spins a loop of its own; the hand-over must run inside it.
    void handOverRunsInsideANestedEventLoop() {
        TAfSafeSync sync;
        QEventLoop modal;
        const std::uint32_t id = sync.SyncRegister([&](int) { modal.quit(); });
        sync.SyncEnable(id, true);
        std::atomic<bool> result{false};
        std::thread caller([&] { result = sync.SyncCall(id, 2000); });
        QTimer::singleShot(5000, &modal, [&] { modal.exit(1); });
        QCOMPARE(modal.exec(), 0);
        caller.join();
        QVERIFY(result);
    }

    void slotsThatCannotRunReturnAtOnce_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("never enabled") << "registered";
        QTest::newRow("disabled again") << "disabled";
        QTest::newRow("unregistered") << "unregistered";
        QTest::newRow("identifier 0") << "zero";
    }
    void slotsThatCannotRunReturnAtOnce() {
        QFETCH(QString, state);
        TAfSafeSync sync;
        int runs = 0;
        std::uint32_t id = sync.SyncRegister([&](int) { ++runs; });
        if (state == "disabled") {
            sync.SyncEnable(id, true);
            sync.SyncEnable(id, false);
        } else if (state == "unregistered") {
            sync.SyncEnable(id, true);
            QVERIFY(sync.SyncUnregister(id));
            QVERIFY(!sync.SyncEnable(id, true));
        } else if (state == "zero") {
            id = 0;
        }
        bool result = true;
        std::thread caller([&] { result = sync.SyncCall(id, 5000); });
        caller.join(); // no event is processed: it must not have waited for one
        QVERIFY(!result);
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
    }

    void sixtyFourSlotsThenNone() {
        TAfSafeSync sync;
        std::vector<std::uint32_t> ids;
        for (int i = 0; i < TAfSafeSync::SlotCount; ++i)
            ids.push_back(sync.SyncRegister([](int) {}));
        QVERIFY(std::find(ids.begin(), ids.end(), 0u) == ids.end());
        QCOMPARE(sync.SyncRegister([](int) {}), 0u);
        // The freed slot is taken again, under a new identifier.
        QVERIFY(sync.SyncUnregister(ids[9]));
        int ranSlot = 0;
        const std::uint32_t again = sync.SyncRegister([&](int slot) { ranSlot = slot; });
        QVERIFY(again != 0 && again != ids[9]);
        sync.SyncEnable(again, true);
        std::thread caller([&] { sync.SyncCall(again, 2000); });
        QTRY_COMPARE(ranSlot, 10);
        caller.join();
    }

    // Regression: a hand-over that timed out used to run later, with whatever the sender had stored
    // for the next event by then.
    void aTimedOutHandOverNeverRunsLater() {
        TAfSafeSync sync;
        int runs = 0;
        const std::uint32_t id = sync.SyncRegister([&](int) { ++runs; });
        sync.SyncEnable(id, true);
        bool result = true;
        std::thread caller([&] { result = sync.SyncCall(id, 100); });
        caller.join(); // the GUI thread is busy for longer than the time limit
        QVERIFY(!result);
        QCOMPARE(sync.PendingCalls(), 0u);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
    }

    void aRunningHandOverIsWaitedForBeyondTheTimeLimit() {
        TAfSafeSync sync;
        std::atomic<bool> finished{false};
        const std::uint32_t id = sync.SyncRegister([&](int) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300)); // a handler's own pause
            finished = true;
        });
        sync.SyncEnable(id, true);
        std::atomic<int> result{-1};
        std::atomic<bool> finishedWhenReturned{false};
        std::thread caller([&] {
            const bool ran = sync.SyncCall(id, 100);
            finishedWhenReturned = finished.load();
            result = ran ? 1 : 0;
        });
        QTRY_COMPARE(result.load(), 1);
        caller.join();
        QVERIFY(finishedWhenReturned);
    }

    void disablingReleasesAWaitingHandOverAtOnce() {
        TAfSafeSync sync;
        int runs = 0;
        const std::uint32_t id = sync.SyncRegister([&](int) { ++runs; });
        sync.SyncEnable(id, true);
        bool result = true;
        std::thread caller([&] { result = sync.SyncCall(id, 5000); });
        QVERIFY(blockUntil([&] { return sync.PendingCalls() == 1; }));
        QElapsedTimer waited;
        waited.start();
        sync.SyncEnable(id, false);
        caller.join();
        QVERIFY2(waited.elapsed() < 500, qPrintable(QString::number(waited.elapsed())));
        QVERIFY(!result);
        QCoreApplication::processEvents();
        QCOMPARE(runs, 0);
    }

    void anErrorOfTheCallbackReachesTheApplication() {
        TAfSafeSync sync;
        const std::uint32_t id =
            sync.SyncRegister([](int) { throw std::runtime_error("Nemohu otevřít port COM3"); });
        sync.SyncEnable(id, true);
        std::atomic<int> result{-1};
        std::thread caller([&] { result = sync.SyncCall(id, 2000) ? 1 : 0; });
        QTRY_COMPARE(result.load(), 1); // the caller is released although the callback failed
        caller.join();
        QTRY_COMPARE(application().escaped, QStringList{"Nemohu otevřít port COM3"});
    }

#ifdef _WIN32
    // Deliveries share their hidden windows' class: it outlives the first of them to end and goes
    // with the last, so that none is left registered.
    void theWindowClassGoesWithTheLastDelivery() {
        {
            auto first = std::make_unique<TAfSafeSync>();
            TAfSafeSync second;
            first.reset();
            QVERIFY(deliveryClassRegistered());
            QVERIFY(handsOver(second));
        }
        QVERIFY(!deliveryClassRegistered());
        TAfSafeSync again;
        QVERIFY(handsOver(again));
    }

    // Regression: the registration went unchecked, so another's class of the name that could not
    // be replaced made the window, and every hand-over went to its procedure and timed out.
    void aRegistrationThatFailsSaysWhy() {
        {
            const ForeignDeliveryClass other;
            QVERIFY(other.holds());
            try {
                TAfSafeSync sync;
                QFAIL("a delivery was made on another's class");
            } catch (const std::system_error& error) {
                QCOMPARE(error.code(), classAlreadyExists());
                QVERIFY2(QByteArray(error.what()).startsWith("RegisterClassEx: "), error.what());
            }
        }
        // The failure counted no user of the class: the next delivery registers it anew.
        TAfSafeSync next;
        QVERIFY(handsOver(next));
    }
#endif

    // ---- the component ----

    void blockFromTheProperties_data() {
        QTest::addColumn<int>("flow");
        QTest::addColumn<int>("options");
        QTest::addColumn<bool>("lines");
        QTest::addColumn<uint>("flags");
        QTest::newRow("main window: no flow, DTR and RTS on") << int(fwNone) << 0 << true << 0x1011u;
        QTest::newRow("XON/XOFF") << int(fwXOnXOff) << 0 << true << 0x1311u;
        QTest::newRow("RTS/CTS: no RTS enable") << int(fwRtsCts) << 0 << true << 0x2015u;
        QTest::newRow("DTR/DSR: no DTR enable") << int(fwDtrDsr) << 0 << true << 0x1029u;
        QTest::newRow("every option") << int(fwNone) << 0x1F << true << 0x1CD3u;
        QTest::newRow("DTR and RTS off") << int(fwNone) << 0 << false << 0x0001u;
    }
    void blockFromTheProperties() {
        QFETCH(int, flow);
        QFETCH(int, options);
        QFETCH(bool, lines);
        QFETCH(uint, flags);
        Fixture f;
        f.port.setFlowControl(TAfFlowControl(flow));
        TAfComOptions set;
        for (int option = coParityCheck; option <= coStripNull; ++option)
            if (options & (1 << option))
                set << TAfComOption(option);
        f.port.setOptions(set);
        f.port.setDTR(lines);
        f.port.setRTS(lines);
        // DTR and RTS reach the block at its next rebuild.
        f.port.setXOnChar(18);
        f.port.setXOnChar(17);
        const DCB& block = f.port.Dcb();
        QCOMPARE(block.DCBlength, 28u);
        QCOMPARE(block.BaudRate, 19200u);
        QCOMPARE(int(block.ByteSize), 8);
        QCOMPARE(int(block.Parity), 0);
        QCOMPARE(int(block.StopBits), 0);
        QCOMPARE(uint(block.Flags), flags);
        QCOMPARE(int(block.XonChar), 17);
        QCOMPARE(int(block.XoffChar), 19);
        if (flow == fwNone) {
            QCOMPARE(int(block.XonLim), 0);
            QCOMPARE(int(block.XoffLim), 0);
        } else {
            QCOMPARE(int(block.XonLim), 2048); // a quarter of InBufSize 8192
            QCOMPARE(int(block.XoffLim), 6144);
        }
    }

    void speedsAndSizesOfTheBlock() {
        Fixture f;
        f.port.setUserBaudRate(31250);
        QCOMPARE(f.port.BaudRate(), brUser);
        QCOMPARE(f.port.Dcb().BaudRate, 31250u);
        f.port.setBaudRate(br56000);
        QCOMPARE(f.port.UserBaudRate(), 0);
        QCOMPARE(f.port.Dcb().BaudRate, 56000u);
        f.port.setDatabits(db5);
        f.port.setParity(paSpace);
        f.port.setStopbits(sbTwo);
        QCOMPARE(int(f.port.Dcb().ByteSize), 5);
        QCOMPARE(int(f.port.Dcb().Parity), 4);
        QCOMPARE(int(f.port.Dcb().StopBits), 2);
        // The other limit follows in 16-bit arithmetic, from the low 16 bits of InBufSize.
        f.port.setInBufSize(70000); // 4464 in 16 bits
        f.port.setXOffLim(5000);
        QCOMPARE(int(f.port.XOnLim()), 65000);
        f.port.setXOnLim(100);
        QCOMPARE(int(f.port.XOffLim()), 4364);
    }

    void openAndCloseRaiseTheirEvents() {
        Fixture f;
        f.port.Close();
        QCOMPARE(f.log, QStringList{"PortClose"}); // also when it was not open
        f.open(1);
        QVERIFY(f.port.IsOpen());
        f.port.Open();
        f.port.Close();
        QVERIFY(!f.port.IsOpen());
        QCOMPARE(f.log, (QStringList{"PortClose", "PortOpen", "PortClose"}));
    }

    void aPortThatDoesNotOpenRaisesNoOpenEvent() {
        Fixture f;
        try {
            f.open(3);
            QFAIL("opened");
        } catch (const EAfComPortCoreError& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QString("Chybné číslo portu (COM3)\nZařízení %1 není připojeno.")
                         .arg(kMissingDevice.c_str()));
        }
        QVERIFY(!f.port.IsOpen());
        QVERIFY(f.log.isEmpty());
    }

    void writeErrors_data() {
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("message");
        QTest::newRow("closed port") << false << 3
                                     << "Write data error [requested: 3, free: 0] - AfComPort1 ";
        QTest::newRow("text longer than the queue")
            << true << 17 << "Write data error [requested: 17, free: 16] - AfComPort1 ";
    }
    void writeErrors() {
        QFETCH(bool, open);
        QFETCH(int, length);
        QFETCH(QString, message);
        Fixture f;
        f.port.setOutBufSize(16);
        if (open)
            f.open(1);
        try {
            f.port.SendText(std::string(std::size_t(length), 'A'));
            QFAIL("no error");
        } catch (const EAfComPortError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), message);
        }
        if (open)
            QCOMPARE(f.pty1.receive(1, 100), std::string()); // nothing of it was sent
    }

    void anEmptyTextSendsNothing() {
        Fixture f;
        f.port.SendText(""); // even closed: no error
        f.open(1);
        f.port.SendText("");
        QCOMPARE(f.pty1.receive(1, 100), std::string());
    }

    void queueSizesAreFixedWhileOpen() {
        Fixture f;
        f.open(1);
        f.port.setInBufSize(8192); // the same value is no change
        try {
            f.port.setOutBufSize(4096);
            QFAIL("no error");
        } catch (const EAfComPortError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QString("Port is not closed - AfComPort1 "));
        }
        QCOMPARE(f.port.OutBufSize(), 2048);
    }

    void repliesArriveThroughOnDataRecived() {
        Fixture f;
        QStringList texts;
        QList<int> counts;
        f.port.OnDataRecived = [&](TAfComPort& sender, std::int32_t count) {
            f.log << "DataRecived";
            counts << count;
            texts << QString::fromLatin1(sender.ReadAllText());
        };
        f.open(1);
        f.log.clear();
        QVERIFY(f.pty1.send("AT\r\r\nOK\r\n"));
        QTRY_COMPARE(texts.size(), 1);
        QCOMPARE(texts.first(), QString("AT\r\r\nOK\r\n"));
        QCOMPARE(counts.first(), 9);
        QCOMPARE(f.log, (QStringList{QString("Sync 1 %1").arg(EV_RXCHAR), "DataRecived"}));
        QCOMPARE(f.port.ReadAllText(), std::string());
    }

    void textGoesOutByteForByte() {
        Fixture f;
        f.open(1);
        std::string all;
        for (int b = 0; b < 256; ++b)
            all.push_back(char(b));
        f.port.SendText(all);
        QCOMPARE(f.pty1.receive(all.size()), all);
        QTRY_VERIFY(f.log.contains("OutBufFree"));
        QCOMPARE(f.log.at(f.log.indexOf("OutBufFree") - 1), QString("Sync 0 0"));
    }

    void nonSyncHandlerTakesEveryEventOnTheReceiveThread() {
        Fixture f;
        std::atomic<int> received{0};
        std::atomic<bool> onGuiThread{false};
        const std::thread::id gui = std::this_thread::get_id();
        int dataRecived = 0;
        f.port.OnDataRecived = [&](TAfComPort&, std::int32_t) { ++dataRecived; };
        f.port.OnNonSyncEvent = [&](TAfComPort&, int kind, std::uint32_t) {
            if (std::this_thread::get_id() == gui)
                onGuiThread = true;
            if (kind == ckCommEvents)
                ++received;
        };
        f.open(1);
        QVERIFY(f.pty1.send("RING\r\n"));
        QTRY_VERIFY(received > 0);
        QCoreApplication::processEvents();
        QCOMPARE(dataRecived, 0);
        QVERIFY(!onGuiThread);
        QVERIFY(!f.log.join(',').contains("Sync"));
    }

    void anErrorOnTheReceiveThreadIsReportedOnTheGuiThread() {
        Fixture f;
        f.port.OnNonSyncEvent = [](TAfComPort&, int kind, std::uint32_t) {
            if (kind == ckCommEvents)
                throw std::runtime_error("handler failed");
        };
        f.open(1);
        QVERIFY(f.pty1.send("x"));
        QTRY_COMPARE(application().escaped, QStringList{"handler failed"});
        QVERIFY(f.log.contains(QString("Sync %1 0").arg(ckThreadError)));
    }

    void closingWhileAHandOverWaitsEndsAtOnce() {
        Fixture f;
        int dataRecived = 0;
        f.port.OnDataRecived = [&](TAfComPort&, std::int32_t) { ++dataRecived; };
        f.open(1);
        QVERIFY(f.pty1.send("+CMTI: \"SM\",1\r\n"));
        QVERIFY(blockUntil([&] { return f.delivery.PendingCalls() == 1; }));
        QElapsedTimer closing;
        closing.start();
        f.port.Close();
        QVERIFY2(closing.elapsed() < 500, qPrintable(QString::number(closing.elapsed())));
        QCoreApplication::processEvents();
        QCOMPARE(dataRecived, 0); // dropped
        QCOMPARE(f.log.last(), QString("PortClose"));
    }

    void destroyingAnOpenPortWithAWaitingHandOverEndsAtOnce() {
        LinePair pty;
        TAfSafeSync delivery;
        auto port = std::make_unique<TAfComPort>("AfComPort1", delivery, [&](int) { return pty.path(); });
        int dataRecived = 0;
        port->OnDataRecived = [&](TAfComPort&, std::int32_t) { ++dataRecived; };
        port->setComNumber(1);
        port->Open();
        QVERIFY(pty.send("RING\r\n"));
        QVERIFY(blockUntil([&] { return delivery.PendingCalls() == 1; }));
        QElapsedTimer destroying;
        destroying.start();
        port.reset();
        QVERIFY2(destroying.elapsed() < 500, qPrintable(QString::number(destroying.elapsed())));
        QCoreApplication::processEvents();
        QCOMPARE(dataRecived, 0);
    }

#ifndef _WIN32
    // ---- termios and pseudo-terminal specifics ----

    void changesWhileOpen() {
        Fixture f;
        PtyPair pty2;
        f.secondDevice = pty2.path();
        f.open(1);
        f.port.setBaudRate(br57600);
        QCOMPARE(platform::arbitrary_speed::speed(f.pty1.slave()).value_or(0), 57600u);
        f.log.clear();
        f.port.setComNumber(2);
        QCOMPARE(f.log, (QStringList{"PortClose", "PortOpen"}));
        QVERIFY(f.port.IsOpen());
        f.port.SendText("AT\r");
        QCOMPARE(pty2.receive(3), std::string("AT\r"));
        QCOMPARE(f.pty1.receive(1, 100), std::string());
    }

    void aSettingThePortCannotTakeFailsAndShowsWhatItHas() {
        Fixture f;
        f.open(1);
        try {
            f.port.setParity(paEven); // a pty keeps no parity
            QFAIL("no error");
        } catch (const EAfComPortCoreError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QString("Error setting parameters from DCB"));
        }
        QCOMPARE(int(f.port.Dcb().Parity), 0);
        QVERIFY(f.port.IsOpen());
    }
#endif
};

int main(int argc, char** argv) {
    RecordingApplication app(argc, argv);
    ComPortTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_com_port.moc"
