// Value displays and text fields: the text they show, and a whole edit in the software back
// end's edit window, however it ends.
#include "controls_fixture.h"
#include "draw_fixtures.h"

#include "toolkit/controls/text_edit.h"

#include <cstdio>
#include <cstring>

namespace
{
constexpr int32_t kTag = 9;
const CRect kFieldRect(30, 40, 130, 60);

// The texts that reached the device, in order.
std::vector<std::string> drawnTexts(CControl& control)
{
    CRecordingDevice device;
    {
        CDrawContext context(nullptr, &device, nullptr);
        control.draw(&context);
    }
    std::vector<std::string> texts;
    for (const std::string& call : device.calls)
        if (call.rfind("drawText ", 0) == 0)
            texts.push_back(call.substr(9, call.find(" (", 9) - 9));
    return texts;
}

std::string textOf(CControl* control)
{
    char text[kDisplayTextCapacity];
    static_cast<CTextEdit*>(control)->getText(text);
    return text;
}

void decibels(float value, char* text)
{
    std::snprintf(text, kDisplayTextCapacity, "%.1f dB", value);
}

void percentWithData(float value, char* text, void* data)
{
    std::snprintf(text, kDisplayTextCapacity, "%s%.0f%%", static_cast<const char*>(data),
                  value * 100.0f);
}

void shouted(const char* text, char* display)
{
    std::snprintf(display, kDisplayTextCapacity, "%s!", text);
}

TEST(ValueDisplay, WithoutAConversionTheValueIsPrintedWithTwoDecimals)
{
    const struct
    {
        float value;
        const char* text;
    } cases[] = {{0.25f, "0.25"}, {1.0f, "1.00"}, {-0.5f, "-0.50"}};
    for (const auto& c : cases)
    {
        CParamDisplay display(kFieldRect);
        display.setValue(c.value);
        EXPECT_EQ(drawnTexts(display), std::vector<std::string>{c.text}) << c.value;
    }
}

TEST(ValueDisplay, AConversionFunctionDecidesTheTextAndAFieldStoresWhatItShows)
{
    static char prefix[] = "~";
    const struct
    {
        const char* name;
        std::function<void(CTextEdit&)> setUp;
        const char* shown;
        const char* stored;
    } cases[] = {
        {"no function: the stored text", [](CTextEdit&) {}, "typed", "typed"},
        {"value to text", [](CTextEdit& f) { f.setValueToText(decibels); }, "0.5 dB", "0.5 dB"},
        {"the function with data wins",
         [](CTextEdit& f)
         {
             f.setValueToText(decibels);
             f.setValueToTextWithData(percentWithData, prefix);
         },
         "~50%", "~50%"},
        {"text to display wins and keeps the text",
         [](CTextEdit& f)
         {
             f.setValueToText(decibels);
             f.setTextToDisplay(shouted);
         },
         "typed!", "typed"},
    };
    for (const auto& c : cases)
    {
        CTextEdit field(kFieldRect, nullptr, kTag, "typed");
        field.setValue(0.5f);
        c.setUp(field);
        EXPECT_EQ(drawnTexts(field), std::vector<std::string>{c.shown}) << c.name;
        EXPECT_EQ(textOf(&field), c.stored) << c.name;
    }
}

TEST(ValueDisplay, SettersMakeTheDisplayDirtyOnlyWhenTheyChangeSomething)
{
    const struct
    {
        const char* name;
        std::function<void(CParamDisplay&)> same, other;
    } cases[] = {
        {"font colour", [](CParamDisplay& d) { d.setFontColor(kColorWhite); },
         [](CParamDisplay& d) {
             d.setFontColor(CColor{255, 255, 255, 254});
         }},
        {"back colour", [](CParamDisplay& d) { d.setBackColor(kColorBlack); },
         [](CParamDisplay& d) { d.setBackColor(kColorGreen); }},
        {"frame colour", [](CParamDisplay& d) { d.setFrameColor(kColorBlack); },
         [](CParamDisplay& d) { d.setFrameColor(kColorBlue); }},
        {"shadow colour", [](CParamDisplay& d) { d.setShadowColor(kColorRed); },
         [](CParamDisplay& d) { d.setShadowColor(kColorCyan); }},
        {"font", [](CParamDisplay& d) { d.setFontId(kFontNormal); },
         [](CParamDisplay& d) { d.setFontId(kFontSmall); }},
        {"alignment", [](CParamDisplay& d) { d.setTextAlignment(kAlignCenter); },
         [](CParamDisplay& d) { d.setTextAlignment(kAlignLeft); }},
        {"style", [](CParamDisplay& d) { d.setStyle(0); },
         [](CParamDisplay& d) { d.setStyle(kShadowTextStyle); }},
        {"font style", [](CParamDisplay& d) { d.setFontStyle(0); },
         [](CParamDisplay& d) { d.setFontStyle(kStyleBold); }},
    };
    for (const auto& c : cases)
    {
        CParamDisplay display(kFieldRect);
        display.setDirty(false);
        c.same(display);
        EXPECT_FALSE(display.isDirty()) << c.name;
        c.other(display);
        EXPECT_TRUE(display.isDirty()) << c.name;
    }
}

TEST(ValueDisplay, AnInvisibleDisplayStartsCleanAndDrawsNothing)
{
    CParamDisplay display(kFieldRect, nullptr, kInvisibleStyle);
    EXPECT_FALSE(display.isDirty());
    CRecordingDevice device;
    {
        CDrawContext context(nullptr, &device, nullptr);
        device.clear();
        display.draw(&context);
        EXPECT_TRUE(device.calls.empty());
    }
}

struct TextField : WindowedFrame
{
    CTextEdit* field = nullptr;
    const int32_t strayBefore = softEditStrayCalls();

    TextField()
    {
        listener.describe = textOf;
        field = addField(frame, kFieldRect, 0);
    }
    ~TextField() override
    {
        closeFrame();
        EXPECT_TRUE(softEditWindows().empty());
        EXPECT_EQ(softEditStrayCalls(), strayBefore);
    }

    CTextEdit* addField(CViewContainer* parent, const CRect& rect, int32_t style)
    {
        auto* added = new CTextEdit(rect, &listener, kTag, "0.50", nullptr, style);
        parent->addView(added);
        return added;
    }

    CPoint inside(const CRect& rect) const { return CPoint(rect.left + 4, rect.top + 4); }

    // Clicks the field and answers the edit window that opened.
    CSoftEditWindow* open(const CPoint& where = CPoint(kFieldRect.left + 4, kFieldRect.top + 4))
    {
        click(where);
        return softEditWindows().empty() ? nullptr : softEditWindows().back();
    }
};

TEST_F(TextField, AClickOpensAnEditWindowExactlyOverTheFieldWithAllItsTextSelected)
{
    const struct
    {
        const char* name;
        CRect container; // empty: the field is the frame's own child
        CRect field;
        int32_t alignment;
        CRect window;
        int32_t fontHeight;
    } cases[] = {
        {"in the frame", CRect(), CRect(30, 70, 130, 90), kAlignCenter, CRect(30, 70, 130, 90), 12},
        {"in a container", CRect(10, 5, 190, 115), CRect(30, 70, 130, 90), kAlignRight,
         CRect(40, 75, 140, 95), 12},
        {"too low for the font", CRect(), CRect(30, 70, 130, 82), kAlignLeft,
         CRect(30, 70, 130, 82), 10},
    };
    for (const auto& c : cases)
    {
        CViewContainer* parent = frame;
        if (!c.container.isEmpty())
        {
            parent = new CViewContainer(c.container, frame);
            frame->addView(parent);
        }
        CTextEdit* tested = addField(parent, c.field, 0);
        tested->setTextAlignment(c.alignment);

        CSoftEditWindow* edit = open(inside(c.window));
        ASSERT_NE(edit, nullptr) << c.name;
        EXPECT_EQ(softEditWindows().size(), 1u) << c.name;
        EXPECT_EQ(edit->parent, window()) << c.name;
        EXPECT_EQ(edit->rect, c.window) << c.name;
        EXPECT_EQ(edit->text, "0.50") << c.name;
        EXPECT_TRUE(edit->allSelected && edit->focused) << c.name;
        EXPECT_EQ(edit->alignment, c.alignment) << c.name;
        EXPECT_EQ(edit->fontFace, "Arial") << c.name;
        EXPECT_EQ(edit->fontHeight, c.fontHeight) << c.name;
        EXPECT_EQ(edit->limit, 255) << c.name;
        EXPECT_TRUE(tested->isEditing()) << c.name;
        EXPECT_EQ(frame->getFocusView(), tested) << c.name;
        EXPECT_TRUE(drawnTexts(*tested).empty()) << c.name; // the window covers the field

        softEditKeyDown(edit, kSoftKeyReturn);
        parent->removeView(tested, true);
        if (parent != frame) frame->removeView(parent, true);
    }
}

TEST_F(TextField, EveryWayOfEndingTheEditStoresTheTextAndTellsTheListenerOnce)
{
    CView* other = new CView(CRect(150, 100, 200, 120));
    other->setWantsFocus(true);
    frame->addView(other);
    auto* second = new CTextEdit(CRect(150, 0, 200, 20), &listener, kTag + 1, "x");
    frame->addView(second);
    const struct
    {
        const char* name;
        std::function<void(CSoftEditWindow*)> end;
        CView* focusAfter;
    } cases[] = {
        {"Enter", [](CSoftEditWindow* e) { softEditKeyDown(e, kSoftKeyReturn); }, nullptr},
        {"focus loss", [](CSoftEditWindow* e) { softEditTakeFocusAway(e); }, nullptr},
        {"a click elsewhere", [this](CSoftEditWindow*) { click(CPoint(10, 110)); }, nullptr},
        {"a click on another field", [this](CSoftEditWindow*) { click(CPoint(155, 5)); }, second},
        {"the frame focusing another view", [&](CSoftEditWindow*) { frame->setFocusView(other); },
         other},
    };
    for (const auto& c : cases)
    {
        field->setText("0.50");
        CSoftEditWindow* edit = open();
        ASSERT_NE(edit, nullptr) << c.name;
        log.clear();
        softEditType(edit, "0.75");
        c.end(edit);
        EXPECT_EQ(std::count(log.begin(), log.end(), "changed 9 0.75"), 1) << c.name;
        EXPECT_EQ(std::count(log.begin(), log.end(), "end 9"), 1) << c.name;
        EXPECT_EQ(textOf(field), "0.75") << c.name;
        EXPECT_FALSE(field->isEditing()) << c.name;
        EXPECT_EQ(softEditWindows().size(), c.focusAfter == second ? 1u : 0u) << c.name;
        EXPECT_EQ(frame->getFocusView(), c.focusAfter) << c.name;
        frame->setFocusView(nullptr);
    }
}

TEST_F(TextField, EnterWithTheTextUnchangedTellsNoListenerButTheHostSeesTheGesture)
{
    softEditKeyDown(open(), kSoftKeyReturn);
    EXPECT_EQ(log, (CLog{"begin 9", "end 9"}));
}

TEST_F(TextField, AChangedTextIsToldAfterTheEndOfTheGestureAndRepaintedAtOnce)
{
    CSoftEditWindow* edit = open();
    softEditType(edit, "1.25");
    softEditKeyDown(edit, kSoftKeyReturn);
    EXPECT_EQ(log, (CLog{"begin 9", "end 9", "changed 9 1.25", "idle"}));
}

TEST_F(TextField, EscapeAndTabDoNotEndOrCancelTheEdit)
{
    CSoftEditWindow* edit = open();
    softEditType(edit, "2");
    softEditKeyDown(edit, kSoftKeyEscape);
    softEditKeyDown(edit, kSoftKeyTab);
    ASSERT_TRUE(field->isEditing());
    EXPECT_EQ(edit->text, "2");
    softEditKeyDown(edit, kSoftKeyReturn);
    EXPECT_EQ(textOf(field), "2");
}

TEST_F(TextField, TypedTextIsCutAt254Characters)
{
    CSoftEditWindow* edit = open();
    softEditType(edit, std::string(300, 'x').c_str());
    EXPECT_EQ(edit->text.size(), 255u);
    softEditKeyDown(edit, kSoftKeyReturn);
    EXPECT_EQ(textOf(field), std::string(254, 'x'));
}

TEST_F(TextField, AListenerThatEndsTheEditAgainIsStillToldOnce)
{
    listener.onChange = [this](CControl*)
    {
        field->loseFocus(nullptr);
        frame->setFocusView(nullptr);
        field->loseFocus(nullptr);
    };
    CSoftEditWindow* edit = open();
    softEditType(edit, "3");
    softEditKeyDown(edit, kSoftKeyReturn);
    EXPECT_EQ(std::count(log.begin(), log.end(), "changed 9 3"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "end 9"), 1);
}

TEST_F(TextField, AListenerThatRemovesTheFieldWhileItCommitsLeavesNothingBehind)
{
    listener.onChange = [this](CControl* control) { frame->removeView(control, true); };
    CSoftEditWindow* edit = open();
    softEditType(edit, "4");
    softEditTakeFocusAway(edit);
    EXPECT_EQ(frame->getViewCount(), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "changed 9 4"), 1);
}

TEST_F(TextField, RemovingTheFieldWhileEditingCommitsFirst)
{
    softEditType(open(), "5");
    frame->removeView(field, true);
    EXPECT_EQ(std::count(log.begin(), log.end(), "changed 9 5"), 1);
}

TEST_F(TextField, DestroyingTheFrameWhileEditingCommitsTheEditAndEndsTheGestureOnce)
{
    softEditType(open(), "6");
    log.clear();
    closeFrame();
    EXPECT_EQ(std::count(log.begin(), log.end(), "changed 9 6"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "end 9"), 1);
    EXPECT_TRUE(softEditWindows().empty());
}

TEST_F(TextField, AnEditWindowTheSystemDestroyedIsNeitherReadNorDestroyedAgain)
{
    CSoftEditWindow* edit = open();
    softEditType(edit, "7");
    softEditDestroyWithParent(edit);
    EXPECT_FALSE(field->isEditing());
    log.clear();
    click(CPoint(10, 110));
    EXPECT_EQ(log, (CLog{"end 9"}));
    EXPECT_EQ(textOf(field), "0.50");
}

TEST_F(TextField, WithTheDoubleClickStyleOnlyTheSecondClickInTimeOpensTheField)
{
    softClock().held = true;
    CTextEdit* slow = addField(frame, CRect(30, 80, 130, 100), kEditOnDoubleClickStyle);
    const CPoint where(40, 85);
    const struct
    {
        uint32_t at;
        bool opens;
    } clicks[] = {{1000, false}, {1600, false}, {1700, true}};
    for (const auto& c : clicks)
    {
        softClock().now = c.at;
        CSoftEditWindow* edit = open(where);
        EXPECT_EQ(edit != nullptr, c.opens) << c.at;
        EXPECT_EQ(slow->isEditing(), c.opens) << c.at;
        if (edit) softEditKeyDown(edit, kSoftKeyReturn);
    }
}
} // namespace
