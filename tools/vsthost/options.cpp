#include "options.h"

#include "number_text.h"
#include "tool_error.h"

#include <cmath>
#include <cstdlib>

const char* const kUsageText =
    "Usage: vsthost PLUGIN [options]\n"
    "       vsthost --editor [--script FILE] [--window-at X,Y] [--log-callbacks] PLUGIN\n"
    "\n"
    "Loads a VST 2.4 effect library (.so, .dll) and shows what it reports, renders audio\n"
    "through it or measures its speed. Without --input, --signal or --bench it prints the\n"
    "identity as --info does.\n"
    "\n"
    "What to do:\n"
    "  --info               print name, vendor, ids, channels, flags, programs and a table of\n"
    "                       the parameters (index, name, label, value, display text)\n"
    "  --input FILE         render a sound file (WAV or any other type libsndfile reads)\n"
    "  --signal KIND        render a generated signal instead: noise (seeded, uniform),\n"
    "                       sine[:HZ] (default 1000 Hz), impulse, dc[:VALUE]\n"
    "  --bench              process loud noise (uniform, peak 1.0) for a few seconds and print\n"
    "                       the time per channel-sample\n"
    "  --editor             open the effect's editor in a window of the tool's own (Windows\n"
    "                       build) and take commands from stdin, one a line (below)\n"
    "\n"
    "Rendering:\n"
    "  --output FILE        write the effect's output as a 32-bit float WAV file\n"
    "  --print-samples N    print the first N output frames on stdout, one frame a line,\n"
    "                       channels separated by spaces (%.9g)\n"
    "  --seconds S          length of a generated signal (default 1); with --bench the wall\n"
    "                       time to run (default 3)\n"
    "  --frames N           process exactly N frames (cuts an input file; with --bench, instead\n"
    "                       of a time)\n"
    "  --level L            peak of noise, sine and impulse, value of dc (default 0.5)\n"
    "  --channels N         channels of a generated signal (default: the effect's inputs)\n"
    "  --seed N             seed of the noise (default 1)\n"
    "  A file with fewer channels than the effect has inputs is repeated over them (a mono\n"
    "  file feeds every input); of a file with more channels the first ones are used.\n"
    "\n"
    "The effect:\n"
    "  --program N          select program N first\n"
    "  --set NAME=VALUE     set a parameter, named as --info lists it or by its index, to a\n"
    "                       normalised value from 0 to 1; may be repeated\n"
    "  --rate HZ            sample rate (default: the input file's, else 44100)\n"
    "  --block N            frames per processing call (default 512)\n"
    "  --double             process through processDoubleReplacing (default: processReplacing)\n"
    "\n"
    "Editor:\n"
    "  --script FILE        read the commands from FILE instead of stdin; after its last line\n"
    "                       the window stays open until it is closed\n"
    "  --window-at X,Y      screen position of the window's top-left corner (default 0,0)\n"
    "  Each command gets one reply line on stdout that starts with 'ok' or 'error'. Closing\n"
    "  the window, quit or the end of stdin ends the run. The commands:\n"
    "    rect                 the editor area on the screen: ok X Y WIDTH HEIGHT\n"
    "    idle                 one effEditIdle\n"
    "    pump MS              run the window MS milliseconds (effEditIdle every 50 ms)\n"
    "    idle-timer on|off    start or stop the window's effEditIdle timer (on at first)\n"
    "    set INDEX VALUE      set a parameter\n"
    "    get INDEX            a parameter's value: ok VALUE\n"
    "    display INDEX        a parameter's display text: ok TEXT\n"
    "    key VIRT MOD [CHAR]  effEditKeyDown and effEditKeyUp: ok DOWN UP\n"
    "    wheel DISTANCE       the mouse wheel at the pointer: ok RESULT\n"
    "    knob-mode N          effSetEditKnobMode: ok RESULT\n"
    "    open, close          effEditOpen, effEditClose in the same window\n"
    "    cycle N              close and reopen the editor N times (open and close if closed)\n"
    "    pixel X Y            the colour the screen shows at editor coordinates: ok R G B\n"
    "    screenshot FILE      the editor area as a PNG file: ok WIDTH HEIGHT\n"
    "    resources            live GDI objects (70000 minus what can still be made) and the\n"
    "                         process's windows: ok gdi=N windows=M\n"
    "    memory               the process's private bytes (or working set): ok BYTES\n"
    "    instance N           direct the commands to effect N; one above the last loads\n"
    "                         another instance in a window of its own: ok N\n"
    "    quit                 close the editors and the effects and end\n"
    "\n"
    "Other:\n"
    "  --log-callbacks      print every call of the effect to the host, and the effClose\n"
    "                       that ends it, on stderr (with --editor on stdout, in order with\n"
    "                       the replies)\n"
    "  --help               print this text\n"
    "\n"
    "Options take their value as the next argument or after '=' (--block=64). The exit status\n"
    "is 0 on success, 1 when the plug-in or a file cannot be used, 2 for a bad command line.\n";

namespace
{

[[noreturn]] void usageError(const std::string& message)
{
    throw ToolError(message + " (see vsthost --help)", kUsageStatus);
}

double parseNumber(const std::string& option, const std::string& text)
{
    double value = 0.0;
    if (!readRealNumber(text, value)) usageError(option + " wants a number, not '" + text + "'");
    return value;
}

int64_t parseCount(const std::string& option, const std::string& text, int64_t lowest,
                   int64_t highest)
{
    long long value = 0;
    if (!readWholeNumber(text, lowest, highest, value))
        usageError(option + " wants a whole number from " + std::to_string(lowest) + " to " +
                   std::to_string(highest) + ", not '" + text + "'");
    return value;
}

void parseSignal(const std::string& text, Options& options)
{
    const size_t colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    const bool hasValue = colon != std::string::npos;
    const std::string value = hasValue ? text.substr(colon + 1) : std::string();
    if (kind == "noise" && !hasValue)
        options.signal = SignalKind::noise;
    else if (kind == "impulse" && !hasValue)
        options.signal = SignalKind::impulse;
    else if (kind == "sine")
    {
        options.signal = SignalKind::sine;
        options.signalValue = hasValue ? parseNumber("--signal sine:", value) : 1000.0;
        if (options.signalValue < 0.0) usageError("a sine wants a frequency of 0 Hz or more");
    }
    else if (kind == "dc")
    {
        options.signal = SignalKind::dc;
        // Without a value the constant is the level.
        options.signalValue = hasValue ? parseNumber("--signal dc:", value) : NAN;
    }
    else
        usageError("unknown signal '" + text + "': noise, sine[:HZ], impulse or dc[:VALUE]");
}

// "X,Y" in screen coordinates.
void parseWindowAt(const std::string& text, Options& options)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos) usageError("--window-at wants X,Y, not '" + text + "'");
    constexpr int64_t kLimit = 30000;
    options.windowX =
        static_cast<int>(parseCount("--window-at", text.substr(0, comma), -kLimit, kLimit));
    options.windowY =
        static_cast<int>(parseCount("--window-at", text.substr(comma + 1), -kLimit, kLimit));
    options.windowAtGiven = true;
}

void checkEditorCombination(const Options& options)
{
    const bool wantsOutput = !options.outputPath.empty() || options.printSamples > 0;
    if (!options.editor)
    {
        if (!options.scriptPath.empty() || options.windowAtGiven)
            usageError("--script and --window-at need --editor");
        return;
    }
    if (options.info || options.bench || options.renders() || wantsOutput)
        usageError("--editor runs on its own: no --info, --input, --signal, --bench, --output or "
                   "--print-samples with it");
}

void checkCombination(Options& options)
{
    if (options.pluginPath.empty()) usageError("no plug-in given");
    checkEditorCombination(options);
    if (!options.inputPath.empty() && options.signal != SignalKind::none)
        usageError("--input and --signal exclude each other");
    const bool wantsOutput = !options.outputPath.empty() || options.printSamples > 0;
    if (wantsOutput && !options.renders())
        usageError("--output and --print-samples need --input or --signal");
    if (options.bench && (options.renders() || wantsOutput))
        usageError("--bench renders noise of its own: no --input, --signal, --output or "
                   "--print-samples with it");
    if (options.signal == SignalKind::dc && std::isnan(options.signalValue))
        options.signalValue = options.level;
}

} // namespace

Options parseOptions(const std::vector<std::string>& arguments)
{
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-')
        {
            if (!options.pluginPath.empty())
                usageError("one plug-in at a time: '" + options.pluginPath + "' and '" + argument +
                           "'");
            options.pluginPath = argument;
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const bool inlineValue = equals != std::string::npos;
        auto value = [&]() -> std::string
        {
            if (inlineValue) return argument.substr(equals + 1);
            if (i + 1 >= arguments.size()) usageError(name + " wants a value");
            return arguments[++i];
        };
        auto flag = [&]() -> bool
        {
            if (inlineValue) usageError(name + " takes no value");
            return true;
        };

        if (name == "--help" || name == "-h")
            options.help = flag();
        else if (name == "--info")
            options.info = flag();
        else if (name == "--bench")
            options.bench = flag();
        else if (name == "--double")
            options.doublePrecision = flag();
        else if (name == "--log-callbacks")
            options.logCallbacks = flag();
        else if (name == "--editor")
            options.editor = flag();
        else if (name == "--script")
            options.scriptPath = value();
        else if (name == "--window-at")
            parseWindowAt(value(), options);
        else if (name == "--input")
            options.inputPath = value();
        else if (name == "--signal")
            parseSignal(value(), options);
        else if (name == "--output")
            options.outputPath = value();
        else if (name == "--print-samples")
            options.printSamples = parseCount(name, value(), 0, INT64_MAX);
        else if (name == "--seconds")
        {
            options.seconds = parseNumber(name, value());
            if (options.seconds <= 0.0) usageError("--seconds wants a time above 0");
        }
        else if (name == "--frames")
            options.frames = parseCount(name, value(), 1, INT64_MAX);
        else if (name == "--level")
            options.level = parseNumber(name, value());
        else if (name == "--channels")
            options.channels = static_cast<int>(parseCount(name, value(), 1, kMaxChannels));
        else if (name == "--seed")
            options.seed = static_cast<uint64_t>(parseCount(name, value(), 0, INT64_MAX));
        else if (name == "--program")
            options.program = static_cast<int>(parseCount(name, value(), 0, INT32_MAX));
        else if (name == "--set")
        {
            const std::string setting = value();
            if (setting.find('=') == std::string::npos)
                usageError("--set wants NAME=VALUE, not '" + setting + "'");
            options.settings.push_back(setting);
        }
        else if (name == "--rate")
        {
            options.sampleRate = parseNumber(name, value());
            if (options.sampleRate <= 0.0) usageError("--rate wants a rate above 0");
        }
        else if (name == "--block")
            options.blockSize = static_cast<int>(parseCount(name, value(), 1, kMaxBlockSize));
        else
            usageError("unknown option '" + name + "'");
    }
    if (!options.help) checkCombination(options);
    return options;
}
