// Text fields with the real "EDIT" window under Wine: what the window is made with, and the
// ends of an edit through the window's own messages.
#include "control_loggers.h"
#include "win32_test_windows.h"

#include "toolkit/controls/text_edit.h"
#include "toolkit/core/draw_context.h"
#include "toolkit/core/frame.h"
#include "toolkit/core/module.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace
{
constexpr int32_t kTag = 9;
const CRect kFieldRect(30, 40, 130, 60);

std::string textOf(CControl* control)
{
    char text[kDisplayTextCapacity];
    static_cast<CTextEdit*>(control)->getText(text);
    return text;
}

struct NativeTextField : ::testing::Test
{
    CLog log;
    CLoggingEditor editor{log};
    CLoggingListener listener{log};
    HWND host = createWindow(nullptr, CRect(100, 100, 400, 300), WS_POPUP | WS_VISIBLE);
    CFrame* frame = new CFrame(CRect(0, 0, 200, 120), host, &editor);
    CTextEdit* field = new CTextEdit(kFieldRect, &listener, kTag, "0.50");

    NativeTextField()
    {
        listener.describe = textOf;
        frame->addView(field);
    }
    ~NativeTextField() override
    {
        if (frame) frame->dropReference();
        DestroyWindow(host);
    }

    HWND frameWindow() const { return static_cast<HWND>(frame->getSystemWindow()); }

    // A left press on the field, as the frame's window delivers it; the edit window it opened.
    HWND open()
    {
        auto* context = new CDrawContext(frame, nullptr, frame->getSystemWindow());
        CPoint where(kFieldRect.left + 4, kFieldRect.top + 4);
        frame->trackMouse(context, where, kLeftButton);
        context->dropReference();
        return FindWindowExA(frameWindow(), nullptr, "EDIT", nullptr);
    }
};

TEST_F(NativeTextField, AClickOpensAnEditWindowOverTheFieldWithItsTextSelectedInTheFieldsFont)
{
    HWND edit = open();
    ASSERT_NE(edit, nullptr);
    RECT r;
    GetWindowRect(edit, &r);
    MapWindowPoints(HWND_DESKTOP, frameWindow(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(CRect(r.left, r.top, r.right, r.bottom), kFieldRect);

    char text[64] = "";
    GetWindowTextA(edit, text, sizeof(text));
    EXPECT_STREQ(text, "0.50");
    DWORD start = 1, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 4u);
    const LONG style = GetWindowLongA(edit, GWL_STYLE);
    const LONG expected = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_CENTER;
    EXPECT_EQ(style & expected, expected);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 255);
    EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), 0);
    EXPECT_EQ(SendMessageA(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);

    LOGFONTA font = {};
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0));
    ASSERT_NE(GetObjectA(handle, sizeof(font), &font), 0);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, 12);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);
    EXPECT_EQ(frame->getFocusView(), field);
}

TEST_F(NativeTextField, EnterAndFocusLossEndTheEditOnceAndDeleteTheWindowItsFontAndBrush)
{
    const struct
    {
        const char* name;
        UINT message;
        WPARAM wParam;
    } cases[] = {{"Enter", WM_KEYDOWN, VK_RETURN}, {"focus loss", WM_KILLFOCUS, 0}};
    for (const auto& c : cases)
    {
        field->setText("0.50");
        HWND edit = open();
        ASSERT_NE(edit, nullptr) << c.name;
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0));
        HDC dc = GetDC(edit);
        HGDIOBJ brush = reinterpret_cast<HGDIOBJ>(SendMessageA(frameWindow(), WM_CTLCOLOREDIT,
                                                               reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(edit)));
        ReleaseDC(edit, dc);
        ASSERT_NE(GetObjectType(brush), 0u) << c.name;
        log.clear();

        SetWindowTextA(edit, "0.75");
        SendMessageA(edit, c.message, c.wParam, 0);
        EXPECT_EQ(log, (CLog{"end 9", "changed 9 0.75", "idle"})) << c.name;
        EXPECT_EQ(textOf(field), "0.75") << c.name;
        EXPECT_FALSE(IsWindow(edit)) << c.name;
        EXPECT_EQ(GetObjectType(font), 0u) << c.name;
        EXPECT_EQ(GetObjectType(brush), 0u) << c.name;
        EXPECT_EQ(frame->getFocusView(), nullptr) << c.name;
    }
}

TEST_F(NativeTextField, EscapeLeavesTheEditOpen)
{
    HWND edit = open();
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(IsWindow(edit));
    EXPECT_TRUE(field->isEditing());
}

TEST_F(NativeTextField, DestroyingTheFrameWhileEditingCommitsAndTakesTheWindowAndItsFont)
{
    HWND edit = open();
    ASSERT_NE(edit, nullptr);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(edit, WM_GETFONT, 0, 0));
    SetWindowTextA(edit, "0.75");
    log.clear();
    frame->dropReference();
    frame = nullptr;
    EXPECT_EQ(std::count(log.begin(), log.end(), "end 9"), 1) << "the gesture ends once";
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(GetObjectType(font), 0u);
}
} // namespace
