// The handle of the module (plug-in library or program) whose resources the toolkit uses. The
// toolkit does not know who loaded it: whoever links the toolkit defines this function, the
// plug-in with the handle its load notification received, a test program with its own.
#pragma once

void* toolkitModuleHandle();
