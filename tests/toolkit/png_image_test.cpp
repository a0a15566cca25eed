// PNG decoding into premultiplied, bottom-up BGRA images, and the resource lookup. The PNG data
// of most cases is written here with libpng's own writer, so each case shows its picture.
#include "toolkit/core/backend/resources.h"
#include "toolkit/core/png_image.h"

#include "png_writer.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

struct PngPicture
{
    uint32_t width = 1;
    uint32_t height = 1;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGBA;
    // Rows as PNG stores them: samples packed below 8 bits, 16-bit samples high byte first.
    std::vector<Bytes> rows;
    std::vector<png_color> palette;
    Bytes paletteAlpha;                // tRNS of a palette picture
    const png_color_16* key = nullptr; // tRNS of a grey or RGB picture: the transparent colour
    bool interlaced = false;
    bool smallChunks = false; // uncompressed data in many small IDAT chunks
};

// Writes the picture into dest; false on a writer error.
bool writePngInto(const PngPicture& picture, Bytes* dest, std::vector<png_bytep>* rowPointers)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_set_write_fn(png, dest, appendToBytes, flushNothing);
    if (picture.smallChunks)
    {
        png_set_compression_level(png, 0);
        png_set_compression_buffer_size(png, 64);
    }
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty())
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    if (!picture.paletteAlpha.empty())
        png_set_tRNS(png, info, picture.paletteAlpha.data(),
                     static_cast<int>(picture.paletteAlpha.size()), nullptr);
    if (picture.key) png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16p>(picture.key));
    png_write_info(png, info);
    png_write_image(png, rowPointers->data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

Bytes writePng(const PngPicture& picture)
{
    Bytes out;
    std::vector<png_bytep> rowPointers;
    for (const Bytes& row : picture.rows)
        rowPointers.push_back(const_cast<png_bytep>(row.data()));
    if (rowPointers.size() != picture.height || !writePngInto(picture, &out, &rowPointers))
    {
        ADD_FAILURE() << "the fixture could not be written";
        out.clear();
    }
    return out;
}

PngPicture rgbaPicture(uint32_t width, uint32_t height, std::vector<Bytes> rows)
{
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rows = std::move(rows);
    return picture;
}

// An opaque picture whose colour bytes are all at least 1, so that every read row differs from
// zero and from its premultiplied form: pixel (x, y) has red 1 + x, green 1 + y, blue 200.
PngPicture opaqueGradient(uint32_t width, uint32_t height)
{
    PngPicture picture;
    picture.width = width;
    picture.height = height;
    for (uint32_t y = 0; y < height; ++y)
    {
        Bytes row;
        for (uint32_t x = 0; x < width; ++x)
            row.insert(row.end(), {uint8_t(1 + x), uint8_t(1 + y), 200, 255});
        picture.rows.push_back(row);
    }
    return picture;
}

// The BGRA bytes of picture row y of opaqueGradient, before premultiplication.
Bytes gradientRowAsRead(uint32_t width, uint32_t y)
{
    Bytes row;
    for (uint32_t x = 0; x < width; ++x)
        row.insert(row.end(), {200, uint8_t(1 + y), uint8_t(1 + x), 255});
    return row;
}

// Changes the header's width and height and writes the header's CRC to match.
void setHeaderSize(Bytes& png, uint32_t width, uint32_t height)
{
    const uint8_t size[8] = {uint8_t(width >> 24), uint8_t(width >> 16),  uint8_t(width >> 8),
                             uint8_t(width),       uint8_t(height >> 24), uint8_t(height >> 16),
                             uint8_t(height >> 8), uint8_t(height)};
    std::memcpy(&png[16], size, 8);
    const uLong crc = crc32(0, &png[12], 17); // chunk type and data
    png[29] = uint8_t(crc >> 24);
    png[30] = uint8_t(crc >> 16);
    png[31] = uint8_t(crc >> 8);
    png[32] = uint8_t(crc);
}

// Offset of the first IDAT chunk's data.
size_t firstIdatData(const Bytes& png)
{
    for (size_t i = 8; i + 8 <= png.size();)
    {
        const size_t length = (size_t(png[i]) << 24) | (size_t(png[i + 1]) << 16) |
                              (size_t(png[i + 2]) << 8) | png[i + 3];
        if (std::memcmp(&png[i + 4], "IDAT", 4) == 0) return i + 8;
        i += 12 + length;
    }
    return png.size();
}

void expectNoImage(const PngImage& image)
{
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(PngReadSource, ServesOnlyRequestsThatFitInTheRestOfTheData)
{
    const uint8_t data[4] = {1, 2, 3, 4};
    struct Case
    {
        size_t position;
        size_t count;
        bool served;
        size_t positionAfter;
    };
    const Case cases[] = {
        {0, 4, true, 4},
        {1, 3, true, 4},
        {1, 4, false, 1},
        {4, 0, true, 4},
        {4, 1, false, 4},
        {2, SIZE_MAX, false, 2}, // a count that wraps position + count
        {3, SIZE_MAX - 2, false, 3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("position " + std::to_string(c.position) + " count " +
                     std::to_string(c.count));
        PngReadSource source;
        source.data = data;
        source.size = sizeof data;
        source.position = c.position;
        uint8_t target[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(source.read(target, c.count), c.served);
        EXPECT_EQ(source.position, c.positionAfter);
        for (size_t i = 0; i < sizeof target; ++i)
        {
            const bool copied = c.served && i < c.count;
            EXPECT_EQ(target[i], copied ? data[c.position + i] : 0xEE) << "byte " << i;
        }
    }
}

TEST(PngDecoding, HalfTransparentRedAndInvisiblePixelBecomePremultipliedBgra)
{
    const Bytes png = writePng(rgbaPicture(2, 1, {{255, 0, 0, 128, 90, 180, 40, 0}}));
    PngImage image;
    ASSERT_TRUE(decodePng(png.data(), png.size(), image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 127, 128, 0, 0, 0, 0}));
}

TEST(PngDecoding, TopRowOfThePictureIsTheLastRowInMemory)
{
    // Top white, bottom black; opaque white becomes 254 after premultiplication.
    const Bytes png = writePng(rgbaPicture(1, 2, {{255, 255, 255, 255}, {0, 0, 0, 255}}));
    PngImage image;
    ASSERT_TRUE(decodePng(png.data(), png.size(), image));
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 0, 255, 254, 254, 254, 255}));
}

TEST(PngDecoding, RowsOfAWiderPictureAreWidthTimesFourBytesApart)
{
    const Bytes png = writePng(rgbaPicture(3, 2,
                                           {{10, 0, 0, 255, 20, 0, 0, 255, 30, 0, 0, 255},
                                            {0, 40, 0, 255, 0, 50, 0, 255, 0, 60, 0, 255}}));
    PngImage image;
    ASSERT_TRUE(decodePng(png.data(), png.size(), image));
    EXPECT_EQ(image.pixels, (Bytes{0, 39, 0, 255, 0, 49, 0,  255, 0, 59, 0,  255, //
                                   0, 0,  9, 255, 0, 0,  19, 255, 0, 0,  29, 255}));
}

TEST(PngDecoding, EveryColourTypeBecomesPremultipliedBgra)
{
    static const png_color_16 kRgbKey = {0, 1, 2, 3, 0};
    static const png_color_16 kGreyKey = {0, 0, 0, 0, 7};
    struct Case
    {
        const char* name;
        PngPicture picture;
        Bytes expected;
    };
    auto picture = [](uint32_t width, int colorType, int bitDepth, Bytes row)
    {
        PngPicture p;
        p.width = width;
        p.colorType = colorType;
        p.bitDepth = bitDepth;
        p.rows = {std::move(row)};
        return p;
    };
    Case cases[] = {
        {"opaque white",
         picture(1, PNG_COLOR_TYPE_RGBA, 8, {255, 255, 255, 255}),
         {254, 254, 254, 255}},
        {"RGB without alpha gets alpha 255",
         picture(1, PNG_COLOR_TYPE_RGB, 8, {200, 100, 50}),
         {49, 99, 199, 255}},
        {"RGB with a transparent colour",
         picture(2, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 200, 100, 50}),
         {0, 0, 0, 0, 49, 99, 199, 255}},
        {"grey of bit depth 1",
         picture(3, PNG_COLOR_TYPE_GRAY, 1, {0xA0}),
         {254, 254, 254, 255, 0, 0, 0, 255, 254, 254, 254, 255}},
        {"grey of bit depth 2",
         picture(4, PNG_COLOR_TYPE_GRAY, 2, {0x1B}),
         {0, 0, 0, 255, 84, 84, 84, 255, 169, 169, 169, 255, 254, 254, 254, 255}},
        {"grey of bit depth 8", picture(1, PNG_COLOR_TYPE_GRAY, 8, {100}), {99, 99, 99, 255}},
        {"grey with a transparent value",
         picture(2, PNG_COLOR_TYPE_GRAY, 8, {7, 100}),
         {0, 0, 0, 0, 99, 99, 99, 255}},
        {"grey of bit depth 16",
         picture(1, PNG_COLOR_TYPE_GRAY, 16, {200, 0xFF}),
         {199, 199, 199, 255}},
        {"grey with alpha",
         picture(1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {200, 128}),
         {100, 100, 100, 128}},
        {"RGBA of bit depth 16: the high bytes count",
         picture(1, PNG_COLOR_TYPE_RGBA, 16, {0x12, 0xFF, 0x34, 0x00, 0xFF, 0x01, 0x80, 0x00}),
         {127, 26, 9, 128}},
        {"palette with a transparency chunk",
         picture(3, PNG_COLOR_TYPE_PALETTE, 2, {0x18}), // indices 0, 1, 2
         {0, 0, 254, 255, 127, 64, 0, 128, 29, 19, 9, 255}},
        {"palette without a transparency chunk",
         picture(2, PNG_COLOR_TYPE_PALETTE, 8, {1, 2}),
         {254, 127, 0, 255, 29, 19, 9, 255}},
    };
    cases[2].picture.key = &kRgbKey;
    cases[6].picture.key = &kGreyKey;
    for (Case& c : cases)
    {
        if (c.picture.colorType == PNG_COLOR_TYPE_PALETTE)
            c.picture.palette = {{255, 0, 0}, {0, 128, 255}, {10, 20, 30}};
    }
    cases[10].picture.paletteAlpha = {255, 128}; // the third entry stays opaque

    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Bytes png = writePng(c.picture);
        PngImage image;
        ASSERT_TRUE(decodePng(png.data(), png.size(), image));
        EXPECT_EQ(image.width, int32_t(c.picture.width));
        EXPECT_EQ(image.height, 1);
        EXPECT_EQ(image.pixels, c.expected);
    }
}

TEST(PngDecoding, InterlacedPictureDecodesLikeTheSamePictureWithoutInterlacing)
{
    // 9 x 11 covers every Adam7 pass, including partly filled last blocks.
    PngPicture picture = opaqueGradient(9, 11);
    PngImage plain;
    const Bytes plainPng = writePng(picture);
    ASSERT_TRUE(decodePng(plainPng.data(), plainPng.size(), plain));

    picture.interlaced = true;
    const Bytes interlacedPng = writePng(picture);
    PngImage interlaced;
    ASSERT_TRUE(decodePng(interlacedPng.data(), interlacedPng.size(), interlaced));
    EXPECT_EQ(interlaced.width, 9);
    EXPECT_EQ(interlaced.height, 11);
    EXPECT_EQ(interlaced.pixels, plain.pixels);
}

TEST(PngDecoding, TruncatedDataKeepsNoImageOrTheTopRowsReadSoFar)
{
    PngPicture picture = opaqueGradient(8, 16);
    picture.smallChunks = true;
    const Bytes png = writePng(picture);
    const size_t rowBytes = 8 * 4;
    bool sawPartialImage = false;
    bool sawAllRowsUnfinished = false;
    for (size_t length = 0; length < png.size(); ++length)
    {
        SCOPED_TRACE("cut after " + std::to_string(length) + " of " + std::to_string(png.size()));
        const Bytes cut(png.begin(), png.begin() + length);
        PngImage image;
        EXPECT_FALSE(decodePng(cut.data(), cut.size(), image));
        if (image.pixels.empty())
        {
            expectNoImage(image);
            continue;
        }
        ASSERT_EQ(image.width, 8);
        ASSERT_EQ(image.height, 16);
        ASSERT_EQ(image.pixels.size(), 8u * 16u * 4u);
        // Memory row r holds picture row 15 - r; the rows read are the picture's top ones, as
        // decoded and not premultiplied, and all others are zero.
        int rowsRead = 0;
        for (int r = 15; r >= 0; --r)
        {
            const Bytes row(image.pixels.begin() + r * rowBytes,
                            image.pixels.begin() + (r + 1) * rowBytes);
            if (row == gradientRowAsRead(8, 15 - r) && rowsRead == 15 - r)
                ++rowsRead;
            else
                EXPECT_EQ(row, Bytes(rowBytes, 0)) << "memory row " << r;
        }
        sawPartialImage |= rowsRead > 0 && rowsRead < 16;
        sawAllRowsUnfinished |= rowsRead == 16;
    }
    EXPECT_TRUE(sawPartialImage);
    EXPECT_TRUE(sawAllRowsUnfinished); // cut inside the end of the stream
}

TEST(PngDecoding, UndecodableInputGivesNoImage)
{
    const Bytes valid = writePng(rgbaPicture(1, 1, {{1, 2, 3, 255}}));
    struct Case
    {
        const char* name;
        Bytes png;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"signature only", Bytes(valid.begin(), valid.begin() + 8)},
        {"flipped signature byte", valid},
        {"flipped header CRC byte", valid},
        {"zero width in the header", valid},
        {"colour type 5", valid},
    };
    cases[2].png[1] ^= 0xFF;
    cases[3].png[30] ^= 0x01;
    setHeaderSize(cases[4].png, 0, 1);
    cases[5].png[25] = 5;
    setHeaderSize(cases[5].png, 1, 1);

    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        PngImage image;
        EXPECT_FALSE(decodePng(c.png.data(), c.png.size(), image));
        expectNoImage(image);
    }
    PngImage image;
    EXPECT_FALSE(decodePng(nullptr, 0, image));
    expectNoImage(image);
}

TEST(PngDecoding, DamagedPictureDataLeavesAnUnfinishedImage)
{
    PngPicture picture = opaqueGradient(8, 16);
    picture.smallChunks = true;
    const Bytes valid = writePng(picture);
    const size_t idat = firstIdatData(valid);
    ASSERT_LT(idat + 40, valid.size());
    // A flipped zlib header byte, a flipped filter type byte, a flipped sample byte.
    for (size_t offset : {idat, idat + 2 + 5, idat + 2 + 5 + 10})
    {
        SCOPED_TRACE("flipped byte " + std::to_string(offset));
        Bytes png = valid;
        png[offset] ^= 0x5A;
        PngImage image;
        EXPECT_FALSE(decodePng(png.data(), png.size(), image));
        EXPECT_EQ(image.width, 8);
        EXPECT_EQ(image.height, 16);
        EXPECT_EQ(image.pixels.size(), 8u * 16u * 4u);
    }
}

TEST(PngDecoding, HeaderAnnouncingMoreThanTheImageLimitGivesNoImage)
{
    struct Case
    {
        uint32_t width;
        uint32_t height;
    };
    const Case cases[] = {
        {100000, 100000},   {65536, 16384}, // width * height * 4 is 2^32: zero in 32-bit arithmetic
        {8192, 4097},                       // one row over the limit
        {1000000, 1000000},                 // the largest size libpng accepts by default
        {0x7FFFFFFF, 1},                    // beyond what libpng accepts
    };
    const Bytes valid = writePng(rgbaPicture(1, 1, {{1, 2, 3, 255}}));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        Bytes png = valid;
        setHeaderSize(png, c.width, c.height);
        PngImage image;
        EXPECT_FALSE(decodePng(png.data(), png.size(), image));
        expectNoImage(image);
    }
}

TEST(PngDecoding, DecodingAgainReplacesThePreviousImage)
{
    const Bytes png = writePng(rgbaPicture(1, 1, {{255, 255, 255, 255}}));
    PngImage image;
    ASSERT_TRUE(decodePng(png.data(), png.size(), image));
    EXPECT_FALSE(decodePng(png.data(), 10, image));
    expectNoImage(image);
}

TEST(ResourceLookup, FindsResourcesByLowSixteenBitsOfTheIdAndTypeName)
{
    struct Case
    {
        int32_t id;
        const char* type;
        bool found;
    };
    const Case cases[] = {
        {200, "PNG", true},   {200 + 0x10000, "PNG", true}, {200, "png", true},
        {300, "BLOB", true},  {201, "PNG", false},          {300, "PNG", false},
        {200, "BLOB", false}, {200, "PN", false},           {200, nullptr, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.id) + " " + (c.type ? c.type : "(null)"));
        const uint8_t* data = nullptr;
        size_t size = 7;
        EXPECT_EQ(findResource(c.id, c.type, data, size), c.found);
        if (c.found)
        {
            ASSERT_NE(data, nullptr);
            ASSERT_GE(size, 8u);
            EXPECT_EQ(std::memcmp(data, "\x89PNG\r\n\x1a\n", 8), 0);
        }
        else
        {
            EXPECT_EQ(data, nullptr);
            EXPECT_EQ(size, 7u);
        }
    }
}

TEST(ResourceLookup, PngResourceDecodesToItsPicture)
{
    const uint8_t* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(findResource(200, "PNG", data, size));
    PngImage image;
    ASSERT_TRUE(decodePng(data, size, image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(image.pixels, (Bytes{0, 0, 127, 128, 0, 0, 0, 0}));
}

} // namespace
