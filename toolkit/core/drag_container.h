// What is being dragged over a frame: the platform's data object, read item by item. File items
// are their paths (shortcuts resolved to their targets), text items their characters. The items
// are read by the platform's back end. Portable; no platform header.
#pragma once

#include "toolkit/core/reference_counter.h"

#include <cstdint>

enum CDragItemType
{
    kDragItemUnknown = -1,
    kDragItemFile = 0,
    kDragItemText
};

class CDragContainer : public CReferenceCounter
{
public:
    // platformDrag: the platform's data object; the container holds it while it lives.
    explicit CDragContainer(void* platformDrag);
    ~CDragContainer() override;

    // The first or the following item: its bytes (a text ending in 0, valid until the next call
    // or the container's end), size without the end, and type. Null after the last item.
    void* first(int32_t& size, int32_t& type);
    void* next(int32_t& size, int32_t& type);
    int32_t getCount() const { return nbItems; }
    void* getPlatformDrag() const { return platformDrag; }

protected:
    void* platformDrag = nullptr;
    int32_t nbItems = 0;
    int32_t iterator = 0;
    char* lastItem = nullptr;
};

// The drag in progress over a frame of this module; null when there is none.
extern CDragContainer* gDragContainer;
