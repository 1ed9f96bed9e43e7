#pragma once

// Base of the program's heap objects: anything deleted through a base pointer
// (list records, string bodies) derives from it so the right destructor runs.
class CMemDynamic {
public:
    virtual ~CMemDynamic() = default;
};
