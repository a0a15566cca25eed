// The table of resources compiled into a program or library by bramble_add_resources (see
// cmake/embed_resources.cmake). The generated source defines both names; each target that links
// the toolkit's resource lookup carries its own table.
#pragma once

#include <cstddef>
#include <cstdint>

struct EmbeddedResource
{
    int32_t id;
    const char* type;
    const uint8_t* data;
    size_t size;
};

// kEmbeddedResourceCount entries, followed by one entry of all zeros.
extern const EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;
