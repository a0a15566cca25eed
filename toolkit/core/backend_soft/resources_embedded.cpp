// Resource lookup in the table embedded into the module at build time.
#include "toolkit/core/backend/resources.h"
#include "toolkit/core/backend_soft/embedded_resources.h"

namespace
{

// ASCII comparison without regard to case, as resource type names are compared on Windows.
bool sameTypeName(const char* a, const char* b)
{
    for (;; ++a, ++b)
    {
        char x = *a;
        char y = *b;
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
        if (x == 0) return true;
    }
}

} // namespace

bool findResource(int32_t id, const char* type, const uint8_t*& data, size_t& size)
{
    if (!type) return false;
    for (size_t i = 0; i < kEmbeddedResourceCount; ++i)
    {
        const EmbeddedResource& resource = kEmbeddedResources[i];
        if ((resource.id & 0xFFFF) == (id & 0xFFFF) && sameTypeName(resource.type, type))
        {
            data = resource.data;
            size = resource.size;
            return true;
        }
    }
    return false;
}
