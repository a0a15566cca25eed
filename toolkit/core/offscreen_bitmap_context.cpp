// The off-screen context over a bitmap. Kept apart from the other drawing contexts so that
// programs drawing without bitmaps do not link the bitmaps' resource loading.
#include "toolkit/core/backend/platform_services.h"
#include "toolkit/core/bitmap.h"
#include "toolkit/core/draw_context.h"

#include <algorithm>

COffscreenContext::COffscreenContext(CDrawContext* context, CBitmap* bitmap, bool drawIntoBitmap)
    : CDrawContext(context ? context->getFrame() : nullptr, nullptr, nullptr), bitmap(bitmap),
      height(bitmap ? bitmap->getHeight() : 20), width(bitmap ? bitmap->getWidth() : 20)
{
    clipRect =
        CRect(std::min(0, width), std::min(0, height), std::max(0, width), std::max(0, height));

    if (drawIntoBitmap && bitmap)
    {
        // The bitmap keeps its image; this context only draws into it.
        image = bitmap->getImageDevice();
    }
    else
    {
        image =
            services->createImageDevice(context ? context->getDevice() : nullptr, width, height);
        destroyImage = true;
    }
    if (image)
    {
        device = image;
        recordPriorObjects();
        applyRecordedState();
    }

    if (destroyImage)
    {
        if (bitmap)
            bitmap->draw(this, CRect(0, 0, width, height), CPoint(0, 0));
        else
        {
            setFillColor(kColorBlack);
            fillRect(CRect(0, 0, width, height));
        }
    }
}
