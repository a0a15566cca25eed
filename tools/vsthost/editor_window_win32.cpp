// Editor windows through USER and GDI: one window class for the tool's top-level windows, a
// message loop that also waits for the reader thread's lines, and the screen and process
// measurements of the editor commands.
#include "editor_window.h"

#include <windows.h>

#include <psapi.h>

#include <deque>
#include <mutex>
#include <thread>

namespace
{

constexpr const char* kWindowClass = "vsthost editor window";
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr const char* kWindowProperty = "vsthost editor window";
constexpr UINT_PTR kIdleTimer = 1;

// The lines the reader thread has read and the GUI thread has not taken yet. Shared with the
// reader thread, which may outlive the window system while it waits for input.
class LineQueue
{
public:
    LineQueue() : arrived(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~LineQueue() { CloseHandle(arrived); }

    void push(std::string line)
    {
        std::lock_guard<std::mutex> lock(mutex);
        lines.push_back(std::move(line));
        SetEvent(arrived);
    }
    void finish()
    {
        std::lock_guard<std::mutex> lock(mutex);
        ended = true;
        SetEvent(arrived);
    }
    // The next line, if one waits; ended tells whether the input is over and taken.
    bool pop(std::string& line, bool& inputOver)
    {
        std::lock_guard<std::mutex> lock(mutex);
        inputOver = ended && lines.empty();
        if (lines.empty()) return false;
        line = std::move(lines.front());
        lines.pop_front();
        return true;
    }
    HANDLE event() const { return arrived; }

private:
    std::mutex mutex;
    std::deque<std::string> lines;
    bool ended = false;
    HANDLE arrived;
};

void readLines(std::FILE* input, std::shared_ptr<LineQueue> queue)
{
    std::string line;
    int c;
    while ((c = std::fgetc(input)) != EOF)
    {
        if (c != '\n')
        {
            line += static_cast<char>(c);
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        queue->push(std::move(line));
        line.clear();
    }
    if (!line.empty()) queue->push(std::move(line));
    queue->finish();
}

class Win32WindowSystem;

class Win32EditorWindow : public EditorWindow
{
public:
    Win32EditorWindow(HWND window, Win32WindowSystem& owner) : window(window), owner(owner)
    {
        SetPropA(window, kWindowProperty, this);
        SetTimer(window, kIdleTimer, kIdleMilliseconds, nullptr);
    }
    ~Win32EditorWindow() override
    {
        KillTimer(window, kIdleTimer);
        RemovePropA(window, kWindowProperty);
        DestroyWindow(window);
    }

    void* nativeHandle() const override { return window; }
    Win32WindowSystem& system() const { return owner; }

    ScreenRect clientArea() const override
    {
        RECT client = {};
        GetClientRect(window, &client);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        return {origin.x, origin.y, client.right - client.left, client.bottom - client.top};
    }

    ScreenRect outerArea() const override
    {
        RECT outer = {};
        GetWindowRect(window, &outer);
        return {outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top};
    }

    bool resizeClient(int width, int height) override
    {
        RECT outer = {0, 0, width, height};
        if (!AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0)) return false;
        return SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left,
                            outer.bottom - outer.top,
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
    }

    bool capture(int x, int y, int width, int height, PixelImage& image) const override;

    void setIdleTimer(bool running) override
    {
        if (running)
            SetTimer(window, kIdleTimer, kIdleMilliseconds, nullptr);
        else
            KillTimer(window, kIdleTimer);
    }

private:
    HWND window;
    Win32WindowSystem& owner;
};

// Copies from the screen, so that the picture is what the display shows, child windows and
// all, into a top-down 32-bit DIB section.
bool Win32EditorWindow::capture(int x, int y, int width, int height, PixelImage& image) const
{
    if (width <= 0 || height <= 0) return false;
    const ScreenRect area = clientArea();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (memory && section)
    {
        HGDIOBJ previous = SelectObject(memory, section);
        copied = BitBlt(memory, 0, 0, width, height, screen, area.x + x, area.y + y, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, previous);
    }
    if (copied)
    {
        image.width = width;
        image.height = height;
        image.rgb.resize(static_cast<size_t>(width) * height * 3);
        const auto* source = static_cast<const uint8_t*>(bits);
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        {
            image.rgb[i * 3] = source[i * 4 + 2];
            image.rgb[i * 3 + 1] = source[i * 4 + 1];
            image.rgb[i * 3 + 2] = source[i * 4];
        }
    }
    if (section) DeleteObject(section);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copied;
}

class Win32WindowSystem : public WindowSystem
{
public:
    explicit Win32WindowSystem(WindowListener& listener)
        : listener(listener), queue(std::make_shared<LineQueue>())
    {
    }

    bool registerClass(std::string& error);

    std::unique_ptr<EditorWindow> createWindow(const std::string& title, int x, int y, int width,
                                               int height, std::string& error) override;
    void startReading(std::FILE* input) override { std::thread(readLines, input, queue).detach(); }
    void run() override;
    void stop() override { stopRequested = true; }
    void pump(int milliseconds) override;
    void pumpPending() override;

    long long gdiObjectMeasure() override;
    int windowCount() override;
    long long memoryBytes() override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Waits until a message arrives, or a line as well, at most that long.
    void waitForInput(DWORD milliseconds, bool forLines);

    WindowListener& listener;
    std::shared_ptr<LineQueue> queue;
    bool inputEnded = false;
};

// The tool's own windows carry a property that leads back to their object; windows of the
// effect have none.
Win32EditorWindow* editorWindowOf(HWND window)
{
    return static_cast<Win32EditorWindow*>(GetPropA(window, kWindowProperty));
}

bool Win32WindowSystem::registerClass(std::string& error)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Win32WindowSystem::windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExA(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return true;
    error =
        "cannot register the editor window class (error " + std::to_string(GetLastError()) + ")";
    return false;
}

std::unique_ptr<EditorWindow> Win32WindowSystem::createWindow(const std::string& title, int x,
                                                              int y, int width, int height,
                                                              std::string& error)
{
    RECT outer = {0, 0, width, height};
    AdjustWindowRectEx(&outer, kWindowStyle, FALSE, 0);
    HWND window = CreateWindowExA(0, kWindowClass, title.c_str(), kWindowStyle, x, y,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window)
    {
        error = "cannot create the editor window (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    auto editorWindow = std::make_unique<Win32EditorWindow>(window, *this);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    return editorWindow;
}

LRESULT CALLBACK Win32WindowSystem::windowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam)
{
    Win32EditorWindow* editorWindow = editorWindowOf(window);
    if (!editorWindow) return DefWindowProcA(window, message, wParam, lParam);
    switch (message)
    {
    case WM_TIMER:
        // pumpPending() takes the idle timer's messages itself; a loop of the effect that
        // dispatches one changes nothing.
        if (wParam == kIdleTimer) return 0;
        break;
    case WM_CLOSE:
        // The owner closes the editor and then destroys the window.
        editorWindow->system().stop();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Win32WindowSystem::waitForInput(DWORD milliseconds, bool forLines)
{
    HANDLE event = queue->event();
    MsgWaitForMultipleObjectsEx(forLines ? 1 : 0, forLines ? &event : nullptr, milliseconds,
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void Win32WindowSystem::pumpPending()
{
    MSG message;
    while (!stopRequested && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        Win32EditorWindow* timed = message.message == WM_TIMER && message.wParam == kIdleTimer
                                       ? editorWindowOf(message.hwnd)
                                       : nullptr;
        if (timed)
        {
            listener.onIdleTimer(*timed);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void Win32WindowSystem::pump(int milliseconds)
{
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    for (;;)
    {
        pumpPending();
        const ULONGLONG now = GetTickCount64();
        if (stopRequested || now >= end) return;
        waitForInput(static_cast<DWORD>(end - now), false);
    }
}

void Win32WindowSystem::run()
{
    while (!stopRequested)
    {
        pumpPending();
        if (stopRequested) return;
        std::string line;
        bool over = false;
        if (queue->pop(line, over))
        {
            listener.onLine(line);
            continue;
        }
        if (over && !inputEnded)
        {
            inputEnded = true;
            listener.onInputEnd();
            continue;
        }
        waitForInput(INFINITE, !inputEnded);
    }
}

long long Win32WindowSystem::gdiObjectMeasure()
{
    std::vector<HBRUSH> brushes;
    brushes.reserve(static_cast<size_t>(kGdiProbeLimit));
    while (static_cast<long long>(brushes.size()) < kGdiProbeLimit)
    {
        HBRUSH brush = CreateSolidBrush(RGB(brushes.size() & 0xFF, 0, 0));
        if (!brush) break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return kGdiProbeLimit - static_cast<long long>(brushes.size());
}

BOOL CALLBACK countOwnWindow(HWND window, LPARAM counter)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

BOOL CALLBACK countOwnTree(HWND window, LPARAM counter)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(counter);
    // Every descendant, however deep.
    EnumChildWindows(window, countOwnWindow, counter);
    return TRUE;
}

int Win32WindowSystem::windowCount()
{
    int count = 0;
    EnumWindows(countOwnTree, reinterpret_cast<LPARAM>(&count));
    return count;
}

long long Win32WindowSystem::memoryBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters))
        return -1;
    // Wine leaves the private bytes at 0 but counts the working set.
    const SIZE_T bytes = counters.PrivateUsage ? counters.PrivateUsage : counters.WorkingSetSize;
    return static_cast<long long>(bytes);
}

} // namespace

std::unique_ptr<WindowSystem> createWindowSystem(WindowListener& listener, std::string& error)
{
    auto system = std::make_unique<Win32WindowSystem>(listener);
    if (!system->registerClass(error)) return nullptr;
    return system;
}
