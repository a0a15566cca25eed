// vsthost --editor: the effect's editor in a window of the tool's own, driven by commands read
// one a line, each answered by one line on stdout that starts with "ok" or "error". The effect
// is called on the GUI thread only; callback log lines go to stdout as well, in the order in
// which the calls happen.
#pragma once

#include "options.h"

// Loads the effect, opens its editor and runs the commands until quit, the end of stdin or the
// closing of a window; closes the editor and the effect then and returns the exit status.
// Throws ToolError when the effect has no editor, the editor does not open or the platform has
// no windows for it.
int runEditorMode(const Options& options);
