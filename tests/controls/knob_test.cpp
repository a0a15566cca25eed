// Knobs: the geometry between values and points, circular and linear drags followed through the
// pointer's polls, control-click reset, arrow keys, the wheel, and the film strip's frames.
#include "controls_fixture.h"

#include "toolkit/controls/knob.h"

#include <cmath>
#include <limits>

namespace
{
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr int32_t kFrames = 61;
constexpr int32_t kFrameHeight = 64;
constexpr int32_t kTag = 7;
const CRect kKnobRect(20, 30, 84, 94);

// Frame i of the strip: red 4 i, green 255 - 4 i.
CColor stripColour(int32_t i)
{
    return CColor{uint8_t(4 * i), uint8_t(255 - 4 * i), 64, 255};
}

// The strip frame a pixel shows, or -1 for anything else.
int32_t frameOfPixel(CSoftPixel pixel)
{
    const int32_t red = (pixel >> 16) & 0xFF;
    const int32_t green = (pixel >> 8) & 0xFF;
    if (red % 4 != 0 || green != 255 - red) return -1;
    return red / 4;
}

CPoint knobPoint(int32_t x, int32_t y)
{
    return CPoint(kKnobRect.left + x, kKnobRect.top + y);
}

std::vector<std::string> withoutIdle(const CLog& log)
{
    std::vector<std::string> kept;
    for (const std::string& line : log)
        if (line != "idle") kept.push_back(line);
    return kept;
}

struct Knob : WindowedFrame
{
    CAnimKnob* knob = nullptr;

    Knob()
    {
        std::vector<CColor> colours;
        for (int32_t i = 0; i < kFrames; ++i)
            colours.push_back(stripColour(i));
        CBitmap* strip = makeBands(64, kFrameHeight, colours);
        knob = new CAnimKnob(kKnobRect, &listener, kTag, kFrames, kFrameHeight, strip);
        strip->dropReference();
        frame->addView(knob);
    }

    // The knob's value after each position of a drag.
    std::vector<float> dragValues(const std::vector<CPointerStep>& steps)
    {
        // A position is taken in the loop pass after the poll that moved the pointer there, so
        // its value shows two polls later; the press's own poll comes from the frame.
        std::vector<float> seen;
        int polls = 0;
        drag(steps,
             [&]
             {
                 if (++polls >= 3) seen.push_back(knob->getValue());
             });
        seen.push_back(knob->getValue());
        return seen;
    }
};

TEST(KnobGeometry, ValuesLieOnTheRimFromTheLowerLeftOverTheTopToTheLowerRight)
{
    CAnimKnob anim(CRect(0, 0, 64, 64), nullptr, 0, kFrames, kFrameHeight, nullptr);
    CKnob plain(CRect(0, 0, 64, 64), nullptr, 0, nullptr, nullptr);
    const struct
    {
        CKnob* knob;
        float value;
        CPoint point;
    } cases[] = {
        {&anim, 0.5f, {32, 0}},  {&anim, 0.0f, {9, 55}},  {&anim, 1.0f, {55, 55}},
        {&plain, 0.5f, {32, 3}}, {&anim, kNaN, {32, 32}}, {&anim, kInf, {32, 32}},
    };
    for (const auto& c : cases)
    {
        c.knob->setValue(c.value);
        CPoint p;
        c.knob->valueToPoint(p);
        EXPECT_EQ(p, c.point) << c.value;
    }
}

TEST(KnobGeometry, PointsGiveTheValueOfTheirAngleAndTheGapTheEndOnItsSide)
{
    CAnimKnob knob(CRect(0, 0, 64, 64), nullptr, 0, kFrames, kFrameHeight, nullptr);
    const struct
    {
        CPoint point;
        float value;
    } cases[] = {
        {{32, 0}, 0.5f},         {{0, 64}, 0.0f},  {{64, 64}, 1.0f}, {{0, 32}, 1.0f / 6.0f},
        {{64, 32}, 5.0f / 6.0f}, {{40, 64}, 1.0f}, // the gap's half next to the maximum
        {{24, 64}, 0.0f},                          // and the other half
    };
    for (const auto& c : cases)
        EXPECT_NEAR(knob.valueFromPoint(c.point), c.value, 1e-5f) << c.point.x << "," << c.point.y;
}

TEST_F(Knob, ACircularDragFollowsTheAngleAndThePinnedEndHoldsAcrossTheGap)
{
    knob->setValue(0.0f);
    const std::vector<CPointerStep> steps = {
        {knobPoint(32, 0)},  {knobPoint(64, 32)}, {knobPoint(63, 63)}, {knobPoint(40, 64)},
        {knobPoint(24, 64)}, {knobPoint(0, 64)},  {knobPoint(0, 32)},  {knobPoint(32, 0)},
    };
    const std::vector<float> expected = {0.5f, 5.0f / 6.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.5f};
    const std::vector<float> seen = dragValues(steps);
    ASSERT_EQ(seen.size(), expected.size());
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_NEAR(seen[i], expected[i], 1e-5f) << "position " << i;
    EXPECT_EQ(withoutIdle(log).front(), "begin 7");
    EXPECT_EQ(withoutIdle(log).back(), "end 7");
}

TEST_F(Knob, ALinearDragSpans200PixelsOr300WithShiftWithoutAJumpWhenShiftChanges)
{
    const CPoint c = knobPoint(32, 32);
    const auto at = [&](int32_t dx, int32_t dy, bool shift = false, bool alt = false) {
        return CPointerStep{CPoint(c.x + dx, c.y + dy), shift, false, alt};
    };
    const struct
    {
        const char* name;
        int32_t knobMode;
        std::vector<CPointerStep> steps;
        float expected;
    } cases[] = {
        {"up 200", 2, {at(0, 0), at(0, -100), at(0, -200)}, 1.0f},
        {"up 300 stays at the end", 2, {at(0, 0), at(0, -300)}, 1.0f},
        {"right 100", 2, {at(0, 0), at(100, 0)}, 0.5f},
        {"up and back left", 2, {at(0, 0), at(0, -100), at(-100, -100)}, 0.0f},
        {"shift, up 150", 2, {at(0, 0, true), at(0, -150, true)}, 0.5f},
        {"shift pressed after 100",
         2,
         {at(0, 0), at(0, -100), at(0, -100, true), at(0, -130, true)},
         0.6f},
        {"shift released after 150",
         2,
         {at(0, 0, true), at(0, -150, true), at(0, -150), at(0, -170)},
         0.6f},
        {"alt makes a circular host linear",
         0,
         {at(0, 0, false, true), at(100, 0, false, true)},
         0.5f},
        {"alt makes a linear host circular",
         2,
         {at(0, 0, false, true), at(0, -32, false, true)},
         0.5f},
    };
    for (const auto& test : cases)
    {
        editor.knobMode = test.knobMode;
        knob->setValue(0.0f);
        drag(test.steps);
        EXPECT_NEAR(knob->getValue(), test.expected, 1e-5f) << test.name;
    }
}

TEST_F(Knob, AControlClickResetsToTheMiddleInsideOneGestureAndControlShiftDoesNot)
{
    editor.knobMode = 2; // a press without a move leaves a linear drag where it was
    const struct
    {
        bool shift;
        float expected;
        std::vector<std::string> log;
    } cases[] = {
        {false, 0.5f, {"modifier 7 17", "begin 7", "changed 7 0.500", "end 7"}},
        // A drag that does not move: the knob, dirty as the new focus view, reports its value.
        {true, 0.2f, {"modifier 7 25", "begin 7", "changed 7 0.200", "end 7"}},
    };
    for (const auto& c : cases)
    {
        knob->setValue(0.2f);
        knob->setDirty(false);
        log.clear();
        click(knobPoint(32, 32), c.shift, true);
        EXPECT_FLOAT_EQ(knob->getValue(), c.expected) << c.shift;
        EXPECT_EQ(withoutIdle(log), c.log) << c.shift;
    }
}

TEST_F(Knob, ArrowKeysStepByTheWheelIncrementAndATenthWithShift)
{
    const struct
    {
        float start;
        unsigned char virt, modifier;
        float expected;
        int32_t result;
    } cases[] = {
        {0.5f, 12, 0, 0.6f, 1}, {0.5f, 13, 0, 0.6f, 1},  {0.5f, 11, 0, 0.4f, 1},
        {0.5f, 14, 0, 0.4f, 1}, {0.5f, 12, 1, 0.51f, 1}, {0.5f, 14, 1, 0.49f, 1},
        {1.0f, 12, 0, 1.0f, 1}, // at the end, still handled
        {0.5f, 2, 0, 0.5f, -1}, // Tab is not the knob's
    };
    for (const auto& c : cases)
    {
        knob->setValue(c.start);
        knob->setDirty(false);
        log.clear();
        VstKeyCode key{0, c.virt, c.modifier};
        EXPECT_EQ(knob->onKeyDown(key), c.result) << int(c.virt);
        EXPECT_FLOAT_EQ(knob->getValue(), c.expected) << int(c.virt);
        const bool moved = c.expected != c.start;
        EXPECT_EQ(log.size(), moved ? 3u : 0u) << int(c.virt); // begin, changed, end
    }
}

TEST_F(Knob, AWheelNotchMovesATenthOfTheRangeAndAHundredthWithShift)
{
    const struct
    {
        int32_t delta;
        bool shift;
        float expected;
    } cases[] = {{-120, false, 0.4f}, {120, false, 0.6f}, {-120, true, 0.49f}, {240, false, 0.7f}};
    for (const auto& c : cases)
    {
        knob->setValue(0.5f);
        softInput().shift = c.shift;
        const CPoint p = knobPoint(10, 10);
        softWindowWheel(window(), CPoint(screenOrigin.x + p.x, screenOrigin.y + p.y), c.delta);
        EXPECT_FLOAT_EQ(knob->getValue(), c.expected) << c.delta << " " << c.shift;
    }
}

TEST_F(Knob, TheFilmStripFrameFollowsTheValueAndNeverLeavesTheStrip)
{
    const struct
    {
        float value;
        int32_t frame;
    } cases[] = {
        {0.0f, 0},  {0.5f, 30}, {1.0f, 60}, {0.999f, 59}, {-0.1f, 0},
        {1.5f, 60}, {kNaN, 0},  {kInf, 60}, {-kInf, 0},   {1e30f, 60},
    };
    for (const auto& c : cases)
    {
        knob->setValue(c.value);
        paint();
        EXPECT_EQ(frameOfPixel(pixel(kKnobRect.left + 32, kKnobRect.top + 32)), c.frame) << c.value;
        EXPECT_FALSE(knob->isDirty()) << c.value;
    }
}

TEST_F(Knob, AChangeThatDoesNotMoveTheHandleByAPixelAsksForNoRedraw)
{
    knob->setValue(0.5f);
    paint();
    knob->setValue(0.501f);
    EXPECT_FALSE(knob->isDirty());
    EXPECT_FALSE(frame->isDirty());
    knob->setValue(0.52f);
    EXPECT_TRUE(frame->isDirty());
}
} // namespace
