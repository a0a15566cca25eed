// On/off buttons: the toggle on the press, the frame shown, and when the listener hears of it.
#include "controls_fixture.h"

#include "toolkit/controls/on_off_button.h"

#include <limits>

namespace
{
constexpr int32_t kTag = 5;
const CRect kButtonRect(40, 20, 80, 60);
const CColor kOffColour{10, 20, 30, 255};
const CColor kOnColour{200, 100, 50, 255};

struct Button : WindowedFrame
{
    COnOffButton* button = nullptr;

    Button()
    {
        CBitmap* strip =
            makeBands(kButtonRect.width(), kButtonRect.height(), {kOffColour, kOnColour});
        button = new COnOffButton(kButtonRect, &listener, kTag, strip, kNotifyAfterIdle);
        strip->dropReference();
        frame->addView(button);
    }

    void press() { click(CPoint(kButtonRect.left + 5, kButtonRect.top + 5)); }
    CSoftPixel shown()
    {
        paint();
        return pixel(kButtonRect.left + 20, kButtonRect.top + 20);
    }
};

TEST_F(Button, APressTogglesAndAnyValueWithIntegerPartZeroCountsAsOff)
{
    const struct
    {
        float start, after;
    } cases[] = {
        {0.0f, 1.0f},  {1.0f, 0.0f},  {0.3f, 1.0f}, {0.99f, 1.0f},
        {-0.5f, 1.0f}, {-1.0f, 0.0f}, {2.0f, 0.0f}, {std::numeric_limits<float>::quiet_NaN(), 0.0f},
    };
    for (const auto& c : cases)
    {
        button->setValue(c.start);
        press();
        EXPECT_EQ(button->getValue(), c.after) << c.start;
    }
}

TEST_F(Button, AnyValueButExactlyZeroShowsTheLowerHalf)
{
    const struct
    {
        float value;
        CColor colour;
    } cases[] = {{0.0f, kOffColour}, {-0.0f, kOffColour}, {0.3f, kOnColour}, {1.0f, kOnColour}};
    for (const auto& c : cases)
    {
        button->setValue(c.value);
        EXPECT_EQ(shown(), opaquePixel(c.colour)) << c.value;
    }
}

TEST_F(Button, TheStyleSaysWhetherTheListenerHearsBeforeOrAfterTheIdlePass)
{
    const struct
    {
        int32_t style;
        std::vector<std::string> log;
    } cases[] = {
        {kNotifyAfterIdle, {"idle", "begin 5", "changed 5 1.000", "end 5"}},
        {kNotifyBeforeIdle, {"begin 5", "changed 5 1.000", "end 5", "idle"}},
        {2, {"idle"}},
    };
    for (const auto& c : cases)
    {
        button->setStyle(c.style);
        button->setValue(0.0f);
        log.clear();
        press();
        EXPECT_EQ(log, c.log) << c.style;
    }
}

TEST_F(Button, WithStyleZeroTheListenerHearsAfterTheIdlePassHasRedrawnTheButton)
{
    paint();
    editor.onIdle = [this] { frame->idle(); };
    bool dirtyWhenTold = true;
    listener.onChange = [&](CControl* control) { dirtyWhenTold = control->isDirty(); };
    press();
    EXPECT_FALSE(dirtyWhenTold);
    EXPECT_EQ(log, (CLog{"idle", "begin 5", "changed 5 1.000", "end 5"}));
    EXPECT_EQ(pixel(kButtonRect.left + 20, kButtonRect.top + 20), opaquePixel(kOnColour));
}

TEST_F(Button, ARightPressDoesNothingAndAShiftPressToggledOnlyIfTheListenerLetsIt)
{
    softInput().rightButton = true;
    softWindowButtonDown(window(), CPoint(kButtonRect.left + 5, kButtonRect.top + 5));
    softInput().rightButton = false;
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(button->getValue(), 0.0f);

    const struct
    {
        int32_t answer;
        float after;
    } cases[] = {{1, 0.0f}, {0, 1.0f}};
    for (const auto& c : cases)
    {
        listener.modifierAnswer = c.answer;
        button->setValue(0.0f);
        log.clear();
        click(CPoint(kButtonRect.left + 5, kButtonRect.top + 5), true);
        EXPECT_EQ(log.front(), "modifier 5 9") << c.answer;
        EXPECT_EQ(button->getValue(), c.after) << c.answer;
    }
}
} // namespace
