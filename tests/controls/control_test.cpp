// The control base: clamping, dirty tracking against the value last drawn, double-click timing.
#include "controls_fixture.h"

#include <cmath>
#include <limits>

namespace
{
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct CPlainControl : CControl
{
    using CControl::CControl;
    void draw(CDrawContext*) override { setDirty(false); }
};

TEST(ControlValue, ClampingBringsTheValueIntoTheRangeAndLeavesNaNAlone)
{
    const struct
    {
        float value, min, max, expected;
    } cases[] = {
        {1.5f, 0.0f, 1.0f, 1.0f}, {-0.2f, 0.0f, 1.0f, 0.0f}, {0.5f, 0.0f, 1.0f, 0.5f},
        {kInf, 0.0f, 1.0f, 1.0f}, {-kInf, 0.0f, 1.0f, 0.0f}, {0.1f, 0.2f, 0.8f, 0.2f},
        {0.9f, 0.2f, 0.8f, 0.8f}, {kNaN, 0.0f, 1.0f, kNaN},
    };
    CPlainControl control(CRect(0, 0, 10, 10));
    for (const auto& c : cases)
    {
        control.setMin(c.min);
        control.setMax(c.max);
        control.setValue(c.value);
        control.clampValue();
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(control.getValue()));
        else
            EXPECT_EQ(control.getValue(), c.expected) << c.value;
    }
}

TEST(ControlDirt, ANewControlIsDirtyAndADrawnOneOnlyWhileItsValueDiffersFromTheDrawnOne)
{
    CPlainControl control(CRect(0, 0, 10, 10));
    EXPECT_TRUE(control.isDirty());
    EXPECT_EQ(control.getOldValue(), -1.0f);

    control.draw(nullptr);
    EXPECT_FALSE(control.isDirty());
    control.setValue(0.3f);
    EXPECT_TRUE(control.isDirty());
    control.setValue(0.0f); // back to the value drawn
    EXPECT_FALSE(control.isDirty());
}

TEST(ControlDirt, MarkingDirtyForcesTheOldValueAwayEvenAtMinusOne)
{
    const struct
    {
        float value, oldValue;
    } cases[] = {{-1.0f, 0.0f}, {0.7f, -1.0f}, {0.0f, -1.0f}};
    for (const auto& c : cases)
    {
        CPlainControl control(CRect(0, 0, 10, 10));
        control.setValue(c.value);
        control.setDirty(false);
        control.setDirty(true);
        EXPECT_EQ(control.getOldValue(), c.oldValue) << c.value;
        control.CView::setDirty(false); // only the value comparison is left
        EXPECT_TRUE(control.isDirty()) << c.value;
    }
}

struct DoubleClick : ::testing::Test
{
    CLog log;
    CLoggingEditor editor{log};
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, &editor);

    ~DoubleClick() override
    {
        frame->dropReference();
        softClock() = CSoftClock();
    }
};

TEST_F(DoubleClick, TheSecondClickWithinTheSystemTimeCountsAndTheThirdStartsANewPair)
{
    const struct
    {
        const char* name;
        uint32_t systemTime;
        std::vector<std::pair<uint32_t, bool>> clicks; // tick count, double click
    } cases[] = {
        {"pairs", 500, {{1000, false}, {1100, true}, {1200, false}, {1300, true}}},
        {"the window's end is outside", 500, {{1000, false}, {1500, false}, {1999, true}}},
        {"200 ms are raised to 250",
         200,
         {{1000, false}, {1240, true}, {2000, false}, {2250, false}}},
        {"across the sign bit", 500, {{0x7FFFFFF0u, false}, {0x80000054u, true}}},
        {"across the wrap", 500, {{0xFFFFFFF0u, false}, {0x00000054u, true}}},
    };
    softClock().held = true;
    for (const auto& c : cases)
    {
        softClock().doubleClickTime = c.systemTime;
        auto* control = new CPlainControl(CRect(0, 0, 10, 10));
        frame->addView(control);
        for (const auto& click : c.clicks)
        {
            softClock().now = click.first;
            EXPECT_EQ(control->isDoubleClick(), click.second) << c.name << " at " << click.first;
        }
        frame->removeView(control, true);
    }
}

} // namespace
