#pragma once

#include <cstdint>

#include "lib/mem_dynamic.h"

// A reference-counted object. The count is a plain integer: everything that
// shares these objects runs on the UI thread.
//
// Release only counts down; the holder that sees 0 destroys the object in the
// way it was allocated (a string body, for one, lives in a malloc block).
class CRefObjDef : public CMemDynamic {
public:
    // Both return the new count.
    virtual int AddRef() { return ++refCount; }
    virtual int Release() { return --refCount; }

    int RefCount() const { return refCount; }

private:
    int32_t refCount = 0;
};
