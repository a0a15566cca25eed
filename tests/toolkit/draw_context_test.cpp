// The drawing context on the build's own back end: the state rules through a recording device,
// and exact pixels drawn into a small off-screen surface (the software raster natively, GDI in
// the Windows build).
#include "draw_fixtures.h"
#include "test_frame.h"

#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/draw_context.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// ---- State and device calls, through the recording device --------------------------------------

struct RecordedContext : ::testing::Test
{
    CRecordingDevice device;
    std::unique_ptr<CDrawContext> context;

    void SetUp() override
    {
        context = std::make_unique<CDrawContext>(nullptr, &device, nullptr);
        device.clear();
    }
};

TEST_F(RecordedContext, SetFontColorReachesTheDeviceEvenWhenUnchanged)
{
    context->setFontColor(kColorWhite); // the colour it already has
    context->setFontColor(kColorWhite);
    EXPECT_EQ(device.count("setTextColor ffffff"), 2);
}

TEST_F(RecordedContext, SettersWithTheCurrentValueDoNothing)
{
    context->setFillColor(kColorBlack);
    context->setFrameColor(kColorWhite);
    context->setLineWidth(1);
    context->setLineStyle(kSolidLine);
    context->setDrawMode(kModeCopy);
    context->setFont(kFontSystem, 0, 0);
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(RecordedContext, ColoursCompareAlphaToo)
{
    context->setFillColor(CColor{0, 0, 0, 0});
    EXPECT_EQ(device.count("createSolidBrush 000000"), 1);
}

TEST_F(RecordedContext, NewFillColourSetsTextBackgroundThenReplacesTheBrush)
{
    const uintptr_t oldBrush = device.selected[kBrushObject];
    context->setFillColor(kColorRed);
    ASSERT_EQ(device.calls.size(), 4u);
    EXPECT_EQ(device.calls[0], "setBackgroundColor 0000ff");
    EXPECT_EQ(device.calls[1].substr(0, 23), "createSolidBrush 0000ff");
    EXPECT_EQ(device.calls[2], "select " + std::to_string(device.selected[kBrushObject]));
    EXPECT_EQ(device.calls[3], "delete " + std::to_string(oldBrush));
}

TEST_F(RecordedContext, FailedBrushKeepsThePreviousOneButStoresTheColour)
{
    const uintptr_t brush = device.selected[kBrushObject];
    device.failBrushes = true;
    context->setFillColor(kColorGreen);
    EXPECT_EQ(device.selected[kBrushObject], brush);
    EXPECT_EQ(device.count("delete"), 0);
    EXPECT_EQ(context->getFillColor(), kColorGreen);
    device.clear();
    context->fillRect(CRect(0, 0, 5, 5));
    EXPECT_EQ(device.calls,
              std::vector<std::string>{"fillRect (1,1,5,5) brush " + std::to_string(brush)});
}

TEST_F(RecordedContext, PenSettersBuildPenFromStyleWidthAndColour)
{
    struct Case
    {
        void (*change)(CDrawContext&);
        const char* pen;
    } cases[] = {
        {[](CDrawContext& c) { c.setFrameColor(kColorBlue); }, "createPen 0 1 ff0000"},
        {[](CDrawContext& c) { c.setLineWidth(3); }, "createPen 0 3 ff0000"},
        {[](CDrawContext& c) { c.setLineStyle(kDottedLine); }, "createPen 2 3 ff0000"},
        {[](CDrawContext& c) { c.setLineStyle(7); }, "createPen 0 3 ff0000"},
    };
    for (const Case& test : cases)
    {
        device.clear();
        test.change(*context);
        EXPECT_EQ(device.count(test.pen), 1) << test.pen;
        EXPECT_EQ(device.count("delete"), 1) << test.pen;
    }
}

TEST_F(RecordedContext, DrawModesChooseRasterOperations)
{
    const struct
    {
        int32_t mode;
        int op;
    } cases[] = {{kModeOr, 15}, {kModeXor, 10}, {kModeCopy, 13}, {kModeOr, 15}, {5, 13}};
    for (const auto& test : cases)
    {
        device.clear();
        context->setDrawMode(test.mode);
        EXPECT_EQ(device.calls, std::vector<std::string>{"setRasterOp " + std::to_string(test.op)})
            << test.mode;
    }
}

TEST_F(RecordedContext, FontDescriptionsFollowTheFontTable)
{
    const struct
    {
        int32_t id, size, style;
        int32_t height, weight;
        bool italic, underline;
        const char* face;
        int pitchAndFamily;
    } cases[] = {
        {kFontNormal, 0, 0, -12, 400, false, false, "Arial", 0x22},
        {kFontSystem, 14, 0, -14, 700, false, false, "Arial", 0x22},
        {kFontBig, 0, kStyleBold | kStyleItalic, -14, 700, true, false, "Arial", 0x22},
        {kFontVerySmall, 0, kStyleUnderline, -9, 400, false, true, "Arial", 0x22},
        {kFontSymbol, 0, 0, -13, 400, false, false, "Symbol", 0x50},
        {kFontVeryBig, 20, 0, -20, 400, false, false, "Arial", 0x22},
    };
    for (const auto& test : cases)
    {
        device.fonts.clear();
        context->setFont(test.id, test.size, test.style);
        ASSERT_EQ(device.fonts.size(), 1u) << test.id;
        const CFontDescription& d = device.fonts[0];
        EXPECT_EQ(d.height, test.height) << test.id;
        EXPECT_EQ(d.weight, test.weight) << test.id;
        EXPECT_EQ(d.italic, test.italic) << test.id;
        EXPECT_EQ(d.underline, test.underline) << test.id;
        EXPECT_STREQ(d.faceName, test.face) << test.id;
        EXPECT_EQ(d.pitchAndFamily, test.pitchAndFamily) << test.id;
        EXPECT_EQ(d.outPrecision, 1) << test.id;
        EXPECT_EQ(d.clipPrecision, 2) << test.id;
        EXPECT_EQ(d.charSet, 0) << test.id;
        EXPECT_EQ(d.quality, 0) << test.id;
        EXPECT_EQ(d.width | d.escapement | d.orientation, 0) << test.id;
    }
}

TEST_F(RecordedContext, DefaultSizeAfterTheSameExplicitSizeChangesNothing)
{
    context->setFont(kFontNormal, 12, 0);
    device.clear();
    context->setFont(kFontNormal, 0, 0);
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(RecordedContext, FontIdAboveSevenIsTheSystemFont)
{
    context->setFont(kFontNormal);
    device.fonts.clear();
    context->setFont(9, 0, 0);
    ASSERT_EQ(device.fonts.size(), 1u);
    EXPECT_EQ(context->getFontId(), kFontSystem);
    EXPECT_EQ(device.fonts[0].weight, 700);
    EXPECT_EQ(device.fonts[0].height, -12);
    device.clear();
    context->setFont(kFontSystem, 0, 0);
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(RecordedContext, SecondIdenticalClipRectDoesNotTouchTheDevice)
{
    context->offset = CPoint(3, 4);
    context->setClipRect(CRect(1, 1, 11, 11));
    context->setClipRect(CRect(1, 1, 11, 11));
    EXPECT_EQ(device.calls, std::vector<std::string>{"setClipRect (4,5,14,15)"});
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(1, 1, 11, 11));
    context->offset = CPoint(0, 0);
    context->setClipRect(CRect(1, 1, 11, 11));
    EXPECT_EQ(device.count("setClipRect (1,1,11,11)"), 1);
}

TEST(DrawContextConstruction, WithoutFrameClipsToThousandSquareWithoutSettingAClip)
{
    CRecordingDevice device;
    CDrawContext context(nullptr, &device, nullptr);
    CRect clip;
    EXPECT_EQ(context.getClipRect(clip), CRect(0, 0, 1000, 1000));
    EXPECT_EQ(device.count("setClipRect"), 0);
}

TEST(DrawContextConstruction, WithFrameClipsToItsViewSize)
{
    CRecordingDevice device;
    CStubFrame frame;
    frame.viewSize = CRect(0, 0, 752, 160);
    CDrawContext context(asFrame(frame), &device, nullptr);
    CRect clip;
    EXPECT_EQ(context.getClipRect(clip), CRect(0, 0, 752, 160));
}

TEST(DrawContextConstruction, AppliesTheInitialStateToTheDevice)
{
    CRecordingDevice device;
    CDrawContext context(nullptr, &device, nullptr);
    EXPECT_EQ(device.calls.front(), "setBackgroundOpaque 0");
    EXPECT_EQ(device.count("createPen 0 1 ffffff"), 1);
    EXPECT_EQ(device.count("createSolidBrush 000000"), 1);
    EXPECT_EQ(device.count("setTextColor ffffff"), 1);
    EXPECT_EQ(device.count("createFont Arial -12"), 1);
    EXPECT_EQ(device.count("setRasterOp 13"), 1);
    ASSERT_EQ(device.fonts.size(), 1u);
    EXPECT_EQ(device.fonts[0].weight, 700);
    EXPECT_EQ(context.getLineWidth(), 1);
    EXPECT_EQ(context.getFontSize(), 12);
}

TEST(DrawContextConstruction, DestructionRestoresPriorObjectsAndDeletesItsOwn)
{
    CRecordingDevice device;
    {
        CDrawContext context(nullptr, &device, nullptr);
        context.setFrameColor(kColorRed);
        context.setFont(kFontBig);
    }
    EXPECT_EQ(device.selected[kPenObject], CRecordingDevice::kOwnPen);
    EXPECT_EQ(device.selected[kBrushObject], CRecordingDevice::kOwnBrush);
    EXPECT_EQ(device.selected[kFontObject], CRecordingDevice::kOwnFont);
    EXPECT_TRUE(device.live.empty());
}

TEST(DrawContextConstruction, WindowContextUsesAndReleasesTheWindowsDevice)
{
    auto* windowDevice = new CRecordingDevice;
    CFakePlatformServices services;
    services.windowDevice = windowDevice;
    int window = 0;
    {
        CDrawContext context(nullptr, nullptr, &window, services);
        EXPECT_EQ(context.getDevice(), windowDevice);
        EXPECT_EQ(context.offsetScreen, CPoint(100, 200));
        EXPECT_EQ(windowDevice->calls.front(), "setBackgroundOpaque 0");
        services.cursor = CPoint(130, 215);
        CPoint local;
        context.getMouseLocation(local);
        EXPECT_EQ(local, CPoint(30, 15));
    }
    // The window's device was deleted with the context (the sanitizer build sees a leak
    // otherwise).
}

TEST(DrawContextConstruction, WindowWithoutDeviceGivesAContextWhosePrimitivesDoNothing)
{
    CFakePlatformServices services;
    int window = 0;
    CDrawContext context(nullptr, nullptr, &window, services);
    EXPECT_EQ(context.getDevice(), nullptr);
    context.fillRect(CRect(0, 0, 10, 10));
    context.drawString("x", CRect(0, 0, 10, 10));
    EXPECT_EQ(context.getStringWidth("x"), 0);
}

TEST_F(RecordedContext, RectanglesMakeFillAndOutlineCalls)
{
    const std::string brush = std::to_string(device.selected[kBrushObject]);
    const std::string outline[] = {"moveTo (10,10)", "lineTo (19,10)", "lineTo (19,19)",
                                   "lineTo (10,19)", "lineTo (10,10)"};
    struct
    {
        int32_t style;
        bool fill, stroke;
    } cases[] = {{kStroke, false, true},
                 {kFill, true, false},
                 {kFillAndStroke, true, true},
                 {3, false, false}};
    for (const auto& test : cases)
    {
        device.clear();
        context->drawRect(CRect(10, 10, 20, 20), test.style);
        std::vector<std::string> expected;
        if (test.fill) expected.push_back("fillRect (10,10,20,20) brush " + brush);
        if (test.stroke) expected.insert(expected.end(), std::begin(outline), std::end(outline));
        EXPECT_EQ(device.calls, expected) << test.style;
    }
}

TEST_F(RecordedContext, PolygonsFillWithTheNullPenAndStrokeOpen)
{
    const CPoint triangle[] = {{0, 0}, {10, 0}, {5, 8}};
    const std::string pen = std::to_string(device.selected[kPenObject]);
    context->offset = CPoint(1, 2);
    context->drawPolygon(triangle, 3, kFillAndStroke);
    EXPECT_EQ(device.calls,
              (std::vector<std::string>{"select " + std::to_string(CRecordingDevice::kNullPen),
                                        "polygon (1,2)(11,2)(6,10)", "select " + pen,
                                        "polyline (1,2)(11,2)(6,10)"}));
    device.clear();
    context->drawPolygon(triangle, 3, 4);
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(RecordedContext, LongPolylinesAreTranslatedWhole)
{
    std::vector<CPoint> points;
    for (int32_t i = 0; i < 45; ++i)
        points.emplace_back(i, i % 2);
    context->offset = CPoint(100, 0);
    context->drawPolyline(points.data(), 45);
    ASSERT_EQ(device.calls.size(), 1u);
    EXPECT_NE(device.calls[0].find("(100,0)(101,1)"), std::string::npos);
    EXPECT_NE(device.calls[0].find("(144,0)"), std::string::npos);
}

TEST_F(RecordedContext, EllipsesAndArcsUseTheirBoxes)
{
    context->offset = CPoint(1, 1);
    context->drawEllipse(CRect(10, 20, 31, 40));
    context->fillEllipse(CRect(10, 20, 31, 40));
    context->drawArc(CRect(0, 0, 8, 8), CPoint(8, 4), CPoint(0, 4));
    const std::string pen = std::to_string(device.selected[kPenObject]);
    EXPECT_EQ(device.calls,
              (std::vector<std::string>{"arc (11,21,33,42) (21,21) (21,21)",
                                        "select " + std::to_string(CRecordingDevice::kNullPen),
                                        "ellipse (12,22,33,42)", "select " + pen,
                                        "arc (1,1,10,10) (9,5) (1,5)"}));
}

TEST_F(RecordedContext, TextFormatsFollowTheAlignment)
{
    const struct
    {
        int32_t alignment;
        const char* rect;
        const char* format;
    } cases[] = {{kAlignLeft, "(6,0,20,10)", "000824"},
                 {kAlignCenter, "(5,0,20,10)", "000825"},
                 {kAlignRight, "(5,0,20,10)", "000826"},
                 {7, "(6,0,20,10)", "000824"},
                 {-1, "(6,0,20,10)", "000824"}};
    for (const auto& test : cases)
    {
        for (bool opaque : {false, true})
        {
            device.clear();
            context->drawString("a&b", CRect(5, 0, 20, 10), opaque, test.alignment);
            EXPECT_EQ(device.calls,
                      (std::vector<std::string>{
                          opaque ? "setBackgroundOpaque 1" : "setBackgroundOpaque 0",
                          std::string("drawText a&b ") + test.rect + " " + test.format,
                          "setBackgroundOpaque 0"}))
                << test.alignment;
        }
    }
    device.clear();
    context->drawString(nullptr, CRect(0, 0, 10, 10));
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(RecordedContext, PixelsDropAlphaAndReadBackOpaque)
{
    context->offset = CPoint(2, 3);
    context->drawPoint(CPoint(1, 1), CColor{1, 2, 3, 0});
    const CColor c = context->getPoint(CPoint(4, 4));
    context->floodFill(CPoint(0, 0));
    EXPECT_EQ(device.calls, (std::vector<std::string>{"setPixel (3,4) 030201", "getPixel (6,7)",
                                                      "getPixel (2,3)", "floodFill (2,3) 123456"}));
    EXPECT_EQ(c, (CColor{0x56, 0x34, 0x12, 255}));
}

// ---- Pixels on the back end -------------------------------------------------------------------

constexpr CColor kBackground = {40, 60, 80, 255};

struct Pixels : ::testing::Test
{
    CStubFrame frame;
    std::unique_ptr<COffscreenContext> context;
    const CRect all = CRect(0, 0, 40, 40);

    void SetUp() override
    {
        context = std::make_unique<COffscreenContext>(asFrame(frame), 40, 40, kBackground);
        context->setFrameColor(kColorWhite);
    }
    CInk ink() { return inkOf(*context, all, kBackground); }
};

TEST_F(Pixels, OffscreenStartsInTheBackgroundColourAndClipsToItsSize)
{
    EXPECT_EQ(ink().count, 0);
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 40, 40));
}

TEST_F(Pixels, aBlackImageFillsBlackWithTheColourItWasMadeWith)
{
    // The initial black fill was recorded before the image had a device; it must still be the
    // brush the device fills with, although setting black again is skipped as unchanged.
    CStubFrame stub;
    COffscreenContext black(asFrame(stub), 20, 20, kColorBlack);
    black.drawPoint(CPoint(5, 5), kColorWhite);
    black.setFillColor(kColorBlack);
    black.fillRect(CRect(0, 0, 20, 20));
    EXPECT_TRUE(sameColor(black.getPoint(CPoint(5, 5)), kColorBlack));
    EXPECT_TRUE(sameColor(black.getPoint(CPoint(10, 10)), kColorBlack));
}

TEST_F(Pixels, FillRectPaintsTheInteriorWithoutTopRowAndLeftColumn)
{
    context->setFillColor(kColorRed);
    context->fillRect(CRect(10, 10, 20, 20));
    const CInk painted = ink();
    EXPECT_EQ(painted.bounds, CRect(11, 11, 20, 20));
    EXPECT_EQ(painted.count, 81);
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(15, 15)), kColorRed));
}

TEST_F(Pixels, StrokedRectFramesTheFillExactly)
{
    context->setFillColor(kColorRed);
    context->fillRect(CRect(10, 10, 20, 20));
    context->setFrameColor(kColorYellow);
    context->drawRect(CRect(10, 10, 20, 20), kStroke);
    EXPECT_EQ(picture(*context, CRect(9, 9, 21, 21), kColorYellow, kBackground), "............\n"
                                                                                 ".##########.\n"
                                                                                 ".#????????#.\n"
                                                                                 ".#????????#.\n"
                                                                                 ".#????????#.\n"
                                                                                 ".#????????#.\n"
                                                                                 ".#????????#.\n"
                                                                                 ".#????????#.\n"
                                                                                 ".#????????#.\n"
                                                                                 ".#????????#.\n"
                                                                                 ".##########.\n"
                                                                                 "............\n");
    EXPECT_EQ(inkOf(*context, CRect(11, 11, 19, 19), kColorRed).count, 0);
}

TEST_F(Pixels, FilledRectCoversRightColumnAndBottomRowExcluded)
{
    context->setFillColor(kColorGreen);
    context->drawRect(CRect(5, 6, 9, 8), kFill);
    EXPECT_EQ(ink().bounds, CRect(5, 6, 9, 8));
    EXPECT_EQ(ink().count, 8);
}

TEST_F(Pixels, OneByOneFillPaintsNothing)
{
    context->setFillColor(kColorRed);
    context->fillRect(CRect(5, 5, 6, 6));
    EXPECT_EQ(ink().count, 0);
}

TEST_F(Pixels, LinesExcludeTheirEndPixel)
{
    const struct
    {
        CPoint from, to;
        CRect bounds;
        int count;
    } cases[] = {
        {{5, 5}, {15, 5}, {5, 5, 15, 6}, 10},       // to the right
        {{15, 5}, {5, 5}, {6, 5, 16, 6}, 10},       // to the left
        {{7, 3}, {7, 12}, {7, 3, 8, 12}, 9},        // down
        {{7, 12}, {7, 3}, {7, 4, 8, 13}, 9},        // up
        {{2, 2}, {12, 12}, {2, 2, 12, 12}, 10},     // diagonal
        {{30, 10}, {20, 20}, {21, 10, 31, 20}, 10}, // anti-diagonal
    };
    context->setFrameColor(kColorWhite);
    for (const auto& test : cases)
    {
        context->setFillColor(kBackground);
        context->drawRect(all, kFill);
        context->moveTo(test.from);
        context->lineTo(test.to);
        const CInk drawn = ink();
        EXPECT_EQ(drawn.bounds, test.bounds) << test.from.x << "," << test.from.y;
        EXPECT_EQ(drawn.count, test.count) << test.from.x << "," << test.from.y;
        EXPECT_FALSE(sameColor(context->getPoint(test.to), kColorWhite));
    }
}

TEST_F(Pixels, DrawLinesDrawsSeparateSegments)
{
    const CPoint segments[] = {{1, 1}, {5, 1}, {1, 3}, {1, 6}};
    context->drawLines(segments, 2);
    EXPECT_EQ(picture(*context, CRect(0, 0, 6, 7), kColorWhite, kBackground), "......\n"
                                                                              ".####.\n"
                                                                              "......\n"
                                                                              ".#....\n"
                                                                              ".#....\n"
                                                                              ".#....\n"
                                                                              "......\n");
}

TEST_F(Pixels, PolylineIsOpenAndExcludesItsLastPoint)
{
    const CPoint path[] = {{1, 1}, {5, 1}, {5, 4}};
    context->drawPolyline(path, 3);
    EXPECT_EQ(picture(*context, CRect(0, 0, 7, 6), kColorWhite, kBackground), ".......\n"
                                                                              ".#####.\n"
                                                                              ".....#.\n"
                                                                              ".....#.\n"
                                                                              ".......\n"
                                                                              ".......\n");
}

TEST_F(Pixels, OffsetMovesEveryPrimitive)
{
    context->offset = CPoint(5, 7);
    context->setFillColor(kColorRed);
    context->fillRect(CRect(0, 0, 3, 3));
    context->drawPoint(CPoint(10, 0), kColorGreen);
    context->moveTo(CPoint(0, 10));
    context->lineTo(CPoint(4, 10));
    context->offset = CPoint(0, 0);
    EXPECT_EQ(inkOf(*context, CRect(0, 0, 40, 16), kBackground).bounds, CRect(6, 7, 16, 10));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(15, 7)), kColorGreen));
    EXPECT_EQ(inkOf(*context, CRect(0, 16, 40, 40), kBackground).bounds, CRect(5, 17, 9, 18));
}

TEST_F(Pixels, ClipRectLimitsDrawing)
{
    context->setClipRect(CRect(10, 10, 20, 20));
    context->setFillColor(kColorRed);
    context->drawRect(all, kFill);
    context->moveTo(CPoint(0, 15));
    context->lineTo(CPoint(39, 15));
    context->drawPoint(CPoint(5, 5), kColorGreen);
    context->setClipRect(all); // pixels outside the clip cannot be read
    EXPECT_EQ(ink().bounds, CRect(10, 10, 20, 20));
    EXPECT_EQ(ink().count, 100);
}

TEST_F(Pixels, ClipRectFollowsTheOffset)
{
    context->offset = CPoint(10, 0);
    context->setClipRect(CRect(0, 0, 5, 5));
    context->offset = CPoint(0, 0);
    context->setFillColor(kColorRed);
    context->drawRect(all, kFill);
    context->setClipRect(all);
    EXPECT_EQ(ink().bounds, CRect(10, 0, 15, 5));
}

TEST_F(Pixels, DrawPointPaintsOnePixelAndGetPointReadsItOpaque)
{
    context->drawPoint(CPoint(3, 4), CColor{10, 20, 30, 0});
    EXPECT_EQ(ink().count, 1);
    EXPECT_EQ(context->getPoint(CPoint(3, 4)), (CColor{10, 20, 30, 255}));
    EXPECT_EQ(context->getPoint(CPoint(0, 0)), (CColor{40, 60, 80, 255}));
}

TEST_F(Pixels, FloodFillFillsTheConnectedAreaOnly)
{
    context->setFrameColor(kColorWhite);
    context->drawRect(CRect(5, 5, 15, 15), kStroke);
    context->setFillColor(kColorBlue);
    context->floodFill(CPoint(8, 8));
    EXPECT_EQ(inkOf(*context, all, kColorBlue).count, 40 * 40 - 64);
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(6, 6)), kColorBlue));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(13, 13)), kColorBlue));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(2, 2)), kBackground));
}

TEST_F(Pixels, DrawModesCombineThePenWithTheSurface)
{
    const struct
    {
        int32_t mode;
        CColor pen, surface, result;
    } cases[] = {
        {kModeCopy, kColorRed, kColorBlue, kColorRed},
        {kModeOr, kColorRed, kColorBlue, kColorMagenta},
        {kModeXor, kColorBlack, kColorBlue, kColorYellow},
        {kModeXor, kColorWhite, kColorGreen, kColorGreen},
    };
    for (const auto& test : cases)
    {
        context->setDrawMode(kModeCopy);
        context->setFillColor(test.surface);
        context->drawRect(all, kFill);
        context->setDrawMode(test.mode);
        context->setFrameColor(test.pen);
        context->moveTo(CPoint(2, 2));
        context->lineTo(CPoint(8, 2));
        const CColor c = context->getPoint(CPoint(4, 2));
        EXPECT_TRUE(sameColor(c, test.result))
            << test.mode << ": " << int(c.red) << "," << int(c.green) << "," << int(c.blue);
    }
}

TEST_F(Pixels, DottedLinesLeaveGaps)
{
    context->setLineStyle(kDottedLine);
    context->moveTo(CPoint(0, 5));
    context->lineTo(CPoint(30, 5));
    const int drawn = inkOf(*context, CRect(0, 5, 30, 6), kBackground).count;
    EXPECT_GT(drawn, 0);
    EXPECT_LT(drawn, 30);
}

TEST_F(Pixels, DottedGapsOfAFreshImageTakeTheFillColourUntilTheFirstText)
{
    // A new image keeps its device's opaque background mode; drawString leaves it transparent.
    auto countOnRow = [&](int32_t y, CColor c)
    { return 30 - inkOf(*context, CRect(0, y, 30, y + 1), c).count; };
    context->setLineStyle(kDottedLine);
    context->setFillColor(kColorBlue);
    context->moveTo(CPoint(0, 5));
    context->lineTo(CPoint(30, 5));
    EXPECT_GT(countOnRow(5, kColorWhite), 0);
    EXPECT_GT(countOnRow(5, kColorBlue), 0);
    EXPECT_EQ(countOnRow(5, kColorWhite) + countOnRow(5, kColorBlue), 30);

    context->drawString("", CRect(0, 0, 1, 1));
    context->moveTo(CPoint(0, 8));
    context->lineTo(CPoint(30, 8));
    EXPECT_GT(countOnRow(8, kColorWhite), 0);
    EXPECT_EQ(countOnRow(8, kColorWhite) + countOnRow(8, kBackground), 30);
}

TEST_F(Pixels, FillPolygonPaintsTheInteriorWithoutOutline)
{
    const CPoint square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    context->setFrameColor(kColorYellow);
    context->setFillColor(kColorRed);
    context->fillPolygon(square, 4);
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(15, 15)), kColorRed));
    EXPECT_EQ(inkOf(*context, all, kColorYellow).count, 40 * 40);
    const CInk painted = ink();
    EXPECT_GE(painted.bounds.left, 10);
    EXPECT_GE(painted.bounds.top, 10);
    EXPECT_LE(painted.bounds.right, 21);
    EXPECT_LE(painted.bounds.bottom, 21);
}

TEST_F(Pixels, EllipsesStayInTheirBoxes)
{
    context->setFillColor(kColorRed);
    context->fillEllipse(CRect(5, 5, 25, 25));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(15, 15)), kColorRed));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(6, 6)), kBackground));
    const CInk filled = ink();
    EXPECT_GE(filled.bounds.left, 6);
    EXPECT_LE(filled.bounds.right, 26);

    context->setFillColor(kBackground);
    context->drawRect(all, kFill);
    context->setFrameColor(kColorWhite);
    context->drawEllipse(CRect(5, 5, 25, 25));
    EXPECT_GT(inkOf(*context, CRect(13, 5, 18, 6), kBackground).count, 0); // at the top centre
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(15, 15)), kBackground));
    const CInk outline = ink();
    EXPECT_GE(outline.bounds.left, 5);
    EXPECT_GE(outline.bounds.top, 5);
    EXPECT_LE(outline.bounds.right, 26);
    EXPECT_LE(outline.bounds.bottom, 26);
}

TEST_F(Pixels, ArcRunsCounterClockwiseFromTheFirstRay)
{
    // From the right (3 o'clock) counter-clockwise to the left: the upper half only.
    context->drawArc(CRect(5, 5, 25, 25), CPoint(30, 15), CPoint(0, 15));
    EXPECT_GT(inkOf(*context, CRect(0, 0, 40, 13), kBackground).count, 0);
    EXPECT_EQ(inkOf(*context, CRect(0, 18, 40, 40), kBackground).count, 0);
}

// A pattern in which every pixel differs from its neighbours.
CColor patternAt(int32_t x, int32_t y)
{
    return CColor{uint8_t(x * 6), uint8_t(y * 6), uint8_t((x + y) * 3 + 1), 255};
}

void paintPattern(CDrawContext& context)
{
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x)
            context.drawPoint(CPoint(x, y), patternAt(x, y));
}

TEST_F(Pixels, BlitToCopiesAnExactBlockFromTheSourceOffset)
{
    CStubFrame otherFrame;
    COffscreenContext target(asFrame(otherFrame), 40, 40, kColorBlack);
    paintPattern(*context);
    target.offset = CPoint(2, 1);
    context->blitTo(&target, CRect(10, 12, 17, 20), CPoint(3, 5));
    target.offset = CPoint(0, 0);
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x)
        {
            const bool inside = x >= 12 && x < 19 && y >= 13 && y < 21;
            const CColor expected = inside ? patternAt(x - 12 + 3, y - 13 + 5) : kColorBlack;
            ASSERT_TRUE(sameColor(target.getPoint(CPoint(x, y)), expected)) << x << "," << y;
        }
}

TEST_F(Pixels, GrabFromCopiesTheSourceRectangleToTheDestinationOffset)
{
    CStubFrame otherFrame;
    COffscreenContext source(asFrame(otherFrame), 40, 40, kColorBlack);
    paintPattern(source);
    source.offset = CPoint(1, 2);
    context->grabFrom(&source, CRect(4, 6, 10, 9), CPoint(20, 30));
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x)
        {
            const bool inside = x >= 20 && x < 26 && y >= 30 && y < 33;
            const CColor expected = inside ? patternAt(x - 20 + 5, y - 30 + 8) : kBackground;
            ASSERT_TRUE(sameColor(context->getPoint(CPoint(x, y)), expected)) << x << "," << y;
        }
}

TEST_F(Pixels, BlendedCopiesOfPixelImagesKeepTransparentPixels)
{
    // 2 x 1 premultiplied image, rows bottom-up: opaque red, then fully transparent.
    const uint32_t image[2] = {0xFFFF0000u, 0x00000000u};
    std::unique_ptr<CDrawDevice> source(platformServices().createPixelImageDevice(2, 1, image));
    ASSERT_NE(source, nullptr);
    context->getDevice()->alphaBlend(CRect(4, 4, 6, 5), *source, CRect(0, 0, 2, 1), 255);
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(4, 4)), kColorRed));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(5, 4)), kBackground));

    // Colour-keyed sources are plain GDI-style pixels: alpha byte 0.
    const uint32_t keyed[2] = {0x0000FF00u, 0x00FF00FFu};
    std::unique_ptr<CDrawDevice> sprite(platformServices().createPixelImageDevice(2, 1, keyed));
    ASSERT_NE(sprite, nullptr);
    context->getDevice()->transparentCopy(CRect(8, 4, 10, 5), *sprite, CRect(0, 0, 2, 1),
                                          0xFF00FF); // magenta is the key
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(8, 4)), kColorGreen));
    EXPECT_TRUE(sameColor(context->getPoint(CPoint(9, 4)), kBackground));
}

// ---- Text on the back end ---------------------------------------------------------------------

struct Text : Pixels
{
    void SetUp() override
    {
        Pixels::SetUp();
        context->setFont(kFontNormal, 12, 0);
        context->setFontColor(kColorWhite);
    }
    CInk textInk(const char* text, const CRect& rect, int32_t alignment)
    {
        context->setFillColor(kBackground);
        context->drawRect(all, kFill);
        context->drawString(text, rect, false, alignment);
        return ink();
    }
};

TEST_F(Text, LeftAlignedTextStartsOnePixelIn)
{
    const int32_t width = context->getStringWidth("l");
    ASSERT_GT(width, 0);
    const CInk tight = textInk("l", CRect(10, 5, 10 + width, 25), kAlignCenter);
    const CInk left = textInk("l", CRect(10, 5, 30, 25), kAlignLeft);
    ASSERT_GT(left.count, 0);
    EXPECT_EQ(left.bounds.left, tight.bounds.left + 1);
    EXPECT_GT(left.bounds.left, 10);
    const CInk moved = textInk("l", CRect(17, 5, 37, 25), kAlignLeft);
    EXPECT_EQ(moved.bounds, CRect(left.bounds).offset(7, 0));
    EXPECT_EQ(moved.count, left.count);
}

TEST_F(Text, AlignmentsOtherThanCentreAndRightBehaveAsLeft)
{
    const CRect rect(3, 5, 33, 25);
    const CInk left = textInk("Hl", rect, kAlignLeft);
    for (int32_t alignment : {3, 42, -1})
    {
        const CInk other = textInk("Hl", rect, alignment);
        EXPECT_EQ(other.bounds, left.bounds) << alignment;
        EXPECT_EQ(other.count, left.count) << alignment;
    }
}

TEST_F(Text, CentredAndRightAlignedTextStayInsideAndMoveWithTheRect)
{
    const CInk right = textInk("Hl", CRect(0, 5, 30, 25), kAlignRight);
    ASSERT_GT(right.count, 0);
    EXPECT_LE(right.bounds.right, 30);
    const CInk rightMoved = textInk("Hl", CRect(0, 5, 35, 25), kAlignRight);
    EXPECT_EQ(rightMoved.bounds, CRect(right.bounds).offset(5, 0));
    const CInk centre = textInk("Hl", CRect(0, 5, 30, 25), kAlignCenter);
    const CInk centreWider = textInk("Hl", CRect(0, 5, 40, 25), kAlignCenter);
    EXPECT_EQ(centreWider.bounds, CRect(centre.bounds).offset(5, 0));
}

TEST_F(Text, SingleLineTextIsCentredVertically)
{
    const CInk low = textInk("H", CRect(5, 0, 35, 20), kAlignLeft);
    const CInk high = textInk("H", CRect(5, 0, 35, 40), kAlignLeft);
    ASSERT_GT(low.count, 0);
    const int shift = high.bounds.top - low.bounds.top;
    EXPECT_GE(shift, 9);
    EXPECT_LE(shift, 11);
    EXPECT_EQ(high.bounds.height(), low.bounds.height());
    const CInk lower = textInk("H", CRect(5, 10, 35, 30), kAlignLeft);
    EXPECT_EQ(lower.bounds, CRect(low.bounds).offset(0, 10));
}

TEST_F(Text, TextIsClippedToItsRectangle)
{
    const CInk clipped = textInk("HHHHHHHH", CRect(5, 5, 15, 25), kAlignLeft);
    ASSERT_GT(clipped.count, 0);
    EXPECT_GE(clipped.bounds.left, 6);
    EXPECT_LE(clipped.bounds.right, 15);
}

TEST_F(Text, OpaqueTextPaintsItsCellInTheFillColourAndTransparentTextDoesNot)
{
    const CRect rect(5, 5, 35, 35);
    context->setFillColor(kColorBlue);
    context->drawString("H", rect, true, kAlignLeft);
    const CInk painted = ink();
    const int blue = 40 * 40 - inkOf(*context, all, kColorBlue).count;
    EXPECT_GT(blue, 0);
    EXPECT_LT(blue, rect.width() * rect.height());
    EXPECT_GE(painted.bounds.left, 6);
    EXPECT_GE(painted.bounds.top, 5);
    EXPECT_LE(painted.bounds.right, 35);
    EXPECT_LE(painted.bounds.bottom, 35);

    context->setFillColor(kBackground);
    context->drawRect(all, kFill);
    context->setFillColor(kColorBlue);
    context->drawString("H", rect, false, kAlignLeft);
    EXPECT_EQ(40 * 40 - inkOf(*context, all, kColorBlue).count, 0);
    EXPECT_GT(ink().count, 0);
}

TEST_F(Text, StringWidthAddsTheAdvances)
{
    EXPECT_EQ(context->getStringWidth(""), 0);
    const int32_t one = context->getStringWidth("l");
    EXPECT_GT(one, 0);
    EXPECT_EQ(context->getStringWidth("llll"), 4 * one);
    EXPECT_EQ(context->getStringWidth(nullptr), 0);
}

TEST_F(Text, AmpersandIsPrintedLiterally)
{
    const int32_t plain = context->getStringWidth("a&b");
    const CInk withAmpersand = textInk("a&b", CRect(0, 5, 40, 25), kAlignCenter);
    const CInk without = textInk("ab", CRect(0, 5, 40, 25), kAlignCenter);
    EXPECT_GT(plain, context->getStringWidth("ab"));
    EXPECT_GT(withAmpersand.bounds.width(), without.bounds.width());
}
} // namespace
