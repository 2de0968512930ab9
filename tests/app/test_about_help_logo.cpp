// The logo decoder on pictures encoded here with known content, on damaged input and on the
// built-in logo.
#include "app/about_logo.h"

#include <cstdio>
#include <cstdlib>
#include <QFile>
#include <QImage>
#include <QtTest>
#include <vector>

#include <jpeglib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Left half red, right half blue; in grey the left half light and the right half dark.
Bytes encode(int width, int height, bool colour) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = colour ? 3 : 1;
    info.in_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    const int components = colour ? 3 : 1;
    std::vector<unsigned char> row(std::size_t(width * components));
    for (int x = 0; x < width; ++x) {
        const bool left = x < width / 2;
        if (colour) {
            row[std::size_t(x * 3)] = left ? 220 : 0;
            row[std::size_t(x * 3 + 1)] = 0;
            row[std::size_t(x * 3 + 2)] = left ? 0 : 220;
        } else {
            row[std::size_t(x)] = left ? 200 : 40;
        }
    }
    while (info.next_scanline < info.image_height) {
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

bool near(int actual, int expected) {
    return std::abs(actual - expected) <= 24;
}

// Start of frame: FF C0 length(2) precision(1) height(2) width(2).
void setFrameSize(Bytes& bytes, int width, int height) {
    for (std::size_t i = 0; i + 9 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = std::uint8_t(height >> 8);
            bytes[i + 6] = std::uint8_t(height);
            bytes[i + 7] = std::uint8_t(width >> 8);
            bytes[i + 8] = std::uint8_t(width);
            return;
        }
    }
    QFAIL("no start-of-frame marker");
}

} // namespace

class TestAboutLogo : public QObject {
    Q_OBJECT
private slots:
    void decodesColourAndGreyToRgb_data();
    void decodesColourAndGreyToRgb();
    void refusesDamagedPictures_data();
    void refusesDamagedPictures();
    void builtInLogoDecodes();
};

void TestAboutLogo::decodesColourAndGreyToRgb_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("colour");
    // An odd width: QImage pads its rows, the decoder's buffer does not.
    QTest::newRow("colour, odd width") << 37 << 23 << true;
    QTest::newRow("colour, logo size") << 100 << 120 << true;
    QTest::newRow("grey") << 32 << 16 << false;
}

void TestAboutLogo::decodesColourAndGreyToRgb() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, colour);
    const Bytes bytes = encode(width, height, colour);
    const auto picture = about_logo::decodeJpeg(bytes.data(), bytes.size());
    QVERIFY(picture);
    QCOMPARE(picture->width, width);
    QCOMPARE(picture->height, height);

    const QImage image = about_logo::toImage(*picture);
    QCOMPARE(image.size(), QSize(width, height));
    // Away from the seam, where the compression smears the two halves together.
    for (int y : {0, height / 2, height - 1}) {
        const QColor left = image.pixelColor(2, y);
        const QColor right = image.pixelColor(width - 3, y);
        if (colour) {
            QVERIFY2(near(left.red(), 220) && near(left.green(), 0) && near(left.blue(), 0),
                     qPrintable(left.name()));
            QVERIFY2(near(right.red(), 0) && near(right.green(), 0) && near(right.blue(), 220),
                     qPrintable(right.name()));
        } else {
            QVERIFY2(near(left.red(), 200) && left.red() == left.green() && left.green() == left.blue(),
                     qPrintable(left.name()));
            QVERIFY2(near(right.red(), 40), qPrintable(right.name()));
        }
    }
}

void TestAboutLogo::refusesDamagedPictures_data() {
    QTest::addColumn<QByteArray>("bytes");
    const Bytes good = encode(160, 120, true);
    const auto asArray = [](const Bytes& bytes) {
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    };
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("this is no picture at all, only text", 36);
    QTest::newRow("only the start marker") << asArray(Bytes(good.begin(), good.begin() + 2));
    QTest::newRow("cut inside the header") << asArray(Bytes(good.begin(), good.begin() + 100));
    // libjpeg only warns here and pads the picture with grey.
    QTest::newRow("cut inside the scan")
        << asArray(Bytes(good.begin(), good.begin() + qsizetype(good.size()) * 2 / 3));
    Bytes huge = good;
    setFrameSize(huge, 60000, 60000);
    QTest::newRow("header claims a huge picture") << asArray(huge);
    Bytes noWidth = good;
    setFrameSize(noWidth, 0, 120);
    QTest::newRow("header claims no width") << asArray(noWidth);
}

void TestAboutLogo::refusesDamagedPictures() {
    QFETCH(QByteArray, bytes);
    const auto picture = about_logo::decodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                std::size_t(bytes.size()));
    QVERIFY(!picture);
}

void TestAboutLogo::builtInLogoDecodes() {
    const QImage logo = about_logo::logo();
    QCOMPARE(logo.size(), QSize(100, 120));
    // Colour, not grey: the emblem's blue disc lies at the middle of the upper part.
    const QColor disc = logo.pixelColor(50, 70);
    QVERIFY2(disc.blue() > disc.red() + 40, qPrintable(disc.name()));
}

QTEST_MAIN(TestAboutLogo)
#include "test_about_help_logo.moc"
