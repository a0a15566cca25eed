// Platform bitmap resources: images of the module's own bitmap format, found by numeric id. The
// Windows back end loads them from the module's resource section; other back ends have none.
// Portable; no platform header.
#pragma once

#include <cstdint>

class CDrawDevice;

// A device holding the platform bitmap with the low 16 bits of id, and its size; null when the
// module has no such bitmap or its description cannot be read.
CDrawDevice* loadPlatformBitmap(int32_t id, int32_t& width, int32_t& height);
