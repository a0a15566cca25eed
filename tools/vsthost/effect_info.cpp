#include "effect_info.h"

#include "number_text.h"
#include "tool_error.h"
#include "vst_names.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{

// Room for any text an effect writes: the interface's own limits are far smaller, and some
// effects write past them.
constexpr size_t kTextBufferSize = 256;

bool equalIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A whole number in the text, or -1.
long long wholeNumber(const std::string& text)
{
    if (text.empty() || text.size() > 9) return -1;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    return std::atoll(text.c_str());
}

} // namespace

std::string askText(const HostSession& session, VstInt32 opcode, VstInt32 index, VstIntPtr value)
{
    char text[kTextBufferSize] = {};
    session.dispatch(opcode, index, value, text);
    text[kTextBufferSize - 1] = 0;
    return text;
}

void printInfo(const HostSession& session, const std::string& path, std::FILE* out)
{
    AEffect* effect = session.effect();
    const VstInt32 uniqueId = effect->uniqueID;
    std::fprintf(out, "Plug-in file:   %s\n", path.c_str());
    std::fprintf(out, "Entry:          %s\n", session.entryName());
    std::fprintf(out, "Effect name:    %s\n", askText(session, effGetEffectName).c_str());
    std::fprintf(out, "Vendor:         %s\n", askText(session, effGetVendorString).c_str());
    std::fprintf(out, "Product:        %s\n", askText(session, effGetProductString).c_str());
    std::fprintf(out, "Vendor version: %" PRIdPTR "\n", session.dispatch(effGetVendorVersion));
    std::fprintf(out, "Unique id:      0x%08" PRIX32 " '%s'\n", static_cast<uint32_t>(uniqueId),
                 fourCharText(uniqueId).c_str());
    std::fprintf(out, "Inputs:         %" PRId32 "\n", effect->numInputs);
    std::fprintf(out, "Outputs:        %" PRId32 "\n", effect->numOutputs);
    std::fprintf(out, "Flags:          0x%08" PRIX32 " (%s)\n",
                 static_cast<uint32_t>(effect->flags), effectFlagNames(effect->flags).c_str());
    const VstIntPtr category = session.dispatch(effGetPlugCategory);
    std::fprintf(out, "Category:       %" PRIdPTR " (%s)\n", category, categoryName(category));
    std::fprintf(out, "VST version:    %" PRIdPTR "\n", session.dispatch(effGetVstVersion));
    std::fprintf(out, "Effect version: %" PRId32 "\n", effect->version);
    std::fprintf(out, "Initial delay:  %" PRId32 " frames\n", effect->initialDelay);

    std::fprintf(out, "Programs:       %" PRId32 " (current %" PRIdPTR ")\n", effect->numPrograms,
                 session.dispatch(effGetProgram));
    for (VstInt32 p = 0; p < effect->numPrograms; ++p)
    {
        char name[kTextBufferSize] = {};
        const bool named = session.dispatch(effGetProgramNameIndexed, p, -1, name) != 0;
        name[kTextBufferSize - 1] = 0;
        std::fprintf(out, "  %5" PRId32 "  %s\n", p, named ? name : "(no name given)");
    }

    std::fprintf(out, "Parameters:     %" PRId32 "\n", effect->numParams);
    std::vector<std::string> names, labels;
    size_t nameWidth = 4, labelWidth = 5;
    for (VstInt32 i = 0; i < effect->numParams; ++i)
    {
        names.push_back(askText(session, effGetParamName, i));
        labels.push_back(askText(session, effGetParamLabel, i));
        nameWidth = std::max(nameWidth, names.back().size());
        labelWidth = std::max(labelWidth, labels.back().size());
    }
    const int nw = static_cast<int>(nameWidth), lw = static_cast<int>(labelWidth);
    std::fprintf(out, "  index  %-*s  %-*s  %-8s  %s\n", nw, "name", lw, "label", "value",
                 "display");
    for (VstInt32 i = 0; i < effect->numParams; ++i)
    {
        const float value = effect->getParameter(effect, i);
        std::fprintf(out, "  %5" PRId32 "  %-*s  %-*s  %-8.6f  %s\n", i, nw, names[i].c_str(), lw,
                     labels[i].c_str(), static_cast<double>(value),
                     askText(session, effGetParamDisplay, i).c_str());
    }
}

VstInt32 findParameter(const HostSession& session, const std::string& name)
{
    const VstInt32 count = session.effect()->numParams;
    std::vector<std::string> names;
    for (VstInt32 i = 0; i < count; ++i)
        names.push_back(askText(session, effGetParamName, i));
    for (VstInt32 i = 0; i < count; ++i)
        if (names[i] == name) return i;
    for (VstInt32 i = 0; i < count; ++i)
        if (equalIgnoringCase(names[i], name)) return i;
    const long long index = wholeNumber(name);
    return index >= 0 && index < count ? static_cast<VstInt32>(index) : -1;
}

void applySettings(const HostSession& session, int program,
                   const std::vector<std::string>& settings)
{
    AEffect* effect = session.effect();
    if (program >= 0)
    {
        if (program >= effect->numPrograms)
            throw ToolError("no program " + std::to_string(program) + ": the effect has " +
                            std::to_string(effect->numPrograms));
        session.dispatch(effBeginSetProgram);
        session.dispatch(effSetProgram, 0, program);
        session.dispatch(effEndSetProgram);
    }
    for (const std::string& setting : settings)
    {
        const size_t equals = setting.rfind('=');
        const std::string name = setting.substr(0, equals);
        const std::string valueText = setting.substr(equals + 1);
        const VstInt32 index = findParameter(session, name);
        if (index < 0)
        {
            std::string known;
            for (VstInt32 i = 0; i < effect->numParams; ++i)
                known += (i ? ", " : "") + askText(session, effGetParamName, i);
            throw ToolError("unknown parameter '" + name + "' (the effect has: " + known + ")");
        }
        double value = 0.0;
        if (!readRealNumber(valueText, value) || !(value >= 0.0 && value <= 1.0))
            throw ToolError("the value of " + name + " must be a number from 0 to 1, not '" +
                                valueText + "'",
                            kUsageStatus);
        effect->setParameter(effect, index, static_cast<float>(value));
    }
}
