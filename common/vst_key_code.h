// The key record of the plug-in interface. The host interface hands it to the editor, and the
// toolkit's views take it as their key event, so it lives apart from both.
#pragma once

#include <cstdint>

struct VstKeyCode
{
    int32_t character;
    unsigned char virt;     // a virtual key (2 is Tab), 0 for a character
    unsigned char modifier; // modifier bits, 1 is Shift
};
