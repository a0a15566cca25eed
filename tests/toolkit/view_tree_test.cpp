// The view tree: ownership, hit tests, drawing and routing order, dirty tracking, focus walk,
// keys, wheel and messages. Runs against windowless frames on every back end.
#include "test_frame.h"
#include "view_fixtures.h"

#include "toolkit/core/bitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace
{
const CColor kColorDarkGreen = {0, 96, 0, 255};

struct ViewTree : ::testing::Test
{
    CStubFrame stub;
    CFrame* frame = nullptr;
    std::unique_ptr<COffscreenContext> screen;

    void SetUp() override
    {
        frame = asFrame(stub);
        screen = std::make_unique<COffscreenContext>(frame, 40, 40, kColorBlack);
    }
    void TearDown() override { screen.reset(); }

    CProbeView* add(const CRect& size, CColor color = kColorRed, CViewContainer* to = nullptr)
    {
        auto* view = new CProbeView(size, color);
        (to ? to : frame)->addView(view);
        return view;
    }
    CViewContainer* addContainer(const CRect& size)
    {
        auto* container = new CViewContainer(size, frame);
        frame->addView(container);
        return container;
    }
    CColor pixel(int32_t x, int32_t y) { return screen->getPoint(CPoint(x, y)); }
};

VstKeyCode key(unsigned char virt, unsigned char modifier = 0)
{
    VstKeyCode code;
    code.character = 0;
    code.virt = virt;
    code.modifier = modifier;
    return code;
}
constexpr unsigned char kTab = 2;
constexpr unsigned char kShift = 1;
} // namespace

TEST_F(ViewTree, AViewRemovedWithReleaseIsDestroyedAndOneRemovedWithoutReleaseSurvives)
{
    bool releasedGone = false;
    bool keptGone = false;
    auto* released = new CProbeView(CRect(0, 0, 10, 10), kColorRed, &releasedGone);
    auto* kept = new CProbeView(CRect(0, 0, 10, 10), kColorRed, &keptGone);
    frame->addView(released);
    frame->addView(kept);
    EXPECT_EQ(released->getNbReference(), 2);

    frame->removeView(released, true);
    EXPECT_TRUE(releasedGone);
    frame->removeView(kept, false);
    EXPECT_FALSE(keptGone);
    EXPECT_EQ(kept->getNbReference(), 1);
    EXPECT_EQ(frame->getViewCount(), 0);
    kept->dropReference();
    EXPECT_TRUE(keptGone);
}

TEST_F(ViewTree, DestroyingAContainerDestroysTheViewsAddedToItAndReleasesTheBackground)
{
    bool childGone = false;
    auto* container = new CViewContainer(CRect(0, 0, 20, 20), frame);
    container->addView(new CProbeView(CRect(0, 0, 5, 5), kColorRed, &childGone));
    auto* bitmap = new CBitmap(frame, 4, 4);
    container->setBackground(bitmap);
    EXPECT_EQ(bitmap->getNbReference(), 2);

    container->dropReference();
    EXPECT_TRUE(childGone);
    EXPECT_EQ(bitmap->getNbReference(), 1);
    bitmap->dropReference();
}

TEST_F(ViewTree, RemovingAViewThatIsNotAChildOnlyClearsTheFocusWhenItHeldIt)
{
    CProbeView* child = add(CRect(0, 0, 10, 10));
    auto* stranger = new CProbeView(CRect(0, 0, 10, 10));
    frame->setFocusView(stranger);
    frame->removeView(stranger, false);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(frame->getViewCount(), 1);
    EXPECT_EQ(frame->getView(0), child);
    EXPECT_EQ(frame->getView(1), nullptr);
    stranger->dropReference();
}

TEST(ViewGeometry, HitTestsIncludeAllFourEdgesOfTheMouseableArea)
{
    CView view(CRect(56, 80, 120, 144));
    const struct
    {
        CPoint where;
        bool inside;
    } cases[] = {
        {{56, 80}, true},   {{120, 144}, true}, {{88, 100}, true},   {{121, 100}, false},
        {{55, 100}, false}, {{100, 79}, false}, {{100, 145}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(view.hitTest(c.where), c.inside) << c.where.x << "," << c.where.y;

    view.setViewSize(CRect(0, 0, 10, 10));
    EXPECT_TRUE(view.hitTest(CPoint(120, 144))) << "resizing leaves the mouseable area alone";
}

TEST(ViewGeometry, RectanglesThatTouchAnEdgeOverlap)
{
    CView view(CRect(0, 0, 10, 10));
    const struct
    {
        CRect rect;
        bool overlaps;
    } cases[] = {
        {CRect(10, 10, 20, 20), true}, {CRect(-5, -5, 0, 0), true}, {CRect(11, 0, 20, 10), false},
        {CRect(0, 11, 10, 20), false}, {CRect(2, 2, 3, 3), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(view.overlaps(c.rect), c.overlaps) << c.rect.left << "," << c.rect.top;
}

TEST_F(ViewTree, TheLaterOfTwoOverlappingChildrenIsDrawnOverTheFirstAndGetsThePress)
{
    CProbeView* back = add(CRect(0, 0, 20, 20), kColorRed);
    CProbeView* front = add(CRect(10, 10, 30, 30), kColorGreen);
    frame->draw(screen.get());
    EXPECT_TRUE(samePixel(pixel(5, 5), kColorRed));
    EXPECT_TRUE(samePixel(pixel(15, 15), kColorGreen));
    EXPECT_TRUE(samePixel(pixel(35, 35), kColorBlack)) << "the frame's background colour";

    CPoint where(15, 15);
    frame->trackMouse(screen.get(), where, kLeftButton);
    ASSERT_EQ(front->presses.size(), 1u);
    EXPECT_TRUE(back->presses.empty());

    front->setMouseEnabled(false);
    frame->trackMouse(screen.get(), where, kLeftButton);
    ASSERT_EQ(back->presses.size(), 1u);
    EXPECT_EQ(back->presses[0], CPoint(15, 15));
}

TEST_F(ViewTree, APressInANestedContainerArrivesInTheChildsParentCoordinates)
{
    CViewContainer* container = addContainer(CRect(20, 10, 40, 40));
    CProbeView* child = add(CRect(2, 3, 12, 13), kColorGreen, container);
    CPoint where(25, 16);
    frame->trackMouse(screen.get(), where, kLeftButton);
    ASSERT_EQ(child->presses.size(), 1u);
    EXPECT_EQ(child->presses[0], CPoint(5, 6));
    EXPECT_EQ(child->lastButtons, kLeftButton);

    CPoint p(7, 8);
    EXPECT_EQ(child->localToFrame(p), CPoint(27, 18));
    EXPECT_EQ(child->frameToLocal(p), CPoint(7, 8));
    EXPECT_EQ(frame->getViewAt(CPoint(25, 16), false), container);
    EXPECT_EQ(frame->getViewAt(CPoint(25, 16), true), child);
}

TEST_F(ViewTree, ANestedContainerDrawsItsChildrenAtItsOwnOrigin)
{
    CViewContainer* container = addContainer(CRect(20, 10, 40, 40));
    container->setBackgroundColor(kColorDarkGreen);
    add(CRect(2, 3, 12, 13), kColorRed, container);
    frame->draw(screen.get());
    EXPECT_TRUE(samePixel(pixel(22, 13), kColorRed));
    EXPECT_TRUE(samePixel(pixel(31, 22), kColorRed));
    EXPECT_TRUE(samePixel(pixel(32, 23), kColorDarkGreen));
    EXPECT_TRUE(samePixel(pixel(19, 13), kColorBlack));
    EXPECT_EQ(screen->offset, CPoint(0, 0)) << "the context's offsets come back";
}

TEST_F(ViewTree, AChildDrawnOnlyInPartStaysDirtyAndOneDrawnWholeIsClean)
{
    CProbeView* child = add(CRect(10, 10, 30, 30));
    ASSERT_TRUE(child->isDirty());
    frame->drawPart(screen.get(), CRect(0, 0, 20, 20));
    EXPECT_EQ(child->partDraws, 1);
    EXPECT_TRUE(child->isDirty());

    frame->drawPart(screen.get(), CRect(0, 0, 40, 40));
    EXPECT_FALSE(child->isDirty());

    CProbeView* elsewhere = add(CRect(35, 35, 40, 40));
    frame->drawPart(screen.get(), CRect(0, 0, 20, 20));
    EXPECT_EQ(elsewhere->partDraws, 0) << "children outside the update rectangle are skipped";
}

TEST_F(ViewTree, ADirtyChildEntirelyOutsideItsContainerDoesNotMakeTheContainerDirty)
{
    CViewContainer* container = addContainer(CRect(0, 0, 20, 20));
    CProbeView* outside = add(CRect(25, 25, 30, 30), kColorRed, container);
    container->setDirty(false);
    ASSERT_TRUE(outside->isDirty());
    EXPECT_FALSE(container->isDirty());

    add(CRect(15, 15, 25, 25), kColorRed, container);
    container->setDirty(false);
    EXPECT_TRUE(container->isDirty()) << "a child partly inside counts";
}

TEST_F(ViewTree, AnUpdateRedrawsTheDirtyChildrenOnly)
{
    CProbeView* dirty = add(CRect(0, 0, 10, 10), kColorRed);
    CProbeView* clean = add(CRect(20, 20, 30, 30), kColorGreen);
    frame->setDirty(true);
    frame->update(screen.get()); // a full draw into the back buffer, copied out whole
    dirty->color = kColorBlue;
    dirty->setDirty(true);
    frame->update(screen.get());
    EXPECT_EQ(dirty->draws, 2);
    EXPECT_EQ(clean->draws, 1);
    EXPECT_TRUE(samePixel(pixel(5, 5), kColorBlue));
    EXPECT_TRUE(samePixel(pixel(25, 25), kColorGreen));
    EXPECT_FALSE(frame->isDirty());
}

TEST_F(ViewTree, TabWalksTheViewsThatWantFocusWithoutWrappingAround)
{
    CProbeView* first = add(CRect(0, 0, 5, 5));
    add(CRect(5, 0, 10, 5)); // does not want the focus
    CProbeView* last = add(CRect(10, 0, 15, 5));
    first->setWantsFocus(true);
    last->setWantsFocus(true);

    VstKeyCode tab = key(kTab);
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), first);
    EXPECT_EQ(frame->onKeyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), last);
    EXPECT_EQ(frame->onKeyDown(tab), -1) << "Tab on the last one is not handled";
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_EQ(last->focusLosses, 1);

    VstKeyCode shiftTab = key(kTab, kShift);
    EXPECT_EQ(frame->onKeyDown(shiftTab), 1);
    EXPECT_EQ(frame->getFocusView(), last) << "Shift+Tab starts from the last";
}

TEST_F(ViewTree, AContainersFocusWalkStartsAfterTheCurrentViewAndDescendsIntoContainers)
{
    CViewContainer* outer = addContainer(CRect(0, 0, 40, 40));
    CProbeView* a = add(CRect(0, 0, 5, 5), kColorRed, outer);
    auto* inner = new CViewContainer(CRect(10, 10, 30, 30), frame);
    outer->addView(inner);
    CProbeView* deep = add(CRect(0, 0, 5, 5), kColorRed, inner);
    a->setWantsFocus(true);
    deep->setWantsFocus(true);

    EXPECT_TRUE(outer->advanceNextFocusView(nullptr, false));
    EXPECT_EQ(frame->getFocusView(), a);
    EXPECT_TRUE(outer->advanceNextFocusView(a, false));
    EXPECT_EQ(frame->getFocusView(), deep);
    EXPECT_FALSE(outer->advanceNextFocusView(inner, false)) << "nothing after the last";

    VstKeyCode tab = key(kTab);
    EXPECT_EQ(frame->onKeyDown(tab), -1) << "from the deepest view the walk ends";
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(ViewTree, KeysGoFrontToBackUntilAChildHandlesThem)
{
    CViewContainer* container = addContainer(CRect(0, 0, 40, 40));
    CProbeView* back = add(CRect(0, 0, 5, 5), kColorRed, container);
    CProbeView* middle = add(CRect(0, 0, 5, 5), kColorRed, container);
    CProbeView* front = add(CRect(0, 0, 5, 5), kColorRed, container);
    VstKeyCode k = key(12);
    EXPECT_EQ(container->onKeyDown(k), -1);
    EXPECT_EQ(back->keys.size(), 1u);

    middle->keyAnswer = 1;
    EXPECT_EQ(container->onKeyDown(k), 1);
    EXPECT_EQ(front->keys.size(), 2u);
    EXPECT_EQ(middle->keys.size(), 2u);
    EXPECT_EQ(back->keys.size(), 1u) << "the search ends at the first that handles it";

    EXPECT_EQ(frame->onKeyDown(k), -1) << "the frame offers keys to its focus view only";
}

TEST_F(ViewTree, AFocusedViewGetsKeysBeforeTheModalViewAndAPressOutsideTheModalViewDoesNothing)
{
    CProbeView* focused = add(CRect(0, 0, 10, 10));
    auto* modal = new CProbeView(CRect(20, 20, 30, 30));
    ASSERT_TRUE(frame->setModalView(modal));
    EXPECT_FALSE(frame->setModalView(modal)) << "one modal view at a time";
    frame->setFocusView(focused);

    VstKeyCode k = key(12);
    EXPECT_EQ(frame->onKeyDown(k), -1);
    EXPECT_EQ(focused->keys.size(), 1u);
    EXPECT_EQ(modal->keys.size(), 1u);

    CPoint outside(5, 5);
    frame->trackMouse(screen.get(), outside, kLeftButton);
    EXPECT_TRUE(focused->presses.empty());
    EXPECT_EQ(frame->getFocusView(), nullptr) << "a press ends keyboard editing first";
    CPoint inside(25, 25);
    frame->trackMouse(screen.get(), inside, kLeftButton);
    EXPECT_EQ(modal->presses.size(), 1u);

    EXPECT_TRUE(frame->setModalView(nullptr));
    EXPECT_EQ(frame->getViewCount(), 1);
    modal->dropReference();
}

TEST_F(ViewTree, TheWheelReachesTheViewUnderThePointInItsOwnCoordinates)
{
    CViewContainer* container = addContainer(CRect(20, 10, 40, 40));
    CProbeView* child = add(CRect(2, 3, 12, 13), kColorRed, container);
    EXPECT_TRUE(frame->onWheel(nullptr, CPoint(25, 16), 1.0f));
    ASSERT_EQ(child->wheels.size(), 1u);
    EXPECT_EQ(child->wheels[0], 1.0f);
    EXPECT_EQ(child->wheelPoint, CPoint(5, 6));
    EXPECT_FALSE(frame->onWheel(nullptr, CPoint(5, 5), 1.0f)) << "nothing under the pointer";
}

TEST_F(ViewTree, MessagesAreToldApartByTheIdentityOfTheirText)
{
    CViewContainer* container = addContainer(CRect(0, 0, 10, 10));
    CProbeView* view = add(CRect(0, 0, 5, 5));
    char sameCharacters[32];
    std::strcpy(sameCharacters, kMsgCheckIfViewContainer);

    EXPECT_EQ(container->notify(nullptr, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(frame->notify(nullptr, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(container->notify(nullptr, sameCharacters), 0);
    EXPECT_EQ(view->notify(nullptr, kMsgCheckIfViewContainer), 0);
    EXPECT_TRUE(frame->isTypeOf("CFrame") && frame->isTypeOf("CViewContainer") &&
                frame->isTypeOf("CView"));
    EXPECT_FALSE(container->isTypeOf("CFrame"));
}

TEST(ViewAttributes, AnAttributeKeepsItsSizeAndRefusesLargerValuesAndSmallBuffers)
{
    CView view(CRect(0, 0, 1, 1));
    const uint32_t four = 0x01020304;
    const uint16_t two = 0x0A0B;
    EXPECT_TRUE(view.setAttribute(7, 4, &four));
    EXPECT_TRUE(view.setAttribute(7, 2, &two)) << "fewer bytes are copied over the stored ones";
    const uint64_t eight = 1;
    EXPECT_FALSE(view.setAttribute(7, 8, &eight));

    int32_t size = 0;
    ASSERT_TRUE(view.getAttributeSize(7, size));
    EXPECT_EQ(size, 4);
    uint32_t read = 0;
    ASSERT_TRUE(view.getAttribute(7, 4, &read, size));
    EXPECT_EQ(read, (four & 0xFFFF0000u) | two);
    uint16_t small = 0;
    EXPECT_FALSE(view.getAttribute(7, 2, &small, size));
    EXPECT_FALSE(view.getAttributeSize(8, size));
}
