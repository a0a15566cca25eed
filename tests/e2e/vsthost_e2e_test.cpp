// vsthost as a user runs it: each case starts the tool of this target as a child process
// against the built plug-ins (or broken libraries) and reads what it prints and writes.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace
{

struct ToolResult
{
    int status = -1;
    std::string out;
    std::string err;
};

std::string shellQuoted(const std::string& argument)
{
#if defined(_WIN32)
    return "\"" + argument + "\"";
#else
    std::string text = "'";
    for (char c : argument)
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
#endif
}

std::string withoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs vsthost with the arguments; stdout through a pipe, stderr through a file.
ToolResult runTool(const std::vector<std::string>& arguments)
{
    const std::string errorFile = "vsthost_e2e_stderr.txt";
    std::string tool = VSTHOST_PATH;
#if defined(_WIN32)
    // The command interpreter wants backslashes in the program's path.
    for (char& c : tool)
        if (c == '/') c = '\\';
#endif
    std::string command = shellQuoted(tool);
    for (const std::string& argument : arguments)
        command += " " + shellQuoted(argument);
    command += " 2>" + shellQuoted(errorFile);

    ToolResult result;
#if defined(_WIN32)
    // cmd /c drops the first and the last quote of a line that has more than two.
    command = "\"" + command + "\"";
    std::FILE* pipe = _popen(command.c_str(), "rb");
#else
    std::FILE* pipe = popen(command.c_str(), "r");
#endif
    if (!pipe)
    {
        ADD_FAILURE() << "cannot start " << command;
        return result;
    }
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, got);
#if defined(_WIN32)
    result.status = _pclose(pipe);
#else
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    result.out = withoutCarriageReturns(result.out);
    result.err = withoutCarriageReturns(readFile(errorFile));
    std::remove(errorFile.c_str());
    return result;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> wordsOf(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

// The text after "key:" on the line that starts with it, without surrounding blanks.
std::string field(const std::string& text, const std::string& key)
{
    for (const std::string& line : linesOf(text))
    {
        if (line.compare(0, key.size() + 1, key + ":") != 0) continue;
        const size_t begin = line.find_first_not_of(' ', key.size() + 1);
        return begin == std::string::npos ? std::string() : line.substr(begin);
    }
    return "(no line " + key + ")";
}

std::vector<std::vector<double>> samplesOf(const std::string& text)
{
    std::vector<std::vector<double>> frames;
    for (const std::string& line : linesOf(text))
    {
        std::vector<double> frame;
        for (const std::string& word : wordsOf(line))
            frame.push_back(std::strtod(word.c_str(), nullptr));
        frames.push_back(frame);
    }
    return frames;
}

void writeWav(const std::string& path, int channels, const std::vector<float>& interleaved)
{
    SF_INFO info = {};
    info.samplerate = 44100;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
    EXPECT_EQ(sf_writef_float(file, interleaved.data(), frames), frames);
    sf_close(file);
}

struct SoundInfo
{
    int channels = 0;
    int64_t frames = 0;
    int rate = 0;
};

SoundInfo soundInfo(const std::string& path)
{
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    sf_close(file);
    return {info.channels, info.frames, info.samplerate};
}

// Sound files the rendering cases read, written once for the whole program.
const char* const kSquareFile = "e2e_square.wav";
const char* const kQuietFile = "e2e_quiet.wav";
const char* const kLeftOnlyFile = "e2e_left_dc.wav";
const char* const kNotAudioFile = "e2e_not_audio.wav";
const std::vector<float> kQuietSamples = {0.3f, -0.45f, 0.1f, 0.49f, -0.499f, 0.0f};

class Environment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        writeWav(kSquareFile, 1, {0.9f, -0.9f, 0.9f, -0.9f, 0.9f, -0.9f});
        writeWav(kQuietFile, 1, kQuietSamples);
        writeWav(kLeftOnlyFile, 2, {0.9f, 0.0f, 0.9f, 0.0f, 0.9f, 0.0f, 0.9f, 0.0f});
        std::ofstream(kNotAudioFile) << "this is text, not sound\n";
    }
    void TearDown() override
    {
        for (const char* path : {kSquareFile, kQuietFile, kLeftOnlyFile, kNotAudioFile})
            std::remove(path);
    }
};

const ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new Environment);

// --info

struct VariantCase
{
    const char* label;
    const char* path;
    const char* name;
    const char* uniqueId;
    const char* channels;
};

// Cases print as their labels in gtest's messages.
void PrintTo(const VariantCase& value, std::ostream* out)
{
    *out << value.label;
}

const VariantCase kVariants[] = {
    {"stereo", STEREO_PLUGIN_PATH, "Bramble Cascader", "0xFF071102", "2"},
    {"mono", MONO_PLUGIN_PATH, "Bramble Cascader mono", "0xFF071101", "1"},
};

class InfoOfVariant : public ::testing::TestWithParam<VariantCase>
{
};

TEST_P(InfoOfVariant, ShowsTheIdentity)
{
    const ToolResult run = runTool({GetParam().path, "--info"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(field(run.out, "Effect name"), GetParam().name);
    EXPECT_EQ(field(run.out, "Vendor"), "Vextrum");
    EXPECT_EQ(field(run.out, "Product"), GetParam().name);
    EXPECT_EQ(field(run.out, "Vendor version"), "1100");
    EXPECT_EQ(wordsOf(field(run.out, "Unique id"))[0], GetParam().uniqueId);
    EXPECT_EQ(field(run.out, "Inputs"), GetParam().channels);
    EXPECT_EQ(field(run.out, "Outputs"), GetParam().channels);
    EXPECT_EQ(field(run.out, "Flags"), "0x00001011 (hasEditor, canReplacing, canDoubleReplacing)");
    EXPECT_EQ(field(run.out, "Category"), "1 (effect)");
    EXPECT_EQ(field(run.out, "VST version"), "2400");
    EXPECT_EQ(wordsOf(field(run.out, "Programs"))[0], "16");
    EXPECT_EQ(field(run.out, "Parameters"), "11");
}

TEST_P(InfoOfVariant, ListsSixteenProgramsNamedDefault)
{
    const ToolResult run = runTool({GetParam().path, "--info"});
    ASSERT_EQ(run.status, 0) << run.err;
    int listed = 0;
    for (const std::string& line : linesOf(run.out))
    {
        const std::vector<std::string> words = wordsOf(line);
        if (words.size() == 2 && words[0] == std::to_string(listed) && words[1] == "Default")
            ++listed;
    }
    EXPECT_EQ(listed, 16);
}

TEST_P(InfoOfVariant, ParameterTableShowsTheDefaultDisplayTexts)
{
    struct Row
    {
        const char* name;
        const char* display;
    };
    const Row kRows[] = {{"Route", "Sh->Int"}, {"Asymm", "0"},     {"Sh.Enable", "On"},
                         {"Sh.Thr", "-6.0"},   {"Sh.Drive", "50"}, {"Int.Enable", "On"},
                         {"Int.Thr", "-6.0"},  {"Int.Ch", "0.50"}, {"Int.Disch", "0.50"},
                         {"In.Gain", "0.0"},   {"Out.Gain", "0.0"}};
    const ToolResult run = runTool({GetParam().path, "--info"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = linesOf(run.out);
    for (size_t index = 0; index < std::size(kRows); ++index)
    {
        SCOPED_TRACE(kRows[index].name);
        bool found = false;
        for (const std::string& line : lines)
        {
            const std::vector<std::string> words = wordsOf(line);
            if (words.size() < 4 || words[0] != std::to_string(index) ||
                words[1] != kRows[index].name)
                continue;
            found = true;
            EXPECT_EQ(words.back(), kRows[index].display);
        }
        EXPECT_TRUE(found) << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, InfoOfVariant, ::testing::ValuesIn(kVariants),
                         [](const ::testing::TestParamInfo<VariantCase>& info)
                         { return std::string(info.param.label); });

// Rendering

struct RenderCase
{
    const char* label;
    std::vector<std::string> arguments;
    // Each output frame: one value per output channel.
    std::vector<std::vector<double>> frames;
};

void PrintTo(const RenderCase& value, std::ostream* out)
{
    *out << value.label;
}

std::vector<std::vector<double>> both(const std::vector<double>& values)
{
    std::vector<std::vector<double>> frames;
    for (double x : values)
        frames.push_back({x, x});
    return frames;
}

std::vector<std::vector<double>> single(const std::vector<double>& values)
{
    std::vector<std::vector<double>> frames;
    for (double x : values)
        frames.push_back({x});
    return frames;
}

const std::vector<double> kDcResponse = {0.508868, 0.517342, 0.525441};
const std::vector<double> kAsymmetricSquare = {0.9, -0.517342, 0.9, -0.533181};

std::vector<double> quietSamples()
{
    return std::vector<double>(kQuietSamples.begin(), kQuietSamples.end());
}

class Rendering : public ::testing::TestWithParam<RenderCase>
{
};

TEST_P(Rendering, PrintsTheExpectedFrames)
{
    const RenderCase& render = GetParam();
    const ToolResult run = runTool(render.arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::vector<double>> frames = samplesOf(run.out);
    ASSERT_EQ(frames.size(), render.frames.size()) << run.out;
    for (size_t i = 0; i < frames.size(); ++i)
    {
        ASSERT_EQ(frames[i].size(), render.frames[i].size()) << "frame " << i;
        for (size_t c = 0; c < frames[i].size(); ++c)
            EXPECT_NEAR(frames[i][c], render.frames[i][c], 1e-6)
                << "frame " << i << " channel " << c;
    }
}

const RenderCase kRenderCases[] = {
    {"DcThroughDefaults",
     {STEREO_PLUGIN_PATH, "--signal", "dc:0.9", "--print-samples", "3"},
     both(kDcResponse)},
    {"DcThroughDefaultsInDoublePrecision",
     {STEREO_PLUGIN_PATH, "--signal", "dc:0.9", "--print-samples", "3", "--double"},
     both(kDcResponse)},
    {"DcOneFrameACall",
     {STEREO_PLUGIN_PATH, "--signal", "dc:0.9", "--print-samples", "3", "--block", "1"},
     both(kDcResponse)},
    {"DcThroughMono",
     {MONO_PLUGIN_PATH, "--signal=dc:0.9", "--print-samples=3"},
     single(kDcResponse)},
    // Progress lines are for terminals; here stderr is a file and stays empty.
    {"LongRenderShowsNoProgressOffATerminal",
     {STEREO_PLUGIN_PATH, "--signal", "dc:0.9", "--seconds", "3", "--print-samples", "1"},
     both({kDcResponse[0]})},
    {"SquareWithAsymmetrySetByName",
     {STEREO_PLUGIN_PATH, "--input", kSquareFile, "--set", "Asymm=1", "--print-samples", "4"},
     both(kAsymmetricSquare)},
    {"SquareWithAsymmetrySetByIndex",
     {STEREO_PLUGIN_PATH, "--input", kSquareFile, "--set", "1=1", "--print-samples", "4"},
     both(kAsymmetricSquare)},
    {"SquareWithAsymmetryInDoublePrecision",
     {STEREO_PLUGIN_PATH, "--input", kSquareFile, "--set", "Asymm=1", "--print-samples", "4",
      "--double"},
     both(kAsymmetricSquare)},
    {"QuietSamplesPassUnchanged",
     {STEREO_PLUGIN_PATH, "--input", kQuietFile, "--print-samples", "6"},
     both(quietSamples())},
    {"StereoPluginKeepsTheChannelsOfAStereoFile",
     {STEREO_PLUGIN_PATH, "--input", kLeftOnlyFile, "--print-samples", "3"},
     {{kDcResponse[0], 0.0}, {kDcResponse[1], 0.0}, {kDcResponse[2], 0.0}}},
    {"MonoPluginTakesTheFirstChannelOfAStereoFile",
     {MONO_PLUGIN_PATH, "--input", kLeftOnlyFile, "--print-samples", "3"},
     single(kDcResponse)},
};

INSTANTIATE_TEST_SUITE_P(Cases, Rendering, ::testing::ValuesIn(kRenderCases),
                         [](const ::testing::TestParamInfo<RenderCase>& info)
                         { return std::string(info.param.label); });

TEST(RenderedFiles, BlockSizesOneSevenAnd512GiveIdenticalFiles)
{
    for (const bool doublePrecision : {false, true})
    {
        SCOPED_TRACE(doublePrecision ? "double" : "float");
        std::string first;
        for (const char* block : {"1", "7", "512"})
        {
            SCOPED_TRACE(block);
            const std::string path = std::string("e2e_noise_block") + block + ".wav";
            std::vector<std::string> arguments = {
                STEREO_PLUGIN_PATH, "--signal", "noise",    "--level", "1.2", "--seconds", "0.5",
                "--block",          block,      "--output", path};
            if (doublePrecision) arguments.push_back("--double");
            const ToolResult run = runTool(arguments);
            ASSERT_EQ(run.status, 0) << run.err;
            const SoundInfo info = soundInfo(path);
            EXPECT_EQ(info.channels, 2);
            EXPECT_EQ(info.frames, 22050);
            EXPECT_EQ(info.rate, 44100);
            const std::string bytes = readFile(path);
            std::remove(path.c_str());
            if (first.empty())
                first = bytes;
            else
                EXPECT_TRUE(bytes == first) << "the file differs from the one of block size 1";
        }
    }
}

// Failures

struct ErrorCase
{
    const char* label;
    std::vector<std::string> arguments;
    // A part of the message that tells this failure from the others.
    const char* telling;
};

void PrintTo(const ErrorCase& value, std::ostream* out)
{
    *out << value.label;
}

class Failure : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(Failure, GivesOneMessageAndANonZeroStatus)
{
    const ToolResult run = runTool(GetParam().arguments);
    EXPECT_NE(run.status, 0);
    const std::vector<std::string> lines = linesOf(run.err);
    ASSERT_EQ(lines.size(), 1u) << run.err;
    EXPECT_EQ(lines[0].compare(0, 9, "vsthost: "), 0) << lines[0];
    EXPECT_NE(lines[0].find(GetParam().telling), std::string::npos) << lines[0];
}

const ErrorCase kErrorCases[] = {
    {"MissingLibrary", {"e2e_no_such_plugin.so"}, "cannot load"},
    {"LibraryWithoutEntry", {FAKE_NO_ENTRY_PATH, "--info"}, "neither VSTPluginMain nor main"},
    {"EntryReturningNoEffect", {FAKE_NULL_EFFECT_PATH}, "VSTPluginMain"},
    {"OldEntryNameReturningNoEffect", {FAKE_MAIN_ONLY_PATH}, "entry main"},
    {"RecordWithoutTheMagic", {FAKE_BAD_MAGIC_PATH, "--info"}, "magic"},
    {"UnknownParameterName", {STEREO_PLUGIN_PATH, "--set", "Sh.Nope=0.3"}, "'Sh.Nope'"},
    {"ValueOutsideTheRange", {STEREO_PLUGIN_PATH, "--set", "Sh.Thr=1.5"}, "Sh.Thr"},
    {"UnreadableAudioFile",
     {STEREO_PLUGIN_PATH, "--input", kNotAudioFile, "--print-samples", "3"},
     kNotAudioFile},
    {"MissingAudioFile", {STEREO_PLUGIN_PATH, "--input", "e2e_missing.wav"}, "e2e_missing.wav"},
    {"UnknownOption", {STEREO_PLUGIN_PATH, "--louder"}, "--louder"},
    {"NoPlugin", {"--info"}, "no plug-in"},
    {"EditorWithRendering", {STEREO_PLUGIN_PATH, "--editor", "--signal", "noise"}, "--editor"},
    {"ScriptWithoutEditor", {STEREO_PLUGIN_PATH, "--script", "e2e_script.txt"}, "--script"},
    {"WindowPositionWithoutY", {STEREO_PLUGIN_PATH, "--editor", "--window-at", "5"}, "X,Y"},
    {"MissingScript",
     {STEREO_PLUGIN_PATH, "--editor", "--script", "e2e_missing_script.txt"},
     "e2e_missing_script.txt"},
#if !defined(_WIN32)
    {"EditorWithoutWindows", {STEREO_PLUGIN_PATH, "--editor"}, "Windows build"},
#endif
};

INSTANTIATE_TEST_SUITE_P(Cases, Failure, ::testing::ValuesIn(kErrorCases),
                         [](const ::testing::TestParamInfo<ErrorCase>& info)
                         { return std::string(info.param.label); });

// The rest of the command line

TEST(Bench, PrintsNanosecondsPerChannelSampleInBothPrecisions)
{
    for (const char* precision : {"float", "double"})
    {
        SCOPED_TRACE(precision);
        std::vector<std::string> arguments = {
            STEREO_PLUGIN_PATH, "--bench", "--frames", "20000", "--set", "Asymm=0.8"};
        if (std::string(precision) == "double") arguments.push_back("--double");
        const ToolResult run = runTool(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string unit = " ns per channel-sample";
        const size_t at = run.out.find(unit);
        ASSERT_NE(at, std::string::npos) << run.out;
        const size_t begin = run.out.rfind(' ', at - 1) + 1;
        EXPECT_GT(std::strtod(run.out.c_str() + begin, nullptr), 0.0) << run.out;
        EXPECT_NE(run.out.find(std::string(precision) + " precision"), std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find("20000 frames x 2 channels"), std::string::npos) << run.out;
    }
}

TEST(CallbackLog, ShowsEveryCallWithItsAnswer)
{
    const ToolResult run = runTool({FAKE_TRACING_PATH, "--log-callbacks", "--rate", "48000",
                                    "--signal", "dc:0.5", "--frames", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* call :
         {"callback: opcode 1 (audioMasterVersion) index 0 value 0 ptr 0x0 opt 0 -> 2400",
          "callback: opcode 16 (audioMasterGetSampleRate) index 0 value 0 ptr 0x0 opt 0 -> 48000",
          "callback: opcode 17 (audioMasterGetBlockSize) index 0 value 0 ptr 0x0 opt 0 -> 512",
          "(audioMasterGetVendorString) index 0 value 0 ptr 0x", "(audioMasterCanDo)"})
        EXPECT_NE(run.err.find(call), std::string::npos) << call << "\n" << run.err;
}

// What the tracing fake printed, without the "trace: " before each line.
std::vector<std::string> traceOf(const ToolResult& run)
{
    const std::string prefix = "trace: ";
    std::vector<std::string> trace;
    for (const std::string& line : linesOf(run.err))
        if (line.compare(0, prefix.size(), prefix) == 0)
            trace.push_back(line.substr(prefix.size()));
    return trace;
}

std::string request(int opcode, long long value = 0, const char* opt = "0")
{
    return "dispatch " + std::to_string(opcode) + " index 0 value " + std::to_string(value) +
           " opt " + opt;
}

TEST(HostProtocol, RenderSetsUpProcessesInBlocksAndStopsInOrder)
{
    for (const bool doublePrecision : {false, true})
    {
        SCOPED_TRACE(doublePrecision ? "double" : "float");
        std::vector<std::string> arguments = {FAKE_TRACING_PATH,
                                              "--signal",
                                              "dc:0.5",
                                              "--frames",
                                              "10",
                                              "--block",
                                              "4",
                                              "--rate",
                                              "48000",
                                              "--set",
                                              "Gain=0.5",
                                              "--print-samples",
                                              "10"};
        if (doublePrecision) arguments.push_back("--double");
        const ToolResult run = runTool(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string process = doublePrecision ? "process-double " : "process ";
        const std::vector<std::string> expected = {
            request(0),
            "set 0 0.5",
            request(10, 0, "48000"),
            request(11, 4),
            request(77, doublePrecision ? 1 : 0),
            request(12, 1),
            "host 2400 rate 48000 block 4 vendor Bramble product vsthost cando 0",
            request(71),
            process + "4",
            process + "4",
            process + "2",
            request(72),
            request(12, 0),
            request(1),
        };
        EXPECT_EQ(traceOf(run), expected);
        EXPECT_EQ(samplesOf(run.out), single(std::vector<double>(10, 0.25)));
    }
}

TEST(HostProtocol, EffectIsClosedWhateverEndsTheRun)
{
    struct Case
    {
        const char* label;
        std::vector<std::string> arguments;
        bool succeeds;
    };
    const Case kCases[] = {
        {"info", {FAKE_TRACING_PATH, "--info"}, true},
        {"editor of an effect without one", {FAKE_TRACING_PATH, "--editor"}, false},
        {"unknown parameter", {FAKE_TRACING_PATH, "--set", "Volume=1"}, false},
        {"program out of range", {FAKE_TRACING_PATH, "--program", "3"}, false},
        {"unwritable output",
         {FAKE_TRACING_PATH, "--signal", "noise", "--output", "e2e_no_such_folder/out.wav"},
         false},
    };
    for (const Case& c : kCases)
    {
        SCOPED_TRACE(c.label);
        const ToolResult run = runTool(c.arguments);
        EXPECT_EQ(run.status == 0, c.succeeds) << run.err;
        const std::vector<std::string> trace = traceOf(run);
        ASSERT_FALSE(trace.empty()) << run.err;
        EXPECT_EQ(trace.front(), request(0));
        EXPECT_EQ(trace.back(), request(1));
        EXPECT_EQ(std::count(trace.begin(), trace.end(), request(1)), 1);
    }
}

TEST(Help, DescribesTheOptionsAndSucceeds)
{
    const ToolResult run = runTool({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.compare(0, 22, "Usage: vsthost PLUGIN "), 0) << run.out;
    for (const char* option : {"--info", "--set", "--print-samples", "--bench", "--double"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

} // namespace
