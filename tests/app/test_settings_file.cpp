#include "app/settings_file.h"

#include <fstream>
#include <QTemporaryDir>
#include <QtTest>
#include <sstream>

class SettingsFileTest : public QObject {
    Q_OBJECT

    static void spit(const QString& path, const QByteArray& content) {
        std::ofstream(path.toStdString(), std::ios::binary) << content.toStdString();
    }
    static QByteArray slurp(const QString& path) {
        std::ifstream in(path.toStdString(), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return QByteArray::fromStdString(content.str());
    }

private slots:
    // The command line never writes the file: it reads a missing one as the defaults and leaves it so.
    void missingFileIsCreatedEmpty() {
        QTemporaryDir dir;
        const SettingsFile file(dir.path().toStdString());
        const StoredSettings untouched = file.readExisting();
        QCOMPARE(untouched.portNumber, 0);
        QCOMPARE(untouched.smscNumber, std::string(kDefaultSmscNumber));
        QVERIFY(!QFileInfo::exists(dir.filePath("setting.ini")));
        const StoredSettings settings = file.read();
        QCOMPARE(settings.portNumber, 0);
        QCOMPARE(settings.smscNumber, std::string(kDefaultSmscNumber));
        QVERIFY(QFileInfo::exists(dir.filePath("setting.ini")));
        QCOMPARE(QFileInfo(dir.filePath("setting.ini")).size(), 0);
    }

    void reads_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("smsc");
        QTest::newRow("empty file") << QByteArray() << 0 << "" << kDefaultSmscNumber;
        QTest::newRow("port and number") << QByteArray("COM3\r\n+420777000111\r\n") << 3 << ""
                                         << "+420777000111";
        QTest::newRow("lower case port") << QByteArray("com3\r\n+420777000111\r\n") << 0 << ""
                                         << "+420777000111";
        QTest::newRow("trailing blank") << QByteArray("COM3 \r\n\r\n") << 0 << "" << kDefaultSmscNumber;
        QTest::newRow("only line one") << QByteArray("COM6\r\n") << 6 << "" << kDefaultSmscNumber;
        QTest::newRow("space means no port") << QByteArray(" \r\nxyz\r\n") << 0 << ""
                                             << "xyz";
        QTest::newRow("later lines ignored") << QByteArray("COM1\r\n+1\r\nCOM2\r\n") << 1 << ""
                                             << "+1";
#ifdef Q_OS_WIN
        // A USB cable's port beyond the six fixed ones is remembered by the path that opens it.
        QTest::newRow("port above six")
            << QByteArray("\\\\.\\COM7\r\n") << 0 << "\\\\.\\COM7" << kDefaultSmscNumber;
        QTest::newRow("two-digit port") << QByteArray("\\\\.\\COM12\r\n+1\r\n") << 0 << "\\\\.\\COM12"
                                        << "+1";
        QTest::newRow("plain name above six") << QByteArray("COM7\r\n") << 0 << "" << kDefaultSmscNumber;
        QTest::newRow("a path is no port") << QByteArray("/dev/ttyUSB0\r\n") << 0 << "" << kDefaultSmscNumber;
#else
        QTest::newRow("port above six") << QByteArray("COM7\r\n") << 0 << "" << kDefaultSmscNumber;
        QTest::newRow("device path") << QByteArray("/dev/ttyUSB0\r\n+1\r\n") << 0 << "/dev/ttyUSB0"
                                     << "+1";
        QTest::newRow("stable link of a device")
            << QByteArray("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\r\n") << 0
            << "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0" << kDefaultSmscNumber;
        QTest::newRow("relative path is no port")
            << QByteArray("dev/ttyUSB0\r\n") << 0 << "" << kDefaultSmscNumber;
#endif
    }
    void reads() {
        QFETCH(QByteArray, content);
        QFETCH(int, port);
        QFETCH(QString, device);
        QFETCH(QString, smsc);
        QTemporaryDir dir;
        spit(dir.filePath("setting.ini"), content);
        const SettingsFile file(dir.path().toStdString());
        for (const StoredSettings& settings : {file.read(), file.readExisting()}) {
            QCOMPARE(settings.portNumber, port);
            QCOMPARE(QString::fromStdString(settings.devicePath), device);
            QCOMPARE(QString::fromStdString(settings.smscNumber), smsc);
        }
    }

    void writes_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("smsc");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no port") << 0 << "" << kDefaultSmscNumber << QByteArray(" \r\n+420603052000\r\n");
        QTest::newRow("com2") << 2 << ""
                              << "+420777000111" << QByteArray("COM2\r\n+420777000111\r\n");
        QTest::newRow("empty centre") << 1 << ""
                                      << "" << QByteArray("COM1\r\n\r\n");
#ifdef Q_OS_WIN
        QTest::newRow("port above six") << 0 << "\\\\.\\COM12"
                                        << "+1" << QByteArray("\\\\.\\COM12\r\n+1\r\n");
#else
        QTest::newRow("device path") << 0 << "/dev/ttyACM0"
                                     << "+1" << QByteArray("/dev/ttyACM0\r\n+1\r\n");
#endif
    }
    void writes() {
        QFETCH(int, port);
        QFETCH(QString, device);
        QFETCH(QString, smsc);
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const SettingsFile file(dir.path().toStdString());
        file.write({port, device.toStdString(), smsc.toStdString(), {}});
        QCOMPARE(slurp(dir.filePath("setting.ini")), content);
        const StoredSettings back = file.read();
        QCOMPARE(back.portNumber, port);
        QCOMPARE(QString::fromStdString(back.devicePath), device);
        QCOMPARE(QString::fromStdString(back.smscNumber),
                 smsc.isEmpty() ? QString(kDefaultSmscNumber) : smsc);
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "test_settings_file.moc"
