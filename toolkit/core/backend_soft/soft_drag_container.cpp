// Memory windows take no drops, so a drag container of the software back end holds no items.
#include "toolkit/core/drag_container.h"

#include <cstdlib>

CDragContainer* gDragContainer = nullptr;

CDragContainer::CDragContainer(void* platformDrag) : platformDrag(platformDrag) {}

CDragContainer::~CDragContainer()
{
    std::free(lastItem);
}

void* CDragContainer::first(int32_t& size, int32_t& type)
{
    iterator = 0;
    return next(size, type);
}

void* CDragContainer::next(int32_t& size, int32_t& type)
{
    size = 0;
    type = kDragItemUnknown;
    return nullptr;
}
