// The frame in a memory window of the software back end: class use count, first paint through
// the back buffer, idle redraws, presses, wheel, resizing, cursors and the window's end.
#include "view_fixtures.h"

#include "toolkit/core/backend_soft/soft_windows.h"
#include "toolkit/core/frame.h"
#include "toolkit/core/frame_editor.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{
CColor surfacePixel(CSoftWindow* window, int32_t x, int32_t y)
{
    const CSoftPixel p = window->surface.at(x, y);
    return CColor{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                  static_cast<uint8_t>(p), 255};
}

struct SoftFrame : ::testing::Test
{
    RecordingEditor editor;
    CSoftWindow* host = nullptr;
    CFrame* frame = nullptr;

    void SetUp() override
    {
        softInput() = CSoftInput();
        host = createSoftWindow(nullptr, CRect(100, 50, 300, 250), "Host", true);
        frame = new CFrame(CRect(0, 0, 120, 80), host, &editor);
    }
    void TearDown() override
    {
        if (frame) frame->dropReference();
        destroySoftWindow(host);
        EXPECT_EQ(softWindowCount(), 0);
    }
    CSoftWindow* window() const { return static_cast<CSoftWindow*>(frame->getSystemWindow()); }
};
} // namespace

TEST_F(SoftFrame, TwoFramesShareOneWindowClassThatGoesWithTheLast)
{
    char expected[kClassNameCapacity];
    std::snprintf(expected, sizeof(expected), "Plugin%p", static_cast<void*>(nullptr));
    EXPECT_STREQ(gClassName, expected);
    EXPECT_EQ(gFrameCount, 1);
    auto* second = new CFrame(CRect(0, 0, 10, 10), host, &editor);
    EXPECT_EQ(gFrameCount, 2);
    frame->dropReference();
    frame = nullptr;
    EXPECT_TRUE(softClassRegistered(gClassName));
    second->dropReference();
    EXPECT_EQ(gFrameCount, 0);
    EXPECT_FALSE(softClassRegistered(gClassName));
}

TEST_F(SoftFrame, AFrameWithoutAParentWindowHasNoWindowAndHoldsNoClass)
{
    auto* orphan = new CFrame(CRect(0, 0, 10, 10), nullptr, &editor);
    EXPECT_EQ(orphan->getSystemWindow(), nullptr);
    EXPECT_EQ(gFrameCount, 1);
    orphan->dropReference();
}

TEST_F(SoftFrame, IdleWaitsForTheFirstPaintWhichGoesThroughTheBackBuffer)
{
    CProbeView* view = new CProbeView(CRect(10, 10, 30, 30), kColorGreen);
    frame->addView(view);
    frame->idle();
    EXPECT_EQ(view->draws + view->partDraws, 0) << "idle before the first paint does nothing";
    EXPECT_TRUE(frame->isFirstDraw());

    softWindowPaint(window(), CRect(0, 0, 120, 80));
    EXPECT_FALSE(frame->isFirstDraw());
    EXPECT_EQ(view->draws, 1);
    EXPECT_TRUE(samePixel(surfacePixel(window(), 20, 20), kColorGreen));
    EXPECT_TRUE(samePixel(surfacePixel(window(), 5, 5), kColorBlack));

    view->color = kColorBlue;
    view->setDirty(true);
    frame->idle();
    EXPECT_EQ(view->draws, 2);
    EXPECT_TRUE(samePixel(surfacePixel(window(), 20, 20), kColorBlue));
    frame->idle();
    EXPECT_EQ(view->draws, 2) << "nothing dirty, nothing drawn";
}

TEST_F(SoftFrame, APaintCopiesExactlyThePaintedRectangle)
{
    CProbeView* view = new CProbeView(CRect(0, 0, 120, 80), kColorGreen);
    frame->addView(view);
    softWindowPaint(window(), CRect(10, 10, 20, 20));
    EXPECT_TRUE(samePixel(surfacePixel(window(), 10, 10), kColorGreen));
    EXPECT_TRUE(samePixel(surfacePixel(window(), 19, 19), kColorGreen));
    EXPECT_EQ(window()->surface.at(20, 20), 0u);
    EXPECT_EQ(window()->surface.at(9, 9), 0u);
}

TEST_F(SoftFrame, APressReachesTheFrontmostMouseEnabledViewAndClearsTheFocusFirst)
{
    CProbeView* back = new CProbeView(CRect(0, 0, 60, 60));
    CProbeView* front = new CProbeView(CRect(20, 20, 80, 80));
    CProbeView* disabled = new CProbeView(CRect(0, 0, 120, 80));
    frame->addView(back);
    frame->addView(front);
    frame->addView(disabled);
    disabled->setMouseEnabled(false);
    frame->setFocusView(back);

    softInput().leftButton = true;
    softWindowButtonDown(window(), CPoint(30, 40));
    EXPECT_EQ(back->focusLosses, 1);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    ASSERT_EQ(front->presses.size(), 1u);
    EXPECT_EQ(front->presses[0], CPoint(30, 40));
    EXPECT_EQ(front->lastButtons, kLeftButton) << "buttons read from the input state";
    EXPECT_TRUE(back->presses.empty());
}

TEST_F(SoftFrame, WheelNotchesOf120GiveOneAndHalfStepsGiveHalf)
{
    CProbeView* view = new CProbeView(CRect(0, 0, 120, 80));
    frame->addView(view);
    const CRect screen = softWindowScreenRect(window());
    for (int32_t delta : {120, -120, 60})
        softWindowWheel(window(), CPoint(screen.left + 30, screen.top + 40), delta);
    EXPECT_EQ(view->wheels, (std::vector<float>{1.0f, -1.0f, 0.5f}));
    EXPECT_EQ(view->wheelPoint, CPoint(30, 40));
}

TEST_F(SoftFrame, AHostThatResizesItsWindowResizesTheFrameWindowOnly)
{
    editor.hostResizes = true;
    EXPECT_FALSE(frame->setSize(120, 80)) << "the current size";
    EXPECT_TRUE(frame->setSize(150, 90));
    EXPECT_EQ(editor.calls.back(), "sizeWindow 150x90");
    EXPECT_EQ(window()->rect, CRect(0, 0, 150, 90));
    EXPECT_EQ(host->rect, CRect(100, 50, 300, 250));
    CRect size;
    EXPECT_EQ(frame->getViewSize(size), CRect(0, 0, 150, 90));
}

TEST_F(SoftFrame, WithoutTheHostTheWalkGrowsThePluginsOwnParentWindows)
{
    // host (caption) > plugin window 6 pixels larger than the frame > frame window.
    frame->dropReference();
    CSoftWindow* plugin = createSoftWindow(host, CRect(4, 4, 130, 90), "PluginShell");
    frame = new CFrame(CRect(0, 0, 120, 80), plugin, &editor);
    EXPECT_TRUE(frame->setSize(140, 100));
    EXPECT_EQ(window()->rect, CRect(0, 0, 140, 100));
    EXPECT_EQ(plugin->rect, CRect(4, 4, 150, 110)) << "the parent keeps its 6-pixel margin";
    EXPECT_EQ(host->rect, CRect(100, 50, 300, 250)) << "the walk stops at the dialog frame";
    EXPECT_TRUE(frame->isDirty());
}

TEST_F(SoftFrame, TheWalkStopsAtAParentThatBelongsToTheHost)
{
    EXPECT_TRUE(frame->setSize(100, 60));
    EXPECT_EQ(window()->rect, CRect(0, 0, 100, 60));
    EXPECT_EQ(host->rect, CRect(100, 50, 300, 250));
}

TEST_F(SoftFrame, CursorTypesShowSystemCursorsAndTheRestRestoreTheDefault)
{
    const struct
    {
        int32_t type;
        int32_t shown;
    } cases[] = {{kCursorWait, kCursorWait},
                 {kCursorHand, kCursorHand},
                 {7, 0},
                 {kCursorNotAllowed, kCursorNotAllowed},
                 {12, 0},
                 {kCursorHSize, kCursorHSize},
                 {kCursorDefault, 0}};
    for (const auto& c : cases)
    {
        frame->setCursor(c.type);
        EXPECT_EQ(softInput().cursorType, c.shown) << c.type;
    }
}

TEST_F(SoftFrame, TheWindowsEndClearsTheOpenFlagAndLeavesNothingToTouch)
{
    frame->addView(new CProbeView(CRect(0, 0, 10, 10)));
    softWindowPaint(window(), CRect(0, 0, 120, 80));
    destroySoftWindow(host);
    host = nullptr;
    EXPECT_FALSE(frame->isOpen());
    EXPECT_FALSE(frame->setSize(200, 200));
    frame->idle();
    frame->dropReference();
    frame = nullptr;
    EXPECT_EQ(gFrameCount, 0);
    EXPECT_FALSE(softClassRegistered(gClassName));
}

TEST_F(SoftFrame, TheFramePassesGesturesAndTheKnobModeToItsEditor)
{
    frame->beginEdit(9);
    frame->endEdit(9);
    frame->idleNow();
    EXPECT_EQ(editor.calls, (std::vector<std::string>{"begin 9", "end 9", "idleNow"}));
    editor.knobMode = 2;
    EXPECT_EQ(frame->getKnobMode(), 2);
    EXPECT_NE(frame->getEditor(), nullptr);
}

TEST_F(SoftFrame, PositionAndSizeAreReadFromTheWindowsAroundTheFrame)
{
    int32_t x = -1, y = -1;
    ASSERT_TRUE(frame->getPosition(x, y));
    EXPECT_EQ(CPoint(x, y), CPoint(0, 0)) << "a parent much larger than the frame is the host's";
    CRect rect;
    ASSERT_TRUE(frame->getSize(rect));
    EXPECT_EQ(rect, CRect(100, 50, 300, 250));
    softInput().cursor = CPoint(130, 70);
    CPoint where;
    frame->getCurrentLocation(where);
    EXPECT_EQ(where, CPoint(30, 20));
}
