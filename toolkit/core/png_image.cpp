// PNG decoding with libpng: errors of the library return through its jump buffer, so each step
// that calls into it arms the buffer itself and keeps only trivially destructible locals; the
// image buffer is allocated between those steps, in plain C++.
#include "png_image.h"

#include <png.h>

#include <cstring>
#include <new>

bool PngReadSource::read(uint8_t* target, size_t count)
{
    // Written as a comparison with the bytes left, so that a huge count cannot wrap around.
    if (position > size || count > size - position) return false;
    std::memcpy(target, data + position, count);
    position += count;
    return true;
}

namespace
{

// libpng's read function: a request that cannot be served stops the decoding.
void readFromSource(png_structp png, png_bytep target, png_size_t count)
{
    auto* source = static_cast<PngReadSource*>(png_get_io_ptr(png));
    if (!source->read(target, count)) png_error(png, "read past the end of the PNG data");
}

struct PngHeader
{
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
};

// Installs the in-memory reader and reads everything up to the picture data.
bool readHeader(png_structp png, png_infop info, PngReadSource* source, PngHeader* header)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, source, readFromSource);
    png_read_info(png, info);
    int interlace = 0;
    png_get_IHDR(png, info, &header->width, &header->height, &header->bitDepth, &header->colorType,
                 &interlace, nullptr, nullptr);
    return true;
}

enum class PictureRead
{
    kComplete,
    kStopped, // a decoding error: the rows read so far stay
    kRefused  // the decoded rows would not have the image's layout: nothing was read
};

// Requests the conversion to blue, green, red, alpha with 8 bits each and reads the rows into
// their bottom-up places, then the end of the stream.
PictureRead readPicture(png_structp png, png_infop info, const PngHeader* header, uint8_t* pixels)
{
    if (setjmp(png_jmpbuf(png))) return PictureRead::kStopped;

    if (header->colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (header->colorType == PNG_COLOR_TYPE_GRAY || header->colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    {
        png_set_gray_to_rgb(png);
        if (header->colorType == PNG_COLOR_TYPE_GRAY && header->bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER); // only adds a byte where alpha is missing
    if (header->bitDepth == 16) png_set_strip_16(png);
    png_set_bgr(png);
    // Interlaced pictures arrive in passes; each pass fills its pixels into the same rows.
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const size_t rowBytes = size_t(header->width) * 4;
    if (png_get_rowbytes(png, info) != rowBytes || png_get_bit_depth(png, info) != 8 ||
        png_get_channels(png, info) != 4)
        return PictureRead::kRefused;

    for (int pass = 0; pass < passes; ++pass)
    {
        for (png_uint_32 row = 0; row < header->height; ++row)
            png_read_row(png, pixels + size_t(header->height - 1 - row) * rowBytes, nullptr);
    }
    png_read_end(png, nullptr);
    return PictureRead::kComplete;
}

// Colours times alpha, divided by 256 and rounded down; a pixel of alpha 0 becomes all zero.
void premultiply(std::vector<uint8_t>& pixels)
{
    for (size_t i = 0; i + 4 <= pixels.size(); i += 4)
    {
        uint8_t* pixel = &pixels[i];
        const unsigned alpha = pixel[3];
        if (alpha == 0)
        {
            std::memset(pixel, 0, 4);
            continue;
        }
        for (int c = 0; c < 3; ++c)
            pixel[c] = static_cast<uint8_t>((pixel[c] * alpha) >> 8);
    }
}

bool allocateImage(const PngHeader& header, PngImage& image)
{
    if (header.width == 0 || header.height == 0) return false;
    const uint64_t bytes = uint64_t(header.width) * uint64_t(header.height) * 4;
    if (bytes > kMaxPngImageBytes) return false;
    try
    {
        image.pixels.assign(static_cast<size_t>(bytes), 0);
    }
    catch (const std::bad_alloc&)
    {
        image.pixels.clear();
        return false;
    }
    image.width = static_cast<int32_t>(header.width);
    image.height = static_cast<int32_t>(header.height);
    return true;
}

void discardImage(PngImage& image)
{
    image.width = 0;
    image.height = 0;
    image.pixels.clear();
    image.pixels.shrink_to_fit();
}

} // namespace

bool decodePng(const uint8_t* data, size_t size, PngImage& image)
{
    discardImage(image);

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }

    PngReadSource source;
    source.data = data;
    source.size = data ? size : 0;
    PngHeader header;
    PictureRead result = PictureRead::kStopped;
    if (readHeader(png, info, &source, &header) && allocateImage(header, image))
    {
        result = readPicture(png, info, &header, image.pixels.data());
        if (result == PictureRead::kRefused) discardImage(image);
    }
    png_destroy_read_struct(&png, &info, nullptr);

    if (result != PictureRead::kComplete) return false;
    premultiply(image.pixels);
    return true;
}
