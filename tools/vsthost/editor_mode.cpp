#include "editor_mode.h"

#include "editor_window.h"
#include "effect_info.h"
#include "host_session.h"
#include "number_text.h"
#include "png_file.h"
#include "tool_error.h"

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

// The wheel reaches the editor through effVendorSpecific with these two numbers and the
// distance in opt.
constexpr VstInt32 kWheelIndex = fourCharCode("stCA");
constexpr VstIntPtr kWheelValue = fourCharCode("Whee");

// Room between the windows of instances shown one below the other.
constexpr int kWindowGap = 8;
constexpr long long kMaxPumpMilliseconds = 600000;
constexpr long long kMaxCycles = 100000;

// A command that cannot be carried out; the message becomes the "error" reply.
class CommandError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

using Arguments = std::vector<std::string>;

Arguments wordsOf(const std::string& line)
{
    Arguments words;
    std::istringstream stream(line);
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

long long wholeNumber(const std::string& text, long long lowest, long long highest,
                      const char* what)
{
    long long value = 0;
    if (!readWholeNumber(text, lowest, highest, value))
        throw CommandError(std::string(what) + " wants a whole number from " +
                           std::to_string(lowest) + " to " + std::to_string(highest) + ", not '" +
                           text + "'");
    return value;
}

double realNumber(const std::string& text, const char* what)
{
    double value = 0.0;
    if (!readRealNumber(text, value))
        throw CommandError(std::string(what) + " wants a number, not '" + text + "'");
    return value;
}

// A reply is one line.
std::string withoutLineBreaks(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

std::string okWith(VstIntPtr result)
{
    return "ok " + std::to_string(static_cast<long long>(result));
}

struct EditorInstance
{
    HostSession session;
    std::unique_ptr<EditorWindow> window;
    bool open = false;
};

class EditorMode : public WindowListener
{
public:
    explicit EditorMode(const Options& options) : options(options) {}
    ~EditorMode() override { closeAll(); }

    // Opens the command input and the first instance's editor; throws ToolError.
    void start();
    void run() { system->run(); }
    // Closes every editor, destroys its window and closes its effect.
    void closeAll();

    void onIdleTimer(EditorWindow& window) override;
    void onLine(const std::string& line) override;
    void onInputEnd() override;

private:
    using Handler = std::string (EditorMode::*)(const Arguments&);
    struct Command
    {
        const char* name;
        const char* usage;
        size_t fewest;
        size_t most;
        Handler handler;
    };
    static const Command kCommands[];

    void addInstance();
    std::string execute(const std::string& line);
    EditorInstance& target() { return *instances[current]; }
    VstIntPtr openEditor(EditorInstance& instance);
    void closeEditor(EditorInstance& instance);
    VstInt32 parameterIndex(const std::string& text);

    std::string rect(const Arguments&);
    std::string idle(const Arguments&);
    std::string idleTimer(const Arguments&);
    std::string pump(const Arguments&);
    std::string set(const Arguments&);
    std::string get(const Arguments&);
    std::string display(const Arguments&);
    std::string key(const Arguments&);
    std::string wheel(const Arguments&);
    std::string knobMode(const Arguments&);
    std::string open(const Arguments&);
    std::string close(const Arguments&);
    std::string cycle(const Arguments&);
    std::string pixel(const Arguments&);
    std::string screenshot(const Arguments&);
    std::string resources(const Arguments&);
    std::string memory(const Arguments&);
    std::string instance(const Arguments&);
    std::string quit(const Arguments&);

    const Options& options;
    std::unique_ptr<WindowSystem> system;
    std::vector<std::unique_ptr<EditorInstance>> instances;
    size_t current = 0;
};

const EditorMode::Command EditorMode::kCommands[] = {
    {"rect", "", 0, 0, &EditorMode::rect},
    {"idle", "", 0, 0, &EditorMode::idle},
    {"idle-timer", "on|off", 1, 1, &EditorMode::idleTimer},
    {"pump", "MS", 1, 1, &EditorMode::pump},
    {"set", "INDEX VALUE", 2, 2, &EditorMode::set},
    {"get", "INDEX", 1, 1, &EditorMode::get},
    {"display", "INDEX", 1, 1, &EditorMode::display},
    {"key", "VIRT MOD [CHAR]", 2, 3, &EditorMode::key},
    {"wheel", "DISTANCE", 1, 1, &EditorMode::wheel},
    {"knob-mode", "N", 1, 1, &EditorMode::knobMode},
    {"open", "", 0, 0, &EditorMode::open},
    {"close", "", 0, 0, &EditorMode::close},
    {"cycle", "N", 1, 1, &EditorMode::cycle},
    {"pixel", "X Y", 2, 2, &EditorMode::pixel},
    {"screenshot", "FILE", 1, 1, &EditorMode::screenshot},
    {"resources", "", 0, 0, &EditorMode::resources},
    {"memory", "", 0, 0, &EditorMode::memory},
    {"instance", "N", 1, 1, &EditorMode::instance},
    {"quit", "", 0, 0, &EditorMode::quit},
};

void EditorMode::start()
{
    std::FILE* input = stdin;
    if (!options.scriptPath.empty())
    {
        // Read by the reader thread as long as the process runs.
        input = std::fopen(options.scriptPath.c_str(), "r");
        if (!input)
            throw ToolError("cannot read '" + options.scriptPath + "': " + std::strerror(errno));
    }
    addInstance();
    system->startReading(input);
}

void EditorMode::addInstance()
{
    auto instance = std::make_unique<EditorInstance>();
    HostSession& session = instance->session;
    if (options.logCallbacks) session.setCallbackLog(stdout);
    std::string error;
    if (!session.load(options.pluginPath, error)) throw ToolError(error);
    applySettings(session, options.program, options.settings);
    if ((session.effect()->flags & effFlagsHasEditor) == 0)
        throw ToolError("the effect has no editor (its flags lack effFlagsHasEditor)");
    ERect* size = nullptr;
    session.dispatch(effEditGetRect, 0, 0, &size);
    const int width = size ? size->right - size->left : 0;
    const int height = size ? size->bottom - size->top : 0;
    if (width <= 0 || height <= 0)
        throw ToolError("the effect's editor gives no size (effEditGetRect)");

    if (!system)
    {
        system = createWindowSystem(*this, error);
        if (!system) throw ToolError(error);
    }
    std::string title = "vsthost - " + askText(session, effGetEffectName);
    int x = options.windowX;
    int y = options.windowY;
    if (!instances.empty())
    {
        const ScreenRect above = instances.back()->window->outerArea();
        title += " (" + std::to_string(instances.size() + 1) + ")";
        x = above.x;
        y = above.y + above.height + kWindowGap;
    }
    instance->window = system->createWindow(title, x, y, width, height, error);
    if (!instance->window) throw ToolError(error);
    EditorWindow* window = instance->window.get();
    session.setWindowSizer([window](VstInt32 w, VstInt32 h) { return window->resizeClient(w, h); });
    if (!openEditor(*instance))
        throw ToolError("the effect's editor did not open (effEditOpen answered 0)");
    instances.push_back(std::move(instance));
}

void EditorMode::closeAll()
{
    for (auto& instance : instances)
    {
        if (instance->open) closeEditor(*instance);
        instance->window.reset();
        instance->session.close();
    }
    instances.clear();
}

VstIntPtr EditorMode::openEditor(EditorInstance& instance)
{
    const VstIntPtr result =
        instance.session.dispatch(effEditOpen, 0, 0, instance.window->nativeHandle());
    instance.open = result != 0;
    return result;
}

void EditorMode::closeEditor(EditorInstance& instance)
{
    instance.session.dispatch(effEditClose);
    instance.open = false;
}

void EditorMode::onIdleTimer(EditorWindow& window)
{
    for (auto& instance : instances)
        if (instance->window.get() == &window && instance->open)
            instance->session.dispatch(effEditIdle);
}

void EditorMode::onLine(const std::string& line)
{
    const Arguments words = wordsOf(line);
    // Blank lines and comments of a script are no commands and get no reply.
    if (words.empty() || words[0][0] == '#') return;
    const std::string reply = execute(line);
    std::printf("%s\n", reply.c_str());
    std::fflush(stdout);
}

void EditorMode::onInputEnd()
{
    // A script leaves the window to the user; the end of stdin ends the run.
    if (options.scriptPath.empty()) system->stop();
}

std::string EditorMode::execute(const std::string& line)
{
    Arguments words = wordsOf(line);
    const std::string name = words[0];
    words.erase(words.begin());
    for (const Command& command : kCommands)
    {
        if (name != command.name) continue;
        if (words.size() < command.fewest || words.size() > command.most)
            return std::string("error usage: ") + command.name + (*command.usage ? " " : "") +
                   command.usage;
        try
        {
            return (this->*command.handler)(words);
        }
        catch (const std::exception& failure)
        {
            return "error " + withoutLineBreaks(failure.what());
        }
    }
    return "error unknown command '" + name + "'";
}

VstInt32 EditorMode::parameterIndex(const std::string& text)
{
    const VstInt32 count = target().session.effect()->numParams;
    if (count == 0) throw CommandError("the effect has no parameters");
    return static_cast<VstInt32>(wholeNumber(text, 0, count - 1, "a parameter index"));
}

std::string EditorMode::rect(const Arguments&)
{
    const ScreenRect area = target().window->clientArea();
    return "ok " + std::to_string(area.x) + " " + std::to_string(area.y) + " " +
           std::to_string(area.width) + " " + std::to_string(area.height);
}

std::string EditorMode::idle(const Arguments&)
{
    target().session.dispatch(effEditIdle);
    return "ok";
}

// With the timer off the editor idles only on "idle", so a test can tell what waits for it.
std::string EditorMode::idleTimer(const Arguments& arguments)
{
    const std::string& state = arguments[0];
    if (state != "on" && state != "off")
        throw CommandError("idle-timer wants on or off, not '" + state + "'");
    target().window->setIdleTimer(state == "on");
    return "ok";
}

std::string EditorMode::pump(const Arguments& arguments)
{
    system->pump(static_cast<int>(wholeNumber(arguments[0], 0, kMaxPumpMilliseconds, "pump")));
    return "ok";
}

std::string EditorMode::set(const Arguments& arguments)
{
    AEffect* effect = target().session.effect();
    const VstInt32 index = parameterIndex(arguments[0]);
    effect->setParameter(effect, index, static_cast<float>(realNumber(arguments[1], "set")));
    return "ok";
}

std::string EditorMode::get(const Arguments& arguments)
{
    AEffect* effect = target().session.effect();
    const VstInt32 index = parameterIndex(arguments[0]);
    char text[32];
    std::snprintf(text, sizeof text, "ok %.6g",
                  static_cast<double>(effect->getParameter(effect, index)));
    return text;
}

std::string EditorMode::display(const Arguments& arguments)
{
    const VstInt32 index = parameterIndex(arguments[0]);
    const std::string text = askText(target().session, effGetParamDisplay, index);
    return text.empty() ? "ok" : "ok " + withoutLineBreaks(text);
}

std::string EditorMode::key(const Arguments& arguments)
{
    const auto virt = static_cast<VstIntPtr>(wholeNumber(arguments[0], 0, 255, "a virtual key"));
    const auto modifiers = static_cast<float>(wholeNumber(arguments[1], 0, 255, "a modifier set"));
    const auto character = static_cast<VstInt32>(
        arguments.size() > 2 ? wholeNumber(arguments[2], INT32_MIN, INT32_MAX, "a character") : 0);
    const HostSession& session = target().session;
    const VstIntPtr down = session.dispatch(effEditKeyDown, character, virt, nullptr, modifiers);
    const VstIntPtr up = session.dispatch(effEditKeyUp, character, virt, nullptr, modifiers);
    return okWith(down) + " " + std::to_string(static_cast<long long>(up));
}

std::string EditorMode::wheel(const Arguments& arguments)
{
    const auto distance = static_cast<float>(realNumber(arguments[0], "wheel"));
    return okWith(
        target().session.dispatch(effVendorSpecific, kWheelIndex, kWheelValue, nullptr, distance));
}

std::string EditorMode::knobMode(const Arguments& arguments)
{
    const auto mode =
        static_cast<VstIntPtr>(wholeNumber(arguments[0], INT32_MIN, INT32_MAX, "knob-mode"));
    return okWith(target().session.dispatch(effSetEditKnobMode, 0, mode));
}

std::string EditorMode::open(const Arguments&)
{
    if (target().open) throw CommandError("the editor is open already");
    const VstIntPtr result = openEditor(target());
    if (!result) throw CommandError("effEditOpen answered 0");
    return okWith(result);
}

std::string EditorMode::close(const Arguments&)
{
    if (!target().open) throw CommandError("the editor is closed already");
    closeEditor(target());
    return "ok";
}

// Closes and reopens an open editor, or opens and closes a closed one, so that it ends as it
// was; the window's messages are dispatched after each step, as between a user's clicks.
std::string EditorMode::cycle(const Arguments& arguments)
{
    const long long count = wholeNumber(arguments[0], 1, kMaxCycles, "cycle");
    EditorInstance& instance = target();
    const bool startsOpen = instance.open;
    for (long long i = 1; i <= count; ++i)
    {
        for (int step = 0; step < 2; ++step)
        {
            if (system->stopped())
                throw CommandError("the window was closed in cycle " + std::to_string(i));
            if (instance.open)
                closeEditor(instance);
            else if (!openEditor(instance))
                throw CommandError("effEditOpen answered 0 in cycle " + std::to_string(i));
            system->pumpPending();
        }
    }
    return startsOpen == instance.open ? "ok" : "error the editor changed state";
}

std::string EditorMode::pixel(const Arguments& arguments)
{
    const ScreenRect area = target().window->clientArea();
    const int x = static_cast<int>(wholeNumber(arguments[0], 0, area.width - 1, "pixel x"));
    const int y = static_cast<int>(wholeNumber(arguments[1], 0, area.height - 1, "pixel y"));
    PixelImage image;
    if (!target().window->capture(x, y, 1, 1, image)) throw CommandError("cannot read the screen");
    return "ok " + std::to_string(image.rgb[0]) + " " + std::to_string(image.rgb[1]) + " " +
           std::to_string(image.rgb[2]);
}

std::string EditorMode::screenshot(const Arguments& arguments)
{
    const ScreenRect area = target().window->clientArea();
    PixelImage image;
    if (!target().window->capture(0, 0, area.width, area.height, image))
        throw CommandError("cannot read the screen");
    std::string error;
    if (!writePngFile(arguments[0], image, error)) throw CommandError(error);
    return "ok " + std::to_string(image.width) + " " + std::to_string(image.height);
}

std::string EditorMode::resources(const Arguments&)
{
    return "ok gdi=" + std::to_string(system->gdiObjectMeasure()) +
           " windows=" + std::to_string(system->windowCount());
}

std::string EditorMode::memory(const Arguments&)
{
    const long long bytes = system->memoryBytes();
    if (bytes < 0) throw CommandError("the process's memory cannot be read");
    return "ok " + std::to_string(bytes);
}

std::string EditorMode::instance(const Arguments& arguments)
{
    const long long count = static_cast<long long>(instances.size());
    const long long number = wholeNumber(arguments[0], 1, count + 1, "instance");
    if (number == count + 1) addInstance();
    current = static_cast<size_t>(number - 1);
    return "ok " + std::to_string(number);
}

std::string EditorMode::quit(const Arguments&)
{
    system->stop();
    return "ok";
}

} // namespace

int runEditorMode(const Options& options)
{
    EditorMode mode(options);
    mode.start();
    mode.run();
    mode.closeAll();
    return std::fflush(stdout) == 0 ? 0 : kFailureStatus;
}
