#include "platform/text_file.h"

#include <fstream>
#include <QTemporaryDir>
#include <QtTest>
#include <sstream>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include "support/file_size_limit.h"
#endif

using platform::IoError;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void spit(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

} // namespace

class TextFileTest : public QObject {
    Q_OBJECT
private slots:
    void splitsByTheLineRules_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("crlf lines") << QByteArray("a\r\nb\r\n") << 8 << QStringList{"a", "b"};
        QTest::newRow("lone cr ends a line") << QByteArray("a\rb") << 8 << QStringList{"a", "b"};
        QTest::newRow("lone lf does not end a line") << QByteArray("a\nb\nc") << 8 << QStringList{"a\nb\nc"};
        QTest::newRow("ctrl-z ends the data")
            << QByteArray("a\r\nb\x1a\r\nc\r\n") << 8 << QStringList{"a", "b"};
        QTest::newRow("empty lines kept") << QByteArray("\r\n\r\nx") << 8 << QStringList{"", "", "x"};
        QTest::newRow("only lines asked for") << QByteArray("1\r\n2\r\n3\r\n") << 2 << QStringList{"1", "2"};
        QTest::newRow("empty file") << QByteArray() << 8 << QStringList{};
    }
    void splitsByTheLineRules() {
        QFETCH(QByteArray, content);
        QFETCH(int, maxLines);
        QFETCH(QStringList, lines);
        const auto got = platform::splitTextLines(content.toStdString(), std::size_t(maxLines));
        QStringList actual;
        for (const auto& line : got)
            actual << QString::fromStdString(line);
        QCOMPARE(actual, lines);
    }

    void readsLongLinesWhole() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("long.txt").toStdString();
        const std::string line(100000, 'x');
        spit(path, line + "\r\nnext\r\n");
        const auto lines = platform::readTextLines(path, 8);
        QCOMPARE(lines.size(), std::size_t(2));
        QCOMPARE(lines[0].size(), line.size());
    }

    void writesCrLfLines() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("out.par").toStdString();
        platform::writeTextLines(path, {"+000000000000", "", "end"});
        QCOMPARE(slurp(path), std::string("+000000000000\r\n\r\nend\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.par"});
    }

#ifndef Q_OS_WIN
    void failedSaveKeepsTheOldFile() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("kept.num").toStdString();
        spit(path, "old content\r\n");
        // A file-size limit makes the write fail half-way, as a full disk would.
        QVERIFY(
            failsOnAFullDisk(8, [&] { platform::writeTextLines(path, {"a new and much longer content"}); }));
        QCOMPARE(slurp(path), std::string("old content\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.num"});
    }

    void fullDiskReportsDiskFull() {
        try {
            platform::writeTextLines("/dev/full", {"+000000000000", "+000000000000"});
            QFAIL("writing to /dev/full succeeded");
        } catch (const IoError& error) {
            QCOMPARE(std::string(error.what()), std::string("Disk full"));
        }
    }

    void savingThroughALinkKeepsTheLink() {
        QTemporaryDir dir;
        const std::string target = dir.filePath("real.sms").toStdString();
        const std::string link = dir.filePath("link.sms").toStdString();
        spit(target, "old\r\n");
        QVERIFY(QFile::link(QString::fromStdString(target), QString::fromStdString(link)));
        platform::writeTextLines(link, {"new"});
        QVERIFY(QFileInfo(QString::fromStdString(link)).isSymLink());
        QCOMPARE(slurp(target), std::string("new\r\n"));
    }
#else
    // Another program that holds the file open without sharing its deletion (as editors and
    // spreadsheets do) makes the replacement fail: the save says so and the old content stays.
    void aFileHeldByAnotherProgramKeepsItsContent() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("held.num").toStdString();
        spit(path, "old content\r\n");
        const HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        QVERIFY(held != INVALID_HANDLE_VALUE);
        QVERIFY_THROWS_EXCEPTION(IoError, platform::writeTextLines(path, {"new"}));
        ::CloseHandle(held);
        QCOMPARE(slurp(path), std::string("old content\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"held.num"});
    }

    void aPathInUtf8ReachesTheFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromUtf8("čísla příliš.num"));
        platform::writeTextLines(path.toStdString(), {"+420603123456"});
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(platform::readTextLines(path.toStdString(), 8), std::vector<std::string>{"+420603123456"});
    }
#endif

    void errorTexts_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
#ifdef Q_OS_WIN
        QTest::newRow("missing") << int(ERROR_FILE_NOT_FOUND) << "File not found";
        QTest::newRow("missing folder") << int(ERROR_PATH_NOT_FOUND) << "File not found";
        QTest::newRow("permission") << int(ERROR_ACCESS_DENIED) << "File access denied";
        QTest::newRow("full") << int(ERROR_DISK_FULL) << "Disk full";
        QTest::newRow("held by another program") << int(ERROR_SHARING_VIOLATION) << "I/O error 32";
#else
        QTest::newRow("missing") << ENOENT << "File not found";
        QTest::newRow("permission") << EACCES << "File access denied";
        QTest::newRow("read-only fs") << EROFS << "File access denied";
        QTest::newRow("full") << ENOSPC << "Disk full";
        QTest::newRow("other") << EIO << QString("I/O error %1").arg(EIO);
#endif
    }
    void errorTexts() {
        QFETCH(int, error);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(platform::ioErrorText(error)), text);
    }

    void readingAMissingFileFails() {
        QVERIFY_THROWS_EXCEPTION(IoError, platform::readTextLines("/nonexistent/file.par", 2));
    }
};

QTEST_GUILESS_MAIN(TextFileTest)
#include "test_text_file.moc"
