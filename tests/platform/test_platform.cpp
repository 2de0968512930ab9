#include "platform/com_names.h"
#include "platform/cp1250.h"
#include "platform/device_paths.h"
#include "platform/serial_fault.h"
#include "platform/settings_location.h"
#include "platform/smart_card.h"

#include <cerrno>
#include <cstring>
#include <QTemporaryDir>
#include <QtTest>

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void cp1250RoundTripsEveryByte() {
        std::string all;
        for (int b = 1; b < 256; ++b)
            all.push_back(char(b));
        QCOMPARE(platform::utf16ToCp1250(platform::cp1250ToUtf16(all)), all);
    }

    void cp1250CzechLetters() {
        const std::u16string czech = u"Čas příliš žluťoučký €";
        const std::string bytes = platform::utf16ToCp1250(czech);
        QCOMPARE(static_cast<unsigned char>(bytes[0]), 0xC8);     // Č
        QCOMPARE(static_cast<unsigned char>(bytes.back()), 0x80); // €
        QCOMPARE(platform::cp1250ToUtf16(bytes), czech);
    }

    void cp1250UnmappableBecomesQuestionMark() {
        QCOMPARE(platform::utf16ToCp1250(u"a\u4E2Db"), std::string("a?b"));
    }

    void settingsDirectoryRule_data() {
        QTest::addColumn<QString>("executableDirectory");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build tree: beside the executable") << "/home/u/src/build" << true << "/x/cfg"
                                                           << "/home/u/src/build";
        QTest::newRow("read-only folder, xdg set") << "/opt/tool" << false << "/x/cfg"
                                                   << "/x/cfg/alarmgsm";
        QTest::newRow("read-only folder, xdg unset") << "/opt/tool" << false << ""
                                                     << "/home/u/.config/alarmgsm";
        QTest::newRow("installed, writable as root") << "/usr/bin" << true << ""
                                                     << "/home/u/.config/alarmgsm";
        QTest::newRow("installed into the build's prefix") << "/opt/korvex/bin" << true << "/x/cfg"
                                                           << "/x/cfg/alarmgsm";
        QTest::newRow("installed for one user") << "/home/u/.local/bin" << true << ""
                                                << "/home/u/.config/alarmgsm";
        QTest::newRow("a folder below a system one is portable") << "/usr/bin/tool" << true << ""
                                                                 << "/usr/bin/tool";
    }
    void settingsDirectoryRule() {
        QFETCH(QString, executableDirectory);
        QFETCH(bool, writable);
        QFETCH(QString, xdg);
        QFETCH(QString, expected);
        const auto chosen =
            platform::chooseSettingsDirectory({executableDirectory.toStdString(),
                                               writable,
                                               xdg.toStdString(),
                                               "/home/u",
                                               {"/usr/bin", "/usr/local/bin", "/opt/korvex/bin"}});
        QCOMPARE(QString::fromStdString(chosen), expected);
    }

    void windowsSettingsDirectoryRule_data() {
        QTest::addColumn<QString>("executableDirectory");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("appData");
        QTest::addColumn<QString>("expected");
        const QString appData = "C:\\Users\\u\\AppData\\Roaming";
        QTest::newRow("portable folder: beside the executable")
            << "D:\\Tools\\alarmgsm" << true << appData << "D:\\Tools\\alarmgsm";
        QTest::newRow("installed, writable by an administrator")
            << "C:\\Program Files\\Alarm GSM" << true << appData << appData + "\\alarmgsm";
        QTest::newRow("installed, spelled otherwise")
            << "c:/PROGRAM FILES/Alarm GSM/" << true << appData << appData + "\\alarmgsm";
        QTest::newRow("32-bit programs folder")
            << "C:\\Program Files (x86)\\Alarm GSM" << true << appData << appData + "\\alarmgsm";
        QTest::newRow("read-only folder") << "E:\\alarmgsm" << false << appData << appData + "\\alarmgsm";
        QTest::newRow("a folder beside Program Files is portable")
            << "C:\\Program Files Tools\\alarmgsm" << true << appData << "C:\\Program Files Tools\\alarmgsm";
        QTest::newRow("no roaming folder known") << "E:\\alarmgsm" << false << ""
                                                 << "E:\\alarmgsm";
    }
    void windowsSettingsDirectoryRule() {
        QFETCH(QString, executableDirectory);
        QFETCH(bool, writable);
        QFETCH(QString, appData);
        QFETCH(QString, expected);
        const auto chosen =
            platform::chooseWindowsSettingsDirectory({executableDirectory.toStdString(),
                                                      writable,
                                                      appData.toStdString(),
                                                      {"C:\\Program Files", "C:\\Program Files (x86)"}});
        QCOMPARE(QString::fromStdString(chosen), expected);
    }

#ifdef Q_OS_WIN
    void portsAreKnownByTheirComName_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isDevice");
        QTest::newRow("device namespace") << "\\\\.\\COM12"
                                          << "COM12" << true;
        QTest::newRow("plain name") << "COM7"
                                    << "COM7" << false;
        QTest::newRow("lower case") << "com3"
                                    << "COM3" << false;
        QTest::newRow("no number") << "\\\\.\\COM"
                                   << "COM" << false;
        QTest::newRow("trailing text") << "\\\\.\\COM7 "
                                       << "COM7 " << false;
        QTest::newRow("another device") << "\\\\.\\NUL"
                                        << "NUL" << false;
    }
    void portsAreKnownByTheirComName() {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(bool, isDevice);
        QCOMPARE(QString::fromStdString(platform::deviceName(path.toStdString())), name);
        QCOMPARE(platform::isDevicePath(path.toStdString()), isDevice);
        // What the menu remembers opens the port, above COM9 too.
        QCOMPARE(QString::fromStdString(platform::stableDevicePath(path.toStdString())), "\\\\.\\" + name);
        QVERIFY(platform::sameDevice(path.toStdString(), name.toLower().toStdString()));
    }

    void settingsOfAPortableCopyLieBesideIt() {
        const std::string beside = platform::executableDirectory();
        QCOMPARE(QDir(QString::fromStdString(beside)), QDir(QCoreApplication::applicationDirPath()));
        QCOMPARE(QDir(QString::fromStdString(platform::settingsDirectory())),
                 QDir(QCoreApplication::applicationDirPath()));
    }

    // The plain name "COMn" opens only ports 1 to 9; a USB adapter is often COM10 or higher.
    void comNameIsInTheDeviceNamespace() {
        QCOMPARE(platform::comDevicePath("C:/Program Files/alarmgsm", 3), std::string("\\\\.\\COM3"));
        QCOMPARE(platform::comDevicePath("C:/Program Files/alarmgsm", 12), std::string("\\\\.\\COM12"));
    }
#else
    void comNameFollowsItsLinkOrDefaultsToTtyS() {
        QTemporaryDir dir;
        const std::string settings = dir.path().toStdString();
        QCOMPARE(platform::comDevicePath(settings, 3), std::string("/dev/ttyS2"));
        QVERIFY(QDir(dir.path()).mkdir("dosdevices"));
        // A dangling link still names the port, so a vanished device is reported as missing.
        QVERIFY(QFile::link("/dev/pts/does-not-exist", dir.filePath("dosdevices/com3")));
        QCOMPARE(platform::comDevicePath(settings, 3), settings + "/dosdevices/com3");
        QCOMPARE(platform::comDevicePath(settings, 4), std::string("/dev/ttyS3"));
        // What the item stands for is where the link leads, even while that device is gone.
        QCOMPARE(platform::deviceTarget(settings + "/dosdevices/com3"),
                 std::string("/dev/pts/does-not-exist"));
    }

    void aDeviceIsRememberedByItsStableLink() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("dev/serial/by-id"));
        const std::string device = dir.filePath("dev/ttyUSB0").toStdString();
        const std::string byId = dir.filePath("dev/serial/by-id").toStdString();
        const std::string link = byId + "/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        QVERIFY(QFile(QString::fromStdString(device)).open(QIODevice::WriteOnly));
        QCOMPARE(platform::stableDevicePath(device, byId), device); // no link yet
        QVERIFY(QFile::link("../../ttyUSB0", QString::fromStdString(link)));
        QVERIFY(QFile::link("../../ttyUSB1", dir.filePath("dev/serial/by-id/usb-other-if00-port0")));
        QCOMPARE(platform::stableDevicePath(device, byId), link);
        QVERIFY(platform::sameDevice(link, device));
        QCOMPARE(platform::deviceName(link), std::string("ttyUSB0"));
        // Unplugged: the link dangles, yet still names the device it led to.
        QVERIFY(QFile::remove(QString::fromStdString(device)));
        QCOMPARE(platform::deviceName(link), std::string("ttyUSB0"));
        QCOMPARE(platform::stableDevicePath(device, byId), link);
    }
#endif

    void openFailuresSayWhy_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("cause");
#ifdef _WIN32
        // GetLastError() codes: a port opened without sharing refuses the next opener as "access
        // denied"; what the driver refuses otherwise is told in the system's words.
        QTest::newRow("no such port") << 2 << "Zařízení /dev/ttyUSB0 není připojeno.";
        QTest::newRow("no such path") << 3 << "Zařízení /dev/ttyUSB0 není připojeno.";
        QTest::newRow("held by another program") << 5 << "Port používá jiný program.";
        QTest::newRow("sharing violation") << 32 << "Port používá jiný program.";
        QTest::newRow("refused by the driver") << 31 << QString::fromStdString(platform::systemErrorText(31));
#else
        QTest::newRow("no permission") << EACCES
                                       << "Nemáte oprávnění k zařízení /dev/ttyUSB0: přidejte se do skupiny "
                                          "dialout a přihlaste se znovu.";
        QTest::newRow("not connected") << ENOENT << "Zařízení /dev/ttyUSB0 není připojeno.";
        QTest::newRow("adapter gone") << ENODEV << "Zařízení /dev/ttyUSB0 není připojeno.";
        QTest::newRow("exclusive flag of another program") << EBUSY << "Port používá jiný program.";
        QTest::newRow("lock of another program") << EWOULDBLOCK << "Port používá jiný program.";
        QTest::newRow("anything else") << EIO << QString::fromLocal8Bit(std::strerror(EIO));
#endif
    }
    void openFailuresSayWhy() {
        QFETCH(int, error);
        QFETCH(QString, cause);
        const std::string text =
            platform::serialFaultCause(platform::serialFaultFromSystemError(error), error, "/dev/ttyUSB0");
        QCOMPARE(QString::fromStdString(text), cause);
    }

    // The codes as both systems number them; the texts name the reader the user chose.
    void smartCardFaultsTellTheUser_data() {
        using platform::SmartCardFault;
        QTest::addColumn<qlonglong>("code");
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, unsigned long code, SmartCardFault fault, const QString& text) {
            QTest::newRow(name) << qlonglong(long(code)) << int(fault) << text;
        };
#ifdef Q_OS_WIN
        const QString noService =
            "Služba Čipová karta neběží: připojte čtečku nebo službu spusťte ve Službách systému Windows.";
#else
        const QString noService = "Služba čipových karet neběží: spusťte pcscd.";
#endif
        row("success", 0, SmartCardFault::None, "");
        row("no service", 0x8010001Dul, SmartCardFault::NoService, noService);
        row("service stopped", 0x8010001Eul, SmartCardFault::NoService, noService);
        row("no reader attached", 0x8010002Eul, SmartCardFault::NoReaders,
            "Není připojena žádná čtečka čipových karet: připojte ji.");
        for (const auto& [name, code] :
             {std::pair{"reader unplugged", 0x80100017ul}, {"unknown reader", 0x80100009ul}})
            row(name, code, SmartCardFault::ReaderGone,
                "Čtečka R 0 není připojena: připojte ji a zvolte ji znovu.");
        row("no card", 0x8010000Cul, SmartCardFault::NoCard, "Ve čtečce R 0 není karta: vložte do ní SIM.");
        for (const auto& [name, code] : {std::pair{"card removed", 0x80100069ul},
                                         {"card reset by another program", 0x80100068ul},
                                         {"transfer cut short", 0x80100016ul}})
            row(name, code, SmartCardFault::CardRemoved,
                "Karta byla ze čtečky R 0 vyjmuta nebo restartována: vložte ji a začněte znovu.");
        row("held by another program", 0x8010000Bul, SmartCardFault::InUse,
            "Kartu ve čtečce R 0 používá jiný program: ukončete ho.");
        for (const auto& [name, code] :
             {std::pair{"unresponsive", 0x80100066ul}, {"unpowered", 0x80100067ul}})
            row(name, code, SmartCardFault::Unresponsive,
                "Karta ve čtečce R 0 neodpovídá: vložte ji znovu, čipem správně.");
    }
    void smartCardFaultsTellTheUser() {
        QFETCH(qlonglong, code);
        QFETCH(int, fault);
        QFETCH(QString, text);
        const platform::SmartCardError error{platform::smartCardFaultOf(long(code)), long(code)};
        QCOMPARE(int(error.fault), fault);
        QCOMPARE(QString::fromStdString(platform::smartCardFaultText(error, "R 0")), text);
    }

    // The rest in the system's words, with the code to look up.
    void otherSmartCardFaultsQuoteTheSystem() {
        const long internal = long(0x80100001ul);
        const platform::SmartCardError error{platform::smartCardFaultOf(internal), internal};
        QCOMPARE(int(error.fault), int(platform::SmartCardFault::Other));
        const QString text = QString::fromStdString(platform::smartCardFaultText(error, "R 0"));
        // Wine has no text for it.
        const bool quoted = text.startsWith("Čipovou kartu nelze použít: ") &&
                            text.endsWith(" (0x80100001).") && text.size() > 45;
        QVERIFY2(quoted || text == "Čipovou kartu nelze použít (chyba 0x80100001).", qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "test_platform.moc"
