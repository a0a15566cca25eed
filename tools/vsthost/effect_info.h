// What the effect says about itself, as text, and the settings a user asks for by name.
#pragma once

#include "host_session.h"

#include <cstdio>
#include <string>
#include <vector>

// The text the effect writes for one request (names, display texts); empty when it writes none.
std::string askText(const HostSession& session, VstInt32 opcode, VstInt32 index = 0,
                    VstIntPtr value = 0);

// Prints the identity, the programs and the parameter table.
void printInfo(const HostSession& session, const std::string& path, std::FILE* out);

// The index of the parameter called name (exactly as the effect names it, else ignoring case)
// or given by its number; -1 when there is none.
VstInt32 findParameter(const HostSession& session, const std::string& name);

// Selects a program (negative: leave it) and then applies "NAME=VALUE" settings in order;
// throws ToolError for an unknown program or parameter or a value outside 0..1.
void applySettings(const HostSession& session, int program,
                   const std::vector<std::string>& settings);
