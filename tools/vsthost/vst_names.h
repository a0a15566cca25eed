// Readable names of the numbers a host sees: the effect's calls to the host, its flags and its
// category.
#pragma once

#include "../../host/aeffect.h"

#include <string>

// "audioMasterVersion" and so on; "unknown" for a number this host has no name for.
const char* hostOpcodeName(VstInt32 opcode);

// The set flags by name, comma-separated ("canReplacing, canDoubleReplacing"); bits without a
// name are listed as hexadecimal numbers.
std::string effectFlagNames(VstInt32 flags);

// "effect", "synth" and so on; "unknown" for an unknown number.
const char* categoryName(VstIntPtr category);

// The four characters of a unique id, most significant byte first; characters that cannot be
// printed appear as \xNN.
std::string fourCharText(VstInt32 code);
