// The window system as vsthost's editor mode needs it: top-level windows that hold an effect's
// editor, the GUI thread's message loop with an idle timer per window, command lines handed
// from a reader thread to that loop, and what the screen and the process show. The platform's
// window system is used in exactly one source file per platform (editor_window_win32.cpp,
// editor_window_posix.cpp); nothing else includes its headers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct ScreenRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Pixels as the screen shows them: rows from the top, three bytes (red, green, blue) a pixel.
struct PixelImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

class EditorWindow
{
public:
    virtual ~EditorWindow() = default;

    // What effEditOpen gets as the parent window.
    virtual void* nativeHandle() const = 0;
    // The client area: its origin in screen coordinates and its size.
    virtual ScreenRect clientArea() const = 0;
    // The whole window with its frame and caption, in screen coordinates.
    virtual ScreenRect outerArea() const = 0;
    // Resizes the window so that its client area is width x height.
    virtual bool resizeClient(int width, int height) = 0;
    // The part of the client area at (x, y) of width x height, read from the screen.
    virtual bool capture(int x, int y, int width, int height, PixelImage& image) const = 0;
    // Starts or stops the window's idle timer; it runs from the window's creation on.
    virtual void setIdleTimer(bool running) = 0;
};

// What the loop reports, on the GUI thread, from run(), pump() or pumpPending() only: never from
// a message loop that the effect runs itself while the tool waits for one of its calls.
class WindowListener
{
public:
    virtual ~WindowListener() = default;
    // A window's idle timer fired (about every kIdleMilliseconds).
    virtual void onIdleTimer(EditorWindow& window) = 0;
    // One line of input, without its line break.
    virtual void onLine(const std::string& line) = 0;
    // The input has ended; no more lines come.
    virtual void onInputEnd() = 0;
};

constexpr int kIdleMilliseconds = 50;

class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // A visible top-level window with the title whose top-left corner is at (x, y) and whose
    // client area is width x height; null with the cause in error.
    virtual std::unique_ptr<EditorWindow> createWindow(const std::string& title, int x, int y,
                                                       int width, int height,
                                                       std::string& error) = 0;

    // Reads lines from the stream on a thread of its own from now on; run() hands them to the
    // listener one at a time. The stream must stay open as long as the process runs.
    virtual void startReading(std::FILE* input) = 0;

    // Dispatches window messages and hands over input lines until stop(). A user closing any
    // of the windows stops the loop as well; the windows stay until their owner destroys them.
    virtual void run() = 0;
    virtual void stop() = 0;
    bool stopped() const { return stopRequested; }

    // Dispatches window messages (idle timers included) for that long; lines wait meanwhile.
    virtual void pump(int milliseconds) = 0;
    // Dispatches the messages that wait now.
    virtual void pumpPending() = 0;

    // Live GDI objects, measured as kGdiProbeLimit minus the number of objects the process can
    // still create: more live objects give a larger number; 0 when the probe hit the limit.
    virtual long long gdiObjectMeasure() = 0;
    static constexpr long long kGdiProbeLimit = 70000;
    // Windows of this process, top-level and child.
    virtual int windowCount() = 0;
    // The process's private bytes, or its working set where the system counts no private
    // bytes; negative when neither can be read.
    virtual long long memoryBytes() = 0;

protected:
    bool stopRequested = false;
};

// The platform's window system for the listener; null with the cause in error when the platform
// has none.
std::unique_ptr<WindowSystem> createWindowSystem(WindowListener& listener, std::string& error);
