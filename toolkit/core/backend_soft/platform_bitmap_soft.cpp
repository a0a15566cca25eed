// The software back end knows no platform bitmap format: PNG resources are all there is.
#include "toolkit/core/backend/platform_bitmap.h"

CDrawDevice* loadPlatformBitmap(int32_t, int32_t&, int32_t&)
{
    return nullptr;
}
