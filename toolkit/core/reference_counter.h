// Base of the toolkit's shared objects: drawing contexts, bitmaps, views and drag containers.
// Whoever creates one holds its first reference; every further holder adds one and drops it.
#pragma once

#include <cstdint>

class CReferenceCounter
{
public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;
    virtual ~CReferenceCounter() {}

    // Destroys the object when the last reference goes.
    virtual void dropReference()
    {
        if (--nbReference == 0)
            delete this;
    }
    virtual void addReference() { ++nbReference; }
    int32_t getNbReference() const { return nbReference; }

private:
    int32_t nbReference = 1;
};
