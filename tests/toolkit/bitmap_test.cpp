// Bitmaps on the build's own back end: PNG film strips written here with libpng's writer, drawn
// into small off-screen surfaces (the software raster natively, GDI in the Windows build), and
// the blocks that reach a recording device when callers pass offsets beyond the image.
#include "draw_fixtures.h"
#include "test_frame.h"

#include "toolkit/core/bitmap.h"
#include "toolkit/core/draw_context.h"

#include "png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "toolkit/core/backend_win32/win32_device.h"
#endif

namespace
{

struct Rgba
{
    uint8_t red, green, blue, alpha;
};

// An 8-bit RGBA PNG of the pixels, given row by row from the top.
Bytes writeRgbaPng(uint32_t width, uint32_t height, const std::vector<Rgba>& pixels)
{
    Bytes out;
    std::vector<Bytes> rows(height);
    std::vector<png_bytep> rowPointers;
    for (uint32_t y = 0; y < height; ++y)
    {
        for (uint32_t x = 0; x < width; ++x)
        {
            const Rgba& p = pixels[y * width + x];
            rows[y].insert(rows[y].end(), {p.red, p.green, p.blue, p.alpha});
        }
        rowPointers.push_back(rows[y].data());
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        ADD_FAILURE() << "the fixture could not be written";
        return Bytes();
    }
    png_set_write_fn(png, &out, appendToBytes, flushNothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// No resource of the test program has this id.
constexpr int32_t kNoResource = 4711;
// The fixture resource: a 2 x 1 PNG of half-transparent red and a transparent pixel.
constexpr int32_t kHalfRedResource = 200;

std::unique_ptr<CBitmap> bitmapOfPng(const Bytes& png)
{
    auto bitmap = std::make_unique<CBitmap>(kNoResource);
    EXPECT_TRUE(bitmap->loadFromPngData(png.data(), png.size()));
    return bitmap;
}

// A 4 x 12 film strip of three opaque 4 x 4 frames: red, blue, green from the top.
std::unique_ptr<CBitmap> filmStrip()
{
    std::vector<Rgba> pixels;
    const Rgba frames[3] = {{255, 0, 0, 255}, {0, 0, 255, 255}, {0, 255, 0, 255}};
    for (const Rgba& frame : frames)
        pixels.insert(pixels.end(), 16, frame);
    return bitmapOfPng(writeRgbaPng(4, 12, pixels));
}

// Opaque full intensity is stored premultiplied as 254.
constexpr CColor kStripRed = {254, 0, 0, 255};
constexpr CColor kStripBlue = {0, 0, 254, 255};
constexpr CColor kStripGreen = {0, 254, 0, 255};
constexpr CColor kGrey = {100, 100, 100, 255};

struct BitmapPixels : ::testing::Test
{
    CStubFrame frame;
    std::unique_ptr<COffscreenContext> context;

    void SetUp() override
    {
        frame.viewSize = CRect(0, 0, 24, 24);
        context = std::make_unique<COffscreenContext>(asFrame(frame), 24, 24, kColorBlack);
    }
};

bool closeTo(CColor actual, CColor expected)
{
    return std::abs(actual.red - expected.red) <= 1 &&
           std::abs(actual.green - expected.green) <= 1 &&
           std::abs(actual.blue - expected.blue) <= 1;
}

std::string text(CColor c)
{
    return "(" + std::to_string(c.red) + "," + std::to_string(c.green) + "," +
           std::to_string(c.blue) + ")";
}

// ---- Loading -----------------------------------------------------------------------------------

TEST(BitmapLoading, PngResourceOfTheModuleLoadsWithAlpha)
{
    CBitmap bitmap(kHalfRedResource);
    EXPECT_TRUE(bitmap.isLoaded());
    EXPECT_EQ(bitmap.getWidth(), 2);
    EXPECT_EQ(bitmap.getHeight(), 1);
    EXPECT_FALSE(bitmap.noAlpha);
    EXPECT_EQ(bitmap.getTransparentColor(), kColorTransparent);
}

TEST_F(BitmapPixels, IdWithoutResourceGivesAnEmptyBitmapThatDrawsNothing)
{
    CBitmap bitmap(kNoResource);
    EXPECT_FALSE(bitmap.isLoaded());
    EXPECT_EQ(bitmap.getWidth(), 0);
    EXPECT_EQ(bitmap.getHeight(), 0);
    EXPECT_FALSE(bitmap.loadFromResource(kNoResource));

    const CRect all(0, 0, 24, 24);
    bitmap.draw(context.get(), all);
    bitmap.drawTransparent(context.get(), all);
    bitmap.drawAlphaBlend(context.get(), all, CPoint(), 255);
    EXPECT_EQ(inkOf(*context, all, kColorBlack).count, 0);
}

TEST(BitmapLoading, LoadingByPathReleasesTheImageAndFails)
{
    CBitmap bitmap(kHalfRedResource);
    EXPECT_FALSE(bitmap.loadFromPath("face.png"));
    EXPECT_FALSE(bitmap.isLoaded());
    EXPECT_EQ(bitmap.getWidth(), 0);
}

// ---- Drawing -----------------------------------------------------------------------------------

TEST_F(BitmapPixels, FilmStripFrameLandsExactlyInTheDestinationRectangle)
{
    auto strip = filmStrip();
    strip->draw(context.get(), CRect(10, 10, 14, 14), CPoint(0, 4));
    EXPECT_EQ(picture(*context, CRect(8, 8, 16, 16), kStripBlue, kColorBlack), "........\n"
                                                                               "........\n"
                                                                               "..####..\n"
                                                                               "..####..\n"
                                                                               "..####..\n"
                                                                               "..####..\n"
                                                                               "........\n"
                                                                               "........\n");
    EXPECT_EQ(inkOf(*context, CRect(0, 0, 24, 24), kColorBlack).count, 16);
}

TEST_F(BitmapPixels, DrawingFollowsTheContextOffset)
{
    auto strip = filmStrip();
    context->offset = CPoint(3, 2);
    strip->draw(context.get(), CRect(0, 0, 4, 4), CPoint(0, 8));
    context->offset = CPoint();
    const CInk ink = inkOf(*context, CRect(0, 0, 24, 24), kColorBlack);
    EXPECT_EQ(ink.bounds, CRect(3, 2, 7, 6));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(3, 2)), kStripGreen));
}

TEST_F(BitmapPixels, PremultipliedPixelsBlendOverTheDestination)
{
    // Half-transparent red, transparent green, opaque blue.
    auto bitmap =
        bitmapOfPng(writeRgbaPng(3, 1, {{255, 0, 0, 128}, {0, 255, 0, 0}, {0, 0, 255, 255}}));
    const struct
    {
        uint8_t alpha;
        CColor half, transparent, opaque;
    } cases[] = {
        // destination * (1 - a / 255) + premultiplied source
        {255, {177, 50, 50, 255}, kGrey, {0, 0, 254, 255}},
        // the constant opacity scales colour and alpha of every pixel
        {128, {139, 75, 75, 255}, kGrey, {50, 50, 177, 255}},
        {0, kGrey, kGrey, kGrey},
    };
    for (const auto& c : cases)
    {
        context->setFillColor(kGrey);
        context->drawRect(CRect(0, 0, 24, 24), kFill);
        bitmap->drawAlphaBlend(context.get(), CRect(5, 5, 8, 6), CPoint(), c.alpha);
        const CColor got[3] = {context->getPoint(CPoint(5, 5)), context->getPoint(CPoint(6, 5)),
                               context->getPoint(CPoint(7, 5))};
        const CColor want[3] = {c.half, c.transparent, c.opaque};
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(closeTo(got[i], want[i]))
                << "opacity " << int(c.alpha) << " pixel " << i << ": " << text(got[i])
                << " instead of " << text(want[i]);
    }
}

TEST_F(BitmapPixels, DrawOfAPngBitmapBlendsAtFullOpacity)
{
    auto bitmap = bitmapOfPng(writeRgbaPng(2, 1, {{255, 0, 0, 128}, {0, 0, 0, 0}}));
    context->setFillColor(kGrey);
    context->drawRect(CRect(0, 0, 24, 24), kFill);
    bitmap->draw(context.get(), CRect(0, 0, 2, 1));
    EXPECT_TRUE(closeTo(context->getPoint(CPoint(0, 0)), CColor{177, 50, 50, 255}));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(1, 0)), kGrey));
}

TEST_F(BitmapPixels, DrawTransparentOfAPngBitmapIgnoresTheTransparentColour)
{
    auto strip = filmStrip();
    strip->setTransparentColor(kStripBlue); // exactly the stored colour of frame 1
    strip->drawTransparent(context.get(), CRect(10, 10, 14, 14), CPoint(0, 4));
    const CInk ink = inkOf(*context, CRect(0, 0, 24, 24), kColorBlack);
    EXPECT_EQ(ink.count, 16);
    EXPECT_EQ(ink.bounds, CRect(10, 10, 14, 14));
}

TEST_F(BitmapPixels, BlocksReachingPastTheImageDrawOnlyWhatLiesInside)
{
    auto strip = filmStrip();
    const struct
    {
        CPoint source;
        CRect dest;
        int count;    // pixels drawn
        CRect bounds; // where
        CColor color; // of the first one
    } cases[] = {
        {CPoint(-2, -2), CRect(10, 10, 14, 14), 4, CRect(12, 12, 14, 14), kStripRed},
        {CPoint(2, 10), CRect(10, 10, 16, 16), 4, CRect(10, 10, 12, 12), kStripGreen},
        {CPoint(0, 0), CRect(0, 0, 1000, 1000), 48, CRect(0, 0, 4, 12), kStripRed},
        {CPoint(-3, 6), CRect(0, 0, 8, 3), 12, CRect(3, 0, 7, 3), kStripBlue},
        {CPoint(4, 0), CRect(0, 0, 4, 4), 0, CRect(), kColorBlack},
        {CPoint(0, 12), CRect(0, 0, 4, 4), 0, CRect(), kColorBlack},
        {CPoint(100, 100), CRect(0, 0, 24, 24), 0, CRect(), kColorBlack},
        {CPoint(-100000, -100000), CRect(0, 0, 24, 24), 0, CRect(), kColorBlack},
        {CPoint(-2147483647, 0), CRect(0, 0, 2147483647, 4), 0, CRect(), kColorBlack},
        {CPoint(2, 2), CRect(5, 5, 3, 3), 0, CRect(), kColorBlack}, // negative size
    };
    for (const auto& c : cases)
    {
        SetUp(); // a fresh surface per case
        strip->draw(context.get(), c.dest, c.source);
        const CInk ink = inkOf(*context, CRect(0, 0, 24, 24), kColorBlack);
        EXPECT_EQ(ink.count, c.count) << "source (" << c.source.x << "," << c.source.y << ")";
        if (c.count == 0) continue;
        EXPECT_EQ(ink.bounds, c.bounds) << "source (" << c.source.x << "," << c.source.y << ")";
        EXPECT_TRUE(sameColor(context->getPoint(CPoint(ink.bounds.left, ink.bounds.top)), c.color));
    }
}

// ---- What reaches the device -------------------------------------------------------------------

TEST(BitmapBlocks, OnlyTheBlockInsideTheImageReachesTheDevice)
{
    auto strip = filmStrip();
    CRecordingDevice device;
    CDrawContext context(nullptr, &device, nullptr);
    context.offset = CPoint(100, 0);
    const struct
    {
        CPoint source;
        CRect dest;
        const char* call; // nullptr: no call
    } cases[] = {
        {CPoint(0, 4), CRect(10, 10, 14, 14), "alphaBlend (110,10,114,14) (0,4,4,8) 255"},
        {CPoint(-2, -3), CRect(10, 10, 14, 14), "alphaBlend (112,13,114,14) (0,0,2,1) 255"},
        {CPoint(1, 10), CRect(0, 0, 64, 64), "alphaBlend (100,0,103,2) (1,10,4,12) 255"},
        {CPoint(0, 12), CRect(0, 0, 4, 4), nullptr},
        {CPoint(-4, 0), CRect(0, 0, 4, 4), nullptr},
        {CPoint(2147483647, 2147483647), CRect(0, 0, 4, 4), nullptr},
    };
    for (const auto& c : cases)
    {
        device.clear();
        strip->draw(&context, c.dest, c.source);
        strip->drawTransparent(&context, c.dest, c.source);
        if (!c.call)
        {
            EXPECT_TRUE(device.calls.empty()) << device.calls[0];
            continue;
        }
        ASSERT_EQ(device.calls.size(), 2u);
        EXPECT_EQ(device.calls[0], c.call);
        EXPECT_EQ(device.calls[1], c.call);
    }
}

TEST(BitmapBlocks, BitmapsWithoutAlphaCopyAtFullOpacityAndKeyTheirTransparentColour)
{
    CBitmap blank(nullptr, 8, 8);
    EXPECT_TRUE(blank.noAlpha);
    blank.setTransparentColor(kColorRed);
    CRecordingDevice device;
    CDrawContext context(nullptr, &device, nullptr);
    device.clear();
    blank.draw(&context, CRect(0, 0, 10, 10), CPoint(-1, 0));
    blank.drawAlphaBlend(&context, CRect(0, 0, 4, 4), CPoint(6, 6), 255);
    blank.drawTransparent(&context, CRect(0, 0, 4, 4), CPoint(2, 2));
    EXPECT_EQ(device.calls, (std::vector<std::string>{
                                "copyBlock (1,0,9,8) from (0,0)",
                                "copyBlock (0,0,2,2) from (6,6)",
                                "transparentCopy (0,0,4,4) (2,2,6,6) 0000ff",
                            }));
}

#if defined(_WIN32)
TEST_F(BitmapPixels, MissingBlendFunctionDrawsNothing)
{
    loadBlendFunctions();
    const CAlphaBlendProc saved = gAlphaBlendProc;
    gAlphaBlendProc = nullptr;
    auto strip = filmStrip();
    strip->draw(context.get(), CRect(10, 10, 14, 14), CPoint(0, 4));
    strip->drawAlphaBlend(context.get(), CRect(0, 0, 4, 12), CPoint(), 128);
    strip->drawTransparent(context.get(), CRect(0, 0, 4, 12));
    gAlphaBlendProc = saved;
    EXPECT_EQ(inkOf(*context, CRect(0, 0, 24, 24), kColorBlack).count, 0);
}
#endif

// ---- Masks and off-screen contexts over bitmaps ------------------------------------------------

// A blank 4 x 4 bitmap painted red with a white 2 x 2 square at its top left.
std::unique_ptr<CBitmap> redWithWhiteCorner()
{
    auto bitmap = std::make_unique<CBitmap>(nullptr, 4, 4);
    COffscreenContext painter(nullptr, bitmap.get(), true);
    painter.setFillColor(kColorRed);
    painter.drawRect(CRect(0, 0, 4, 4), kFill);
    painter.setFillColor(kColorWhite);
    painter.drawRect(CRect(0, 0, 2, 2), kFill);
    return bitmap;
}

TEST_F(BitmapPixels, DrawTransparentKeepsTheDestinationWhereTheKeyColourIs)
{
    for (const bool withMask : {false, true})
    {
        auto bitmap = redWithWhiteCorner();
        bitmap->setTransparentColor(kColorWhite);
        if (withMask)
        {
            COffscreenContext reader(context.get(), bitmap.get(), true);
            bitmap->setTransparencyMask(&reader);
        }
        SetUp();
        bitmap->drawTransparent(context.get(), CRect(1, 1, 5, 5));
        EXPECT_EQ(picture(*context, CRect(0, 0, 6, 6), kColorRed, kColorBlack), "......\n"
                                                                                "...##.\n"
                                                                                "...##.\n"
                                                                                ".####.\n"
                                                                                ".####.\n"
                                                                                "......\n")
            << (withMask ? "with mask" : "colour key");
    }
}

TEST_F(BitmapPixels, OffscreenOverABitmapStartsAsItsCopy)
{
    auto strip = filmStrip();
    COffscreenContext copy(context.get(), strip.get(), false);
    EXPECT_EQ(copy.getWidth(), 4);
    EXPECT_EQ(copy.getHeight(), 12);
    EXPECT_TRUE(sameColor(copy.getPoint(CPoint(0, 0)), kStripRed));
    EXPECT_TRUE(sameColor(copy.getPoint(CPoint(3, 5)), kStripBlue));
    EXPECT_TRUE(sameColor(copy.getPoint(CPoint(2, 11)), kStripGreen));

    // Drawing into the copy leaves the bitmap alone.
    copy.drawPoint(CPoint(1, 1), kColorWhite);
    strip->draw(context.get(), CRect(0, 0, 4, 4));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(1, 1)), kStripRed));
}

TEST_F(BitmapPixels, OffscreenWithoutBitmapIsTwentySquareAndBlack)
{
    COffscreenContext blank(context.get(), nullptr, false);
    EXPECT_EQ(blank.getWidth(), 20);
    EXPECT_EQ(blank.getHeight(), 20);
    CRect clip;
    EXPECT_EQ(blank.getClipRect(clip), CRect(0, 0, 20, 20));
    EXPECT_TRUE(sameColor(blank.getPoint(CPoint(10, 10)), kColorBlack));
}

TEST_F(BitmapPixels, OffscreenDrawingIntoABitmapChangesTheBitmap)
{
    auto bitmap = redWithWhiteCorner();
    bitmap->draw(context.get(), CRect(2, 2, 6, 6));
    EXPECT_EQ(picture(*context, CRect(1, 1, 7, 7), kColorRed, kColorBlack), "......\n"
                                                                            ".??##.\n"
                                                                            ".??##.\n"
                                                                            ".####.\n"
                                                                            ".####.\n"
                                                                            "......\n");
}

} // namespace
