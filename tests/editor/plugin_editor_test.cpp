// The editor inside the effect, opened in a memory window: its size, the binding of every
// control to its parameter, host changes reaching the controls at the next idle, gestures
// reported with parameter indices, and the knob mode shared by all instances.
#include "support/recording_host.h"

#include "editor/plugin_editor.h"
#include "engine/plugin_core.h"
#include "engine/value_texts.h"
#include "toolkit/controls/control.h"
#include "toolkit/controls/text_edit.h"
#include "toolkit/core/backend_soft/soft_clock.h"
#include "toolkit/core/backend_soft/soft_windows.h"
#include "toolkit/core/bitmap.h"
#include "toolkit/core/frame.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace
{
// Control tag -> parameter index, as the editor's face shows them.
const std::map<VstInt32, VstInt32> kParameterOfTag = {
    {1, 9},  {2, 10}, {3, 1},  {4, 3},  {5, 4},  {6, 6},  {7, 7},  {8, 8},  {9, 9},  {10, 10},
    {11, 1}, {12, 3}, {13, 4}, {14, 6}, {15, 7}, {16, 8}, {17, 2}, {18, 5}, {19, 0},
};

struct OpenEditor : ::testing::Test
{
    RecordingHost host;
    std::unique_ptr<PluginCore> effect;
    CSoftWindow* window = nullptr;

    void SetUp() override
    {
        softAcceptHostWindows(true);
        softInput() = CSoftInput();
        effect = std::make_unique<PluginCore>(RecordingHost::callback());
        window = createSoftWindow(nullptr, CRect(0, 0, 800, 200), "Host", true);
    }
    void TearDown() override
    {
        if (editor()->isOpen()) editor()->close();
        effect.reset();
        destroySoftWindow(window);
        softAcceptHostWindows(false);
    }

    PluginEditor* editor() const { return static_cast<PluginEditor*>(effect->getEditor()); }
    AEffect* record() const { return effect->getAeffect(); }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f)
    {
        return record()->dispatcher(record(), opcode, index, value, ptr, opt);
    }
    void open() { ASSERT_EQ(dispatch(effEditOpen, 0, 0, window), 1); }
    CFrame* frame() const { return editor()->getFrame(); }
    CControl* control(VstInt32 tag) const
    {
        for (int32_t i = 0; i < frame()->getViewCount(); ++i)
            if (auto* c = dynamic_cast<CControl*>(frame()->getView(i)))
                if (c->getTag() == tag) return c;
        return nullptr;
    }
    void paint()
    {
        softWindowPaint(static_cast<CSoftWindow*>(frame()->getSystemWindow()),
                        CRect(0, 0, 752, 160));
    }
    std::vector<HostCall> callsOf(VstInt32 opcode) const
    {
        std::vector<HostCall> found;
        for (const HostCall& call : host.calls())
            if (call.opcode == opcode) found.push_back(call);
        return found;
    }
};
} // namespace

TEST_F(OpenEditor, TheEditorIs752By160BeforeItWasEverOpened)
{
    ERect* rect = nullptr;
    ASSERT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 160);
    EXPECT_EQ(rect->right, 752);
    EXPECT_EQ(record()->flags & effFlagsHasEditor, effFlagsHasEditor);
}

TEST_F(OpenEditor, WithoutAWindowSystemOfTheHostsKindTheEditorDeclinesToOpen)
{
    softAcceptHostWindows(false);
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, window), 0);
    EXPECT_FALSE(editor()->isOpen());
    EXPECT_EQ(dispatch(effEditIdle), 0);
}

TEST_F(OpenEditor, OpeningBuildsNineteenControlsInTagOrderOverTheFace)
{
    open();
    ASSERT_NE(frame(), nullptr);
    ASSERT_EQ(frame()->getViewCount(), 19);
    for (VstInt32 tag = 1; tag <= 19; ++tag)
    {
        auto* c = dynamic_cast<CControl*>(frame()->getView(tag - 1));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->getTag(), tag) << "drawing order is tag order";
    }
    CRect size;
    EXPECT_EQ(frame()->getViewSize(size), CRect(0, 0, 752, 160));
    EXPECT_NE(frame()->getBackground(), nullptr);
    EXPECT_EQ(frame()->getBackground()->getWidth(), 752);
}

TEST_F(OpenEditor, EveryParameterReachesExactlyItsControls)
{
    open();
    for (VstInt32 index = 0; index <= 10; ++index)
    {
        for (VstInt32 tag = 1; tag <= 19; ++tag)
            control(tag)->setValue(-5.0f);
        // Switches store 0 or 1; 0.75 becomes 1 there.
        effect->setParameter(index, 0.75f);
        const float stored = effect->getParameter(index);
        for (const auto& [tag, parameter] : kParameterOfTag)
            EXPECT_EQ(control(tag)->getValue(), parameter == index ? stored : -5.0f)
                << "parameter " << index << ", tag " << tag;
    }
}

TEST_F(OpenEditor, EveryControlReachesExactlyItsParameter)
{
    open();
    for (const auto& [tag, parameter] : kParameterOfTag)
    {
        host.forgetCalls();
        CControl* c = control(tag);
        if (auto* field = dynamic_cast<CTextEdit*>(c))
            field->setText("0.5");
        else
            c->setValue(1.0f);
        editor()->valueChanged(nullptr, c);
        const std::vector<HostCall> automated = callsOf(audioMasterAutomate);
        ASSERT_EQ(automated.size(), 1u) << "tag " << tag;
        EXPECT_EQ(automated[0].index, parameter) << "tag " << tag;
    }
}

TEST_F(OpenEditor, GesturesReachTheHostWithTheParameterIndexNotTheTag)
{
    open();
    frame()->beginEdit(1);
    frame()->endEdit(1);
    frame()->beginEdit(19);
    frame()->beginEdit(20);
    std::vector<std::pair<VstInt32, VstInt32>> seen;
    for (const HostCall& call : host.calls())
        if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit)
            seen.emplace_back(call.opcode, call.index);
    EXPECT_EQ(seen,
              (std::vector<std::pair<VstInt32, VstInt32>>{
                  {audioMasterBeginEdit, 9}, {audioMasterEndEdit, 9}, {audioMasterBeginEdit, 0}}));
}

TEST_F(OpenEditor, TheEditorShowsTheValueTheEffectStoredForASwitch)
{
    open();
    effect->setParameter(2, 0.3f);
    EXPECT_EQ(control(17)->getValue(), 0.0f);
    effect->setParameter(11, 0.3f);
    EXPECT_EQ(frame()->getViewCount(), 19) << "indices above 10 are ignored";
}

TEST_F(OpenEditor, HostAutomationIsDrawnAtTheNextIdleAndNotBefore)
{
    open();
    paint();
    CControl* knob = control(1);
    dispatch(effEditIdle);
    ASSERT_FALSE(knob->isDirty());

    effect->setParameter(9, 0.8f);
    EXPECT_TRUE(knob->isDirty()) << "the value is stored, the drawing waits";
    dispatch(effEditIdle);
    EXPECT_FALSE(knob->isDirty());
    char text[256];
    static_cast<CTextEdit*>(control(9))->getText(text);
    char expected[16];
    gainToText(0.8f, expected);
    EXPECT_STREQ(text, expected);
}

TEST_F(OpenEditor, HostChangesWhileTheEditorIsClosedShowOnTheNextOpen)
{
    open();
    dispatch(effEditClose);
    EXPECT_FALSE(editor()->isOpen());
    EXPECT_EQ(editor()->getFrame(), nullptr);
    effect->setParameter(1, 0.25f);
    dispatch(effEditIdle);
    open();
    EXPECT_EQ(control(3)->getValue(), 0.25f);
    EXPECT_EQ(control(11)->getValue(), 0.25f);
}

TEST_F(OpenEditor, AValueFieldShowsTheParametersText)
{
    effect->setParameter(9, 0.0f);
    open();
    paint();
    char text[256];
    static_cast<CTextEdit*>(control(9))->getText(text);
    EXPECT_STREQ(text, "-oo");
}

TEST_F(OpenEditor, KeysAnswerTrueOnlyWhenTheFocusedKnobHandlesThem)
{
    open();
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 12), 0) << "no focus view yet";
    frame()->setFocusView(control(3));
    const float before = control(3)->getValue();
    EXPECT_EQ(dispatch(effEditKeyDown, 0, 12), 1) << "arrow up";
    EXPECT_FLOAT_EQ(effect->getParameter(1), std::min(1.0f, before + 0.1f));
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0), 0);
}

TEST_F(OpenEditor, AHostAnsweringItsIdleWithAnEditorIdleGetsNoNestedRedraw)
{
    open();
    paint();
    int nested = 0;
    host.answerWith(audioMasterIdle,
                    [&](const HostCall&)
                    {
                        effect->setParameter(9, 0.123f);
                        dispatch(effEditIdle);
                        ++nested;
                        return VstIntPtr(0);
                    });
    editor()->idleNow();
    ASSERT_EQ(nested, 1);
    EXPECT_TRUE(control(1)->isDirty()) << "the nested idle request drew nothing";
}

TEST_F(OpenEditor, TheKnobModeSetOnOneInstanceAppliesToAll)
{
    PluginCore other(RecordingHost::callback());
    open();
    AEffect* otherRecord = other.getAeffect();
    EXPECT_EQ(otherRecord->dispatcher(otherRecord, effSetEditKnobMode, 0, 2, nullptr, 0.0f), 1);
    EXPECT_EQ(frame()->getKnobMode(), 2);
    dispatch(effSetEditKnobMode, 0, 0);
    EXPECT_EQ(frame()->getKnobMode(), 0);
}

TEST_F(OpenEditor, OpeningAndClosingManyTimesLeavesNoWindowBehind)
{
    const int32_t windowsBefore = softWindowCount();
    for (int i = 0; i < 200; ++i)
    {
        open();
        paint();
        dispatch(effEditIdle);
        dispatch(effEditClose);
    }
    EXPECT_EQ(softWindowCount(), windowsBefore);
    EXPECT_EQ(gFrameCount, 0);
}

TEST(EditorIdle, AnIdlePassRunsAtMostEveryFiftyMillisecondsAndCallsInBetweenOnlySleep)
{
    softClock() = CSoftClock();
    softClock().held = true;
    softClock().now = 1000;
    RecordingHost host;
    PluginCore effect(RecordingHost::callback());
    AEffGUIEditor* editor = static_cast<AEffGUIEditor*>(effect.getEditor());
    auto passes = [&]
    {
        int n = 0;
        for (const HostCall& call : host.calls())
            n += call.opcode == audioMasterIdle;
        return n;
    };
    const struct
    {
        uint32_t now;
        int passes;
        uint32_t after; // the clock after the call: 4 ms later when it slept
    } steps[] = {
        {1000, 1, 1000}, // the first call after construction always runs
        {1010, 1, 1014}, // 10 ms later: sleeps and returns
        {1045, 1, 1049}, // still more than 50 ms before the next pass is due
        {1047, 2, 1051}, // within the early window of the pass due at 1100
        {1060, 2, 1064}, {1200, 3, 1200},
    };
    for (const auto& step : steps)
    {
        softClock().now = step.now;
        editor->idleNow();
        EXPECT_EQ(passes(), step.passes) << "at " << step.now;
        EXPECT_EQ(softClock().now, step.after) << "at " << step.now;
    }
    softClock() = CSoftClock();
}
