#include "serial/AfCircularBuffer.h"

#include <QtTest>
#include <string>

namespace {

std::string contiguous(const TAfCircularBuffer& ring) {
    return std::string(reinterpret_cast<const char*>(ring.ReadPointer()), std::size_t(ring.ContiguousUsed()));
}

// Takes what a writer would send, piece by piece, until the ring is empty.
std::string drain(TAfCircularBuffer& ring, int* pieces = nullptr) {
    std::string all;
    int count = 0;
    while (ring.Used() > 0) {
        const std::string piece = contiguous(ring);
        all += piece;
        ++count;
        if (!ring.Remove(std::int32_t(piece.size())))
            break;
    }
    if (pieces)
        *pieces = count;
    return all;
}

} // namespace

class CircularBufferTest : public QObject {
    Q_OBJECT
private slots:
    void writeThatWrapsComesOutInTwoPieces() {
        TAfCircularBuffer ring(8);
        QVERIFY(ring.Write("abcdef", 6));
        QVERIFY(ring.Remove(5));         // read position 5, write position 6
        QVERIFY(ring.Write("ghijk", 5)); // 2 bytes up to the end, 3 from the start
        QCOMPARE(ring.Used(), 6);
        QCOMPARE(contiguous(ring), std::string("fgh"));
        int pieces = 0;
        QCOMPARE(drain(ring, &pieces), std::string("fghijk"));
        QCOMPARE(pieces, 2);
    }

    void fillsExactlyAndRefusesOneByteMore_data() {
        QTest::addColumn<int>("consumedFirst");
        QTest::newRow("from the start") << 0;
        QTest::newRow("across the end") << 3;
    }
    void fillsExactlyAndRefusesOneByteMore() {
        QFETCH(int, consumedFirst);
        TAfCircularBuffer ring(6);
        if (consumedFirst > 0) {
            QVERIFY(ring.Write("xxx", consumedFirst));
            QVERIFY(ring.Remove(consumedFirst));
        }
        QVERIFY(ring.Write("12345", 5));
        QVERIFY(!ring.Write("67", 2)); // all or nothing
        QCOMPARE(ring.Used(), 5);
        QVERIFY(ring.Write("6", 1));
        QCOMPARE(ring.Used(), 6);
        QCOMPARE(ring.Free(), 0);
        QVERIFY(!ring.Write("7", 1));
        QCOMPARE(drain(ring), std::string("123456"));
    }

    void refusesEmptyAndNegativeCounts() {
        TAfCircularBuffer ring(4);
        QVERIFY(!ring.Write("a", 0));
        QVERIFY(!ring.Write("a", -1));
        QCOMPARE(ring.Used(), 0);
        QVERIFY(ring.Write("ab", 2));
        QVERIFY(!ring.Remove(-1));
        QCOMPARE(ring.Used(), 2);
    }

    void removalBeyondTheQueueChangesNothing() {
        TAfCircularBuffer ring(4);
        QVERIFY(ring.Write("abcd", 4));
        QVERIFY(!ring.Remove(5));
        QCOMPARE(ring.Used(), 4);
        QVERIFY(ring.Remove(0)); // a full ring stays full
        QCOMPARE(ring.Used(), 4);
        QVERIFY(ring.Remove(4));
        QCOMPARE(ring.Used(), 0);
        QCOMPARE(ring.Free(), 4);
    }

    void clearEmptiesAFullRing() {
        TAfCircularBuffer ring(3);
        QVERIFY(ring.Write("abc", 3));
        ring.Clear();
        QCOMPARE(ring.Used(), 0);
        QVERIFY(ring.Write("de", 2));
        QCOMPARE(drain(ring), std::string("de"));
    }
};

QTEST_GUILESS_MAIN(CircularBufferTest)
#include "test_circular_buffer.moc"
