#include "app/about_logo.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <QFile>
#include <QImage>

// jpeglib.h relies on <cstdio> for FILE and size_t.
#include <jpeglib.h>

namespace about_logo {

namespace {

const char* const kLogoResource = ":/about/korvex_logo.jpg";

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf escape;
};

// libjpeg's default error exit calls exit(): a damaged logo would end the whole program.
[[noreturn]] void escapeOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->escape, 1);
}

// The default prints to stderr; warnings are counted in num_warnings and judged afterwards.
void discardMessage(j_common_ptr) {}

// Only C frames of libjpeg lie between the setjmp here and its longjmp, so no destructor is skipped.
// The caller owns the decompressor and destroys it whichever way this returns.
bool decodeInto(jpeg_decompress_struct& info, ErrorManager& errors, const std::uint8_t* data,
                std::size_t size, RgbPicture& out) {
    if (setjmp(errors.escape))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    if (info.image_width == 0 || info.image_height == 0 ||
        info.image_width > static_cast<unsigned>(kMaxSide) ||
        info.image_height > static_cast<unsigned>(kMaxSide))
        return false;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3)
        return false;

    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    const std::size_t stride = static_cast<std::size_t>(out.width) * 3;
    out.rgb.assign(stride * static_cast<std::size_t>(out.height), 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.rgb.data() + stride * info.output_scanline;
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            return false;
    }
    jpeg_finish_decompress(&info);
    return errors.pub.num_warnings == 0;
}

} // namespace

std::optional<RgbPicture> decodeJpeg(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size == 0)
        return std::nullopt;
    ErrorManager errors{};
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = escapeOnError;
    errors.pub.output_message = discardMessage;

    // Safe on a half-created decompressor too: it only frees what was allocated.
    const struct Release {
        jpeg_decompress_struct& info;
        ~Release() { jpeg_destroy_decompress(&info); }
    } release{info};

    RgbPicture picture;
    try {
        if (!decodeInto(info, errors, data, size, picture))
            return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return picture;
}

QImage toImage(const RgbPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() !=
            static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3)
        return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
    // QImage pads its rows to four bytes, so the rows are copied one by one.
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), picture.rgb.data() + stride * static_cast<std::size_t>(y), stride);
    return image;
}

QImage logo() {
    QFile file(QString::fromLatin1(kLogoResource));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const auto picture = decodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size()));
    return picture ? toImage(*picture) : QImage();
}

} // namespace about_logo
