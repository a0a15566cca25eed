// Decoding of PNG data into the toolkit's 32-bit image format: 4 bytes per pixel in the order
// blue, green, red, alpha, colours premultiplied by alpha, rows of exactly width * 4 bytes stored
// bottom-up (the first row in memory is the bottom row of the picture), as a device-independent
// bitmap with a positive height expects. Portable; only libpng and zlib beneath.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Largest image the decoder allocates, in bytes. A header announcing more is refused before any
// memory is taken, so a damaged or hostile size cannot exhaust memory or overflow the size
// arithmetic on 32-bit systems.
constexpr size_t kMaxPngImageBytes = size_t(1) << 27;

// The read cursor the decoder consumes the PNG bytes through.
struct PngReadSource
{
    const uint8_t* data = nullptr;
    size_t position = 0; // bytes consumed so far
    size_t size = 0;

    // Copies count bytes from the current position to target and advances. A request that does
    // not fit in the rest of the data is not served: nothing is copied, the position stays, and
    // the result is false.
    bool read(uint8_t* target, size_t count);
};

struct PngImage
{
    // The picture's size while an image is held; 0 x 0 when there is none.
    int32_t width = 0;
    int32_t height = 0;
    // width * height * 4 bytes, or empty when there is no image.
    std::vector<uint8_t> pixels;
};

// Decodes a PNG held in memory. Returns true when the whole picture was read and premultiplied.
// Otherwise image holds either no image or, when decoding stopped after the image was made, the
// rows read so far (not premultiplied; rows never reached are zero). Interlaced pictures are
// decoded in full. A header announcing more than kMaxPngImageBytes gives no image.
bool decodePng(const uint8_t* data, size_t size, PngImage& image);
