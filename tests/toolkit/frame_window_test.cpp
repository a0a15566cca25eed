// The frame in real Win32 windows under Wine on a virtual display: the window class, the first
// paint, presses and wheel turns from the X pointer, resizing the windows around the frame,
// cursors, the host destroying the window first, drags and the edit field's colours.
#include "view_fixtures.h"
#include "win32_test_windows.h"

#include "toolkit/core/backend_win32/win32_device.h"
#include "toolkit/core/drag_container.h"
#include "toolkit/core/edit_field.h"
#include "toolkit/core/frame.h"
#include "toolkit/core/frame_editor.h"
#include "toolkit/core/module.h"

#include <gtest/gtest.h>

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr DWORD kPumpTimeoutMs = 20000;
constexpr int32_t kFrameWidth = 120;
constexpr int32_t kFrameHeight = 80;
const CRect kHostRect(100, 100, 500, 400);

HWND hwnd(void* window)
{
    return static_cast<HWND>(window);
}

CRect windowRect(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return CRect(r.left, r.top, r.right, r.bottom);
}

CPoint origin(const CRect& rect)
{
    return CPoint(rect.left, rect.top);
}

CPoint windowSize(HWND window)
{
    const CRect r = windowRect(window);
    return CPoint(r.width(), r.height());
}

// Dispatches this thread's messages until done() holds; false when it never did.
template <typename Done> bool pumpUntil(Done done)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) return true;
        if (GetTickCount() - start > kPumpTimeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// Drives the X pointer of the virtual display. Its exit code is not reliable under Wine: the
// caller waits for the effect instead.
void xdotool(const std::string& arguments)
{
    std::string command = "Z:\\usr\\bin\\xdotool " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process))
        << command;
    WaitForSingleObject(process.hProcess, kPumpTimeoutMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

std::string screenPoint(HWND window, const CPoint& where)
{
    const CRect r = windowRect(window);
    return std::to_string(r.left + where.x) + " " + std::to_string(r.top + where.y);
}

CColor windowPixel(HWND window, int32_t x, int32_t y)
{
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return CColor{GetRValue(c), GetGValue(c), GetBValue(c), 255};
}

bool classRegistered(const char* name)
{
    WNDCLASSA info;
    return GetClassInfoA(instance(), name, &info) != 0;
}

struct FrameWindow : ::testing::Test
{
    RecordingEditor editor;
    HWND host = nullptr;
    CFrame* frame = nullptr;

    void SetUp() override
    {
        host = createWindow(nullptr, kHostRect, WS_POPUP | WS_VISIBLE);
        ASSERT_NE(host, nullptr);
        frame = new CFrame(CRect(0, 0, kFrameWidth, kFrameHeight), host, &editor);
    }
    void TearDown() override
    {
        if (frame) frame->dropReference();
        if (host) DestroyWindow(host);
        EXPECT_EQ(gFrameCount, 0);
    }
    HWND window() const { return hwnd(frame->getSystemWindow()); }
    // The frame again, in parent instead of the host window.
    void remakeFrameIn(HWND parent)
    {
        frame->dropReference();
        frame = new CFrame(CRect(0, 0, kFrameWidth, kFrameHeight), parent, &editor);
    }
};
} // namespace

TEST_F(FrameWindow, TwoFramesShareOneModuleClassThatGoesWithTheLastFrame)
{
    char expected[kClassNameCapacity];
    std::snprintf(expected, sizeof(expected), "Plugin%p", toolkitModuleHandle());
    EXPECT_STREQ(gClassName, expected);
    WNDCLASSA info;
    ASSERT_TRUE(GetClassInfoA(instance(), gClassName, &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_GLOBALCLASS));
    EXPECT_EQ(info.hCursor, LoadCursor(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hbrBackground, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(info.cbClsExtra + info.cbWndExtra, 0);

    auto* second = new CFrame(CRect(0, 0, 10, 10), host, &editor);
    EXPECT_EQ(gFrameCount, 2);
    frame->dropReference();
    frame = nullptr;
    EXPECT_EQ(gFrameCount, 1);
    EXPECT_TRUE(classRegistered(gClassName));
    EXPECT_TRUE(IsWindow(hwnd(second->getSystemWindow())));
    second->dropReference();
    EXPECT_EQ(gFrameCount, 0);
    EXPECT_FALSE(classRegistered(gClassName));
}

TEST_F(FrameWindow, TheBlendFunctionsOutliveTheFramesOwnHandleOfTheImageLibrary)
{
    EXPECT_NE(frame->getImageLibrary(), nullptr);
    EXPECT_NE(gAlphaBlendProc, nullptr);
    EXPECT_NE(gTransparentBltProc, nullptr) << "an NT system has TransparentBlt";
    frame->dropReference();
    frame = nullptr;
    EXPECT_NE(GetModuleHandleA("msimg32.dll"), nullptr) << "the drawing device still holds it";
    EXPECT_NE(gAlphaBlendProc, nullptr);
}

TEST_F(FrameWindow, TheFrameWindowIsAVisibleChildAtTheHostsOriginThatLeadsBackToTheFrame)
{
    char className[kClassNameCapacity] = "";
    char title[16] = "";
    GetClassNameA(window(), className, sizeof(className));
    GetWindowTextA(window(), title, sizeof(title));
    EXPECT_STREQ(className, gClassName);
    EXPECT_STREQ(title, "Window");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window(), GWL_STYLE)), 0x56000000u);
    EXPECT_EQ(GetParent(window()), host);
    EXPECT_EQ(windowRect(window()),
              CRect(kHostRect.left, kHostRect.top, kHostRect.left + kFrameWidth,
                    kHostRect.top + kFrameHeight));
    EXPECT_EQ(GetWindowLongPtrA(window(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(frame));
    EXPECT_TRUE(frame->isDropActive());
}

TEST_F(FrameWindow, IdleWaitsForTheFirstPaintWhichDrawsThroughTheBackBuffer)
{
    CProbeView* view = new CProbeView(CRect(10, 10, 30, 30), kColorGreen);
    frame->addView(view);
    view->setDirty(true);
    frame->setDirty(true);
    frame->idle();
    EXPECT_EQ(view->draws + view->partDraws, 0) << "idle before the first paint does nothing";
    EXPECT_TRUE(frame->isFirstDraw());

    RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(pumpUntil([&] { return !frame->isFirstDraw(); }));
    EXPECT_TRUE(samePixel(windowPixel(window(), 20, 20), kColorGreen));
    EXPECT_TRUE(samePixel(windowPixel(window(), 5, 5), kColorBlack)) << "the frame's background";

    view->color = kColorBlue;
    view->setDirty(true);
    frame->idle();
    EXPECT_TRUE(samePixel(windowPixel(window(), 20, 20), kColorBlue));
}

TEST_F(FrameWindow, APaintCopiesOnlyTheRectangleThatNeedsIt)
{
    CProbeView* view = new CProbeView(CRect(0, 0, kFrameWidth, kFrameHeight), kColorGreen);
    CProbeView* corner = new CProbeView(CRect(100, 60, kFrameWidth, kFrameHeight));
    frame->addView(view);
    frame->addView(corner);
    RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(pumpUntil([&] { return !frame->isFirstDraw(); }));
    const int cornerDraws = corner->draws + corner->partDraws;

    view->color = kColorBlue;
    const RECT part = {10, 10, 20, 20};
    RedrawWindow(window(), &part, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(corner->draws + corner->partDraws, cornerDraws) << "outside the painted rectangle";
    EXPECT_TRUE(samePixel(windowPixel(window(), 10, 10), kColorBlue));
    EXPECT_TRUE(samePixel(windowPixel(window(), 19, 19), kColorBlue));
    EXPECT_TRUE(samePixel(windowPixel(window(), 20, 20), kColorGreen));
    EXPECT_TRUE(samePixel(windowPixel(window(), 9, 9), kColorGreen));
}

TEST_F(FrameWindow, ARealPressReachesTheFrontmostMouseEnabledViewInFrameCoordinates)
{
    CProbeView* back = new CProbeView(CRect(0, 0, 60, 60));
    CProbeView* front = new CProbeView(CRect(20, 20, 80, 80));
    CProbeView* disabled = new CProbeView(CRect(0, 0, kFrameWidth, kFrameHeight));
    frame->addView(back);
    frame->addView(front);
    frame->addView(disabled);
    disabled->setMouseEnabled(false);

    xdotool("mousemove " + screenPoint(window(), CPoint(30, 40)) + " click 1");
    ASSERT_TRUE(pumpUntil([&] { return !front->presses.empty(); }));
    EXPECT_EQ(front->presses[0], CPoint(30, 40));
    EXPECT_TRUE(back->presses.empty());
    EXPECT_TRUE(disabled->presses.empty());
}

TEST_F(FrameWindow, EveryButtonPressMessageReachesTheViewAtItsPoint)
{
    CProbeView* view = new CProbeView(CRect(0, 0, kFrameWidth, kFrameHeight));
    frame->addView(view);
    for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN})
        EXPECT_EQ(SendMessageA(window(), message, 0, MAKELPARAM(100, 70)), 0) << message;
    EXPECT_EQ(view->presses, (std::vector<CPoint>(3, CPoint(100, 70))));
}

TEST_F(FrameWindow, RealWheelClicksUpAndDownGiveOneNotchEachAtTheViewUnderThePointer)
{
    CProbeView* left = new CProbeView(CRect(0, 0, 59, kFrameHeight));
    CProbeView* right = new CProbeView(CRect(60, 0, kFrameWidth, kFrameHeight));
    frame->addView(left);
    frame->addView(right);

    xdotool("mousemove " + screenPoint(window(), CPoint(90, 30)) + " click 4");
    ASSERT_TRUE(pumpUntil([&] { return right->wheels.size() == 1; }));
    xdotool("click 5");
    ASSERT_TRUE(pumpUntil([&] { return right->wheels.size() == 2; }));
    EXPECT_EQ(right->wheels, (std::vector<float>{1.0f, -1.0f}));
    EXPECT_EQ(right->wheelPoint, CPoint(90, 30)) << "the frame passes frame coordinates on";
    EXPECT_TRUE(left->wheels.empty());
}

TEST_F(FrameWindow, AHalfNotchWheelMessageGivesHalfADistance)
{
    CProbeView* view = new CProbeView(CRect(0, 0, kFrameWidth, kFrameHeight));
    frame->addView(view);
    const CRect screen = windowRect(window());
    SendMessageA(window(), WM_MOUSEWHEEL, MAKEWPARAM(0, 60),
                 MAKELPARAM(screen.left + 10, screen.top + 20));
    EXPECT_EQ(view->wheels, (std::vector<float>{0.5f}));
    EXPECT_EQ(view->wheelPoint, CPoint(10, 20));
}

TEST_F(FrameWindow, AHostThatResizesItsWindowGetsOnlyTheFrameWindowResized)
{
    editor.hostResizes = true;
    EXPECT_FALSE(frame->setSize(kFrameWidth, kFrameHeight)) << "the current size";
    EXPECT_TRUE(editor.calls.empty());
    EXPECT_TRUE(frame->setSize(150, 90));
    EXPECT_EQ(editor.calls, (std::vector<std::string>{"sizeWindow 150x90"}));
    EXPECT_EQ(windowRect(window()),
              CRect(kHostRect.left, kHostRect.top, kHostRect.left + 150, kHostRect.top + 90));
    EXPECT_EQ(windowRect(host), kHostRect);
    CRect size;
    EXPECT_EQ(frame->getViewSize(size), CRect(0, 0, 150, 90));
}

// host (top-level) > intermediate child window > frame window; the host refuses to resize.
TEST_F(FrameWindow, WithoutTheHostTheWalkGrowsEachParentByTheMarginItAdds)
{
    const int32_t d = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    ASSERT_GT(d, 0) << "the walk only runs with a dialog frame";
    const struct
    {
        int32_t intermediateMargin;
        int32_t hostMargin; // over the intermediate window
        CPoint intermediateSize;
        CPoint hostSize; // (0, 0): unchanged
        bool viewSizeSet;
    } cases[] = {
        // The margin of a dialog frame ends the walk at the intermediate window.
        {d, 200, CPoint(140 + d, 100 + d), CPoint(0, 0), true},
        // Other margins go on up to the top-level window, which grows by both.
        {d + 4, 4, CPoint(144 + d, 104 + d), CPoint(148 + d, 108 + d), true},
        // A much larger parent belongs to the host: the walk stops before it.
        {d + 4, 200, CPoint(144 + d, 104 + d), CPoint(0, 0), false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.intermediateMargin) + "/" + std::to_string(c.hostMargin));
        const int32_t iw = kFrameWidth + c.intermediateMargin;
        const int32_t ih = kFrameHeight + c.intermediateMargin;
        HWND top =
            createWindow(nullptr, CRect(50, 50, 50 + iw + c.hostMargin, 50 + ih + c.hostMargin),
                         WS_POPUP | WS_VISIBLE);
        HWND intermediate =
            createWindow(top, CRect(2, 2, 2 + iw, 2 + ih), WS_CHILD | WS_VISIBLE, "TestShell");
        const CRect topBefore = windowRect(top);
        const CRect intermediateBefore = windowRect(intermediate);
        remakeFrameIn(intermediate);
        frame->setDirty(false);

        EXPECT_TRUE(frame->setSize(140, 100));
        EXPECT_EQ(windowSize(window()), CPoint(140, 100));
        EXPECT_EQ(windowSize(intermediate), c.intermediateSize);
        const CPoint topSize(topBefore.width(), topBefore.height());
        EXPECT_EQ(windowSize(top), c.hostSize == CPoint(0, 0) ? topSize : c.hostSize);
        EXPECT_EQ(origin(windowRect(intermediate)), origin(intermediateBefore)) << "not moved";
        EXPECT_EQ(origin(windowRect(top)), origin(topBefore)) << "not moved";
        EXPECT_EQ(frame->isDirty(), c.viewSizeSet) << "the view size is set after a full walk";
        CRect size;
        EXPECT_EQ(frame->getViewSize(size), CRect(0, 0, 140, 100));
        EXPECT_FALSE(frame->setSize(140, 100)) << "the current size";

        remakeFrameIn(host);
        DestroyWindow(top);
    }
}

// host (top-level, near the plug-in's size) > plug-in window at (10, 20) > frame window.
TEST_F(FrameWindow, ThePositionIsTheOneOfTheFirstWindowUpwardsWithACaption)
{
    const struct
    {
        DWORD style;
        CPoint position;
    } cases[] = {
        {WS_CAPTION, CPoint(10, 20)},
        {WS_BORDER, CPoint(150, 120)}, // not a caption: the walk goes on to the top-level window
        {0, CPoint(150, 120)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.style);
        HWND top = createWindow(nullptr, CRect(150, 120, 320, 250), WS_POPUP | WS_VISIBLE);
        HWND plugin = createWindow(top, CRect(10, 20, 150, 120), WS_CHILD | WS_VISIBLE | c.style,
                                   "TestShell");
        remakeFrameIn(plugin);
        int32_t x = -1;
        int32_t y = -1;
        EXPECT_TRUE(frame->getPosition(x, y));
        EXPECT_EQ(CPoint(x, y), c.position);
        CRect size;
        EXPECT_TRUE(frame->getSize(size));
        EXPECT_EQ(size, CRect(10, 20, 150, 120))
            << "the frame's parent in its parent's client area";

        remakeFrameIn(host);
        DestroyWindow(top);
    }
}

TEST_F(FrameWindow, CursorTypesShowTheirSystemCursorsAndTheRestRestoreTheDefault)
{
    const HCURSOR original = GetCursor();
    const struct
    {
        int32_t type;
        LPCSTR cursor; // null: the cursor in use before the first call
    } cases[] = {{kCursorWait, IDC_WAIT},
                 {kCursorHSize, IDC_SIZEWE},
                 {7, nullptr},
                 {kCursorVSize, IDC_SIZENS},
                 {kCursorSizeAll, IDC_SIZEALL},
                 {kCursorNESWSize, IDC_SIZENESW},
                 {12, nullptr},
                 {kCursorNWSESize, IDC_SIZENWSE},
                 {kCursorNotAllowed, IDC_NO},
                 {kCursorHand, IDC_HAND},
                 {kCursorDefault, nullptr}};
    for (const auto& c : cases)
    {
        frame->setCursor(c.type);
        EXPECT_EQ(GetCursor(), c.cursor ? LoadCursor(nullptr, c.cursor) : original) << c.type;
    }
}

TEST_F(FrameWindow, DestroyingTheHostWindowClosesTheFrameWhichThenLeavesTheWindowAlone)
{
    CProbeView* view = new CProbeView(CRect(0, 0, 10, 10));
    frame->addView(view);
    RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(pumpUntil([&] { return !frame->isFirstDraw(); }));
    const int drawsBefore = view->draws + view->partDraws;
    HWND dead = window();

    DestroyWindow(host);
    host = nullptr;
    EXPECT_FALSE(IsWindow(dead));
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->getParentSystemWindow(), nullptr);
    view->setDirty(true);
    frame->idle();
    EXPECT_EQ(view->draws + view->partDraws, drawsBefore);
    EXPECT_FALSE(frame->setSize(200, 200));
    EXPECT_TRUE(editor.calls.empty());

    frame->dropReference();
    frame = nullptr;
    EXPECT_EQ(gFrameCount, 0);
    EXPECT_FALSE(classRegistered(gClassName));
}

// ---- Drags ---------------------------------------------------------------------------------

namespace
{
// A data object of either dropped file paths or a text.
class CFakeDataObject : public IDataObject
{
public:
    std::vector<std::string> files;
    std::string text;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IDataObject)
        {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the stack; the count only shows that every holder let go.
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        HGLOBAL memory = nullptr;
        if (format->cfFormat == CF_HDROP && !files.empty())
            memory = fileList();
        else if (format->cfFormat == CF_TEXT && !text.empty())
            memory = copy(text.c_str(), text.size() + 1);
        if (!memory) return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    ULONG references = 0;

private:
    static HGLOBAL copy(const void* bytes, size_t size)
    {
        HGLOBAL memory = GlobalAlloc(GHND, size);
        std::memcpy(GlobalLock(memory), bytes, size);
        GlobalUnlock(memory);
        return memory;
    }
    // DROPFILES followed by the paths, each ending in 0, and one more 0.
    HGLOBAL fileList() const
    {
        std::string bytes(sizeof(DROPFILES), '\0');
        auto* header = reinterpret_cast<DROPFILES*>(&bytes[0]);
        header->pFiles = sizeof(DROPFILES);
        for (const std::string& file : files)
            bytes += file + '\0';
        bytes += '\0';
        return copy(bytes.data(), bytes.size());
    }
};

class CDragProbe : public CProbeView
{
public:
    using CProbeView::CProbeView;

    void onDragEnter(CDrawContext*, CDragContainer* drag, const CPoint& where) override
    {
        events.push_back("enter");
        enterPoint = where;
        count = drag->getCount();
        int32_t size = 0;
        int32_t type = 0;
        for (void* item = drag->first(size, type); item; item = drag->next(size, type))
        {
            items.push_back(std::string(static_cast<const char*>(item), size));
            types.push_back(type);
        }
    }
    void onDragMove(CDrawContext*, CDragContainer*, const CPoint&) override
    {
        events.push_back("move");
    }
    void onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) override
    {
        events.push_back("leave");
    }
    bool onDrop(CDrawContext*, CDragContainer*, const CPoint&) override
    {
        events.push_back("drop");
        return false;
    }

    void forget()
    {
        events.clear();
        items.clear();
        types.clear();
        count = 0;
    }

    std::vector<std::string> events;
    CPoint enterPoint;
    int32_t count = 0;
    std::vector<std::string> items;
    std::vector<int32_t> types;
};

struct CFrameWithTarget : CFrame
{
    using CFrame::CFrame;
    IDropTarget* target() const { return static_cast<IDropTarget*>(dropTarget); }
};

// A shell shortcut to target in the temporary folder; empty when none could be made.
std::string makeShortcut(const std::string& target)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "bramble_drop_test.lnk";
    IShellLinkA* link = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link)) != S_OK)
        return "";
    IPersistFile* file = nullptr;
    bool saved = false;
    if (link->SetPath(target.c_str()) == S_OK &&
        link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK)
    {
        WCHAR widePath[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
        saved = file->Save(widePath, TRUE) == S_OK;
        file->Release();
    }
    link->Release();
    return saved ? path : "";
}

std::string existingFile()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

struct FrameDrag : FrameWindow
{
    CFrameWithTarget* dragFrame = nullptr;
    CDragProbe* probe = nullptr;
    CFakeDataObject data;
    POINTL point = {0, 0};

    void SetUp() override
    {
        FrameWindow::SetUp();
        frame->dropReference();
        frame = dragFrame =
            new CFrameWithTarget(CRect(0, 0, kFrameWidth, kFrameHeight), host, &editor);
        probe = new CDragProbe(CRect(20, 10, kFrameWidth, kFrameHeight));
        frame->addView(probe);
        ASSERT_NE(dragFrame->target(), nullptr);
        const CRect screen = windowRect(window());
        SetCursorPos(screen.left + 50, screen.top + 30);
        POINT cursor;
        ASSERT_TRUE(GetCursorPos(&cursor));
        ASSERT_EQ(CPoint(cursor.x, cursor.y), CPoint(screen.left + 50, screen.top + 30));
    }
    DWORD enter(IDataObject* object)
    {
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(dragFrame->target()->DragEnter(object, MK_LBUTTON, point, &effect), S_OK);
        return effect;
    }
};
} // namespace

TEST_F(FrameDrag, DraggedItemsReachTheViewUnderTheCursorAsPathsOrText)
{
    const std::string program = existingFile();
    const std::string shortcut = makeShortcut(program);
    ASSERT_FALSE(shortcut.empty()) << "no shortcut to resolve";
    const struct
    {
        std::vector<std::string> files;
        std::string text;
        std::vector<std::string> items;
        std::vector<int32_t> types;
    } cases[] = {
        {{"C:\\one.wav", "C:\\two.wav"},
         "",
         {"C:\\one.wav", "C:\\two.wav"},
         {kDragItemFile, kDragItemFile}},
        {{}, "some text", {"some text"}, {kDragItemText}},
        {{shortcut}, "", {program}, {kDragItemFile}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.items[0]);
        data.files = c.files;
        data.text = c.text;
        probe->forget();
        EXPECT_EQ(enter(&data), static_cast<DWORD>(DROPEFFECT_MOVE));
        ASSERT_NE(gDragContainer, nullptr);
        EXPECT_EQ(probe->events, (std::vector<std::string>{"enter"}));
        EXPECT_EQ(probe->enterPoint, CPoint(50, 30)) << "the cursor in the frame's coordinates";
        EXPECT_EQ(probe->count, static_cast<int32_t>(c.items.size()));
        EXPECT_EQ(probe->items, c.items);
        EXPECT_EQ(probe->types, c.types);
        EXPECT_EQ(dragFrame->target()->DragLeave(), S_OK);
        EXPECT_EQ(gDragContainer, nullptr);
        EXPECT_EQ(data.references, 0u) << "the container let go of the data object";
    }
    DeleteFileA(shortcut.c_str());
}

TEST_F(FrameDrag, ADragMovesOverTheViewsAndARefusedDropAsksTheSourceToKeepItsData)
{
    data.text = "x";
    enter(&data);
    DWORD effect = DROPEFFECT_NONE;
    EXPECT_EQ(dragFrame->target()->DragOver(MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(dragFrame->target()->Drop(&data, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(probe->events, (std::vector<std::string>{"enter", "move", "drop", "leave"}));
    EXPECT_EQ(gDragContainer, nullptr);
    EXPECT_EQ(data.references, 0u);
}

TEST_F(FrameDrag, WithoutADataObjectNothingIsDraggedAndNothingMoves)
{
    EXPECT_EQ(enter(nullptr), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(gDragContainer, nullptr);
    DWORD effect = DROPEFFECT_MOVE;
    dragFrame->target()->DragOver(MK_LBUTTON, point, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(probe->events.empty());
}

TEST_F(FrameDrag, TheTargetAnswersForItsTwoInterfacesOnly)
{
    IDropTarget* target = dragFrame->target();
    const ULONG held = target->AddRef() - 1; // the references OLE holds
    EXPECT_EQ(target->Release(), held);
    void* object = nullptr;
    for (const IID& iid : {IID_IUnknown, IID_IDropTarget})
    {
        ASSERT_EQ(target->QueryInterface(iid, &object), S_OK);
        EXPECT_EQ(object, target);
        EXPECT_EQ(target->Release(), held) << "the answer came with a reference";
    }
    object = target;
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

// ---- The native edit field's colours -------------------------------------------------------

namespace
{
class CEditProbe : public CProbeView, public CEditFieldColors
{
public:
    using CProbeView::CProbeView;
    CColor getEditTextColor() const override { return CColor{10, 20, 30, 255}; }
    CColor getEditBackColor() const override { return CColor{200, 150, 100, 255}; }
    void* exchangeEditBrush(void* newBrush) override
    {
        void* previous = brush;
        brush = newBrush;
        return previous;
    }
    void* brush = nullptr;
};
} // namespace

TEST_F(FrameWindow, TheEditFieldGetsItsColoursAndAFreshBrushWhileItHoldsTheFocus)
{
    CEditProbe* field = new CEditProbe(CRect(0, 0, 50, 20));
    frame->addView(field);
    frame->setFocusView(field);
    HDC dc = CreateCompatibleDC(nullptr);

    const auto first = reinterpret_cast<HBRUSH>(
        SendMessageA(window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(field->brush, first);
    EXPECT_EQ(GetTextColor(dc), RGB(10, 20, 30));
    EXPECT_EQ(GetBkColor(dc), RGB(200, 150, 100));
    LOGBRUSH fill = {};
    ASSERT_EQ(GetObjectA(first, sizeof(fill), &fill), static_cast<int>(sizeof(fill)));
    EXPECT_EQ(fill.lbColor, RGB(200, 150, 100));

    const auto second = reinterpret_cast<HBRUSH>(
        SendMessageA(window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), 0));
    EXPECT_EQ(field->brush, second);
    EXPECT_EQ(GetObjectType(first), 0u) << "the previous brush is deleted";

    frame->setFocusView(nullptr);
    SendMessageA(window(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(field->brush, second) << "only the focus view is asked";
    DeleteObject(second);
    DeleteDC(dc);
}
