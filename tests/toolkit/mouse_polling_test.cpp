// Button state and the two waits of the modal mouse loops, driven by fake platform services.
#include "draw_fixtures.h"
#include "test_frame.h"

#include "toolkit/core/draw_context.h"

#include <gtest/gtest.h>

namespace
{
struct MouseButtons : ::testing::Test
{
    CFakePlatformServices services;
    void TearDown() override { gSwapButtons = false; }
};

TEST_F(MouseButtons, PhysicalButtonsAndKeysGiveTheirBitsAndSwappingExchangesLeftAndRight)
{
    const struct
    {
        CInputKey key;
        int32_t normal, swapped;
    } cases[] = {
        {kInputLeftButton, kLeftButton, kRightButton},
        {kInputRightButton, kRightButton, kLeftButton},
        {kInputMiddleButton, kMiddleButton, kMiddleButton},
        {kInputShift, kShiftKey, kShiftKey},
        {kInputControl, kControlKey, kControlKey},
        {kInputAlt, kAltKey, kAltKey},
    };
    for (const auto& test : cases)
    {
        services.keysDown = {test.key};
        gSwapButtons = false;
        EXPECT_EQ(getMouseButtons(services), test.normal) << test.key;
        gSwapButtons = true;
        EXPECT_EQ(getMouseButtons(services), test.swapped) << test.key;
    }
}

TEST_F(MouseButtons, CombinationsAddUp)
{
    services.keysDown = {kInputLeftButton, kInputShift, kInputAlt};
    EXPECT_EQ(getMouseButtons(services), kLeftButton | kShiftKey | kAltKey);
    services.keysDown.clear();
    EXPECT_EQ(getMouseButtons(services), 0);
}

struct Waits : ::testing::Test
{
    CFakePlatformServices services;
    CRecordingDevice device;
    CStubFrame frame;
    CDrawContext context{asFrame(frame), &device, nullptr, services};
};

TEST_F(Waits, DoubleClickIsTheQueuedSecondPressNearTheFirst)
{
    services.tickStep = 10;
    services.queuedLeftButtonDowns = 1;
    EXPECT_TRUE(context.waitDoubleClick());
    EXPECT_EQ(services.queuedLeftButtonDowns, 0);
}

TEST_F(Waits, DoubleClickEndsWhenTheTimeIsUp)
{
    services.tickStep = 100;
    EXPECT_FALSE(context.waitDoubleClick());
    services.lastMessageTime = services.now - 600; // the deadline has already passed
    services.queuedLeftButtonDowns = 1;
    EXPECT_FALSE(context.waitDoubleClick());
    EXPECT_EQ(services.queuedLeftButtonDowns, 1);
}

TEST_F(Waits, DoubleClickEndsWhenTheCursorLeavesTheSquare)
{
    const struct
    {
        CPoint moved;
        bool stays;
    } cases[] = {{{52, 50}, false}, {{48, 50}, true}, {{51, 51}, true}, {{50, 47}, false}};
    for (const auto& test : cases)
    {
        services.cursorPath = {CPoint(50, 50), test.moved};
        services.queuedLeftButtonDowns = 1;
        services.now = services.lastMessageTime;
        services.tickStep = 1;
        EXPECT_EQ(context.waitDoubleClick(), test.stays) << test.moved.x << "," << test.moved.y;
    }
}

TEST_F(Waits, DragStartsWhenTheHeldCursorLeavesTheSquareAndIdlesMeanwhile)
{
    services.keysDown = {kInputLeftButton};
    services.cursorPath = {CPoint(10, 10), CPoint(11, 10), CPoint(12, 10)};
    EXPECT_TRUE(context.waitDrag());
    EXPECT_EQ(frame.idleCount, 2);
}

TEST_F(Waits, NoDragWhenTheButtonIsReleasedFirst)
{
    services.keysDown = {kInputLeftButton};
    services.cursorPath = {CPoint(10, 10), CPoint(11, 11)};
    frame.onIdle = [&]
    {
        if (frame.idleCount == 3) services.keysDown.clear();
    };
    EXPECT_FALSE(context.waitDrag());
    EXPECT_EQ(frame.idleCount, 3);
}

TEST_F(Waits, NoDragWithoutAFrame)
{
    CDrawContext frameless(nullptr, &device, nullptr, services);
    services.keysDown = {kInputLeftButton};
    EXPECT_FALSE(frameless.waitDrag());
    EXPECT_EQ(services.cursorQueries, 0);
}

TEST_F(Waits, DragFollowsSwappedButtons)
{
    gSwapButtons = true;
    services.keysDown = {kInputRightButton};
    services.cursorPath = {CPoint(0, 0), CPoint(5, 5)};
    EXPECT_TRUE(context.waitDrag());
    gSwapButtons = false;
}
} // namespace
