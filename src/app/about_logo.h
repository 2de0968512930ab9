#pragma once
// The About window's logo. It is decoded with libjpeg's own decompressor rather than Qt's image
// plug-ins, so it shows even where no JPEG plug-in is installed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class QImage;

namespace about_logo {

// Three bytes (red, green, blue) a pixel, rows top to bottom with no padding.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// Larger pictures are refused: a damaged header must not make the decoder allocate gigabytes.
inline constexpr int kMaxSide = 4096;

// Nothing for a picture that is damaged in any way. libjpeg only warns about a truncated or
// corrupt scan and fills the rest with grey; such a half picture counts as damaged too.
std::optional<RgbPicture> decodeJpeg(const std::uint8_t* data, std::size_t size);

// A null image for an empty or inconsistent picture.
QImage toImage(const RgbPicture& picture);

// The built-in logo; a null image when it cannot be read or decoded.
QImage logo();

} // namespace about_logo
