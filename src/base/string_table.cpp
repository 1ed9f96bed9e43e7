#include "base/string_table.h"

#include <cstring>
#include <new>

StringTable::StringTable()
{
    Clear();
}

void StringTable::Clear()
{
    block_.reset();
    blockBytes_ = 0;
    for (const char*& p : index_)
        p = nullptr;
}

bool StringTable::Load(const StringSource& source)
{
    std::unique_ptr<char[]> block(new (std::nothrow) char[BLOCK_BYTES]);
    if (!block)
        return false;

    // Offsets into the block; -1 for ids that come before the first string and
    // so have no zero to point at yet.
    long offsets[LAST_ID];
    size_t used = 0;
    for (int id = FIRST_ID; id <= LAST_ID; ++id) {
        const size_t room = BLOCK_BYTES - used;
        char* at = block.get() + used;
        int n = source.Load(id, at, static_cast<int>(room));
        if (n <= 0) {
            offsets[id - 1] = used ? static_cast<long>(used - 1) : -1;
            continue;
        }
        // A string that fills the room it was offered may have been cut. Two
        // bytes stay spare: one so that the next id can still show at least one
        // character (a present string never reads as a missing one), one for the
        // final zero of the shrunk block.
        if (static_cast<size_t>(n) + 1 > room - 2)
            return false;
        at[n] = '\0';
        offsets[id - 1] = static_cast<long>(used);
        used += static_cast<size_t>(n) + 1;
    }

    const size_t bytes = used + 1;
    std::unique_ptr<char[]> shrunk(new (std::nothrow) char[bytes]);
    if (!shrunk)
        return false;
    std::memcpy(shrunk.get(), block.get(), used);
    shrunk[used] = '\0';
    for (int i = 0; i < LAST_ID; ++i)
        index_[i] = shrunk.get() + (offsets[i] < 0 ? static_cast<long>(used) : offsets[i]);
    block_ = std::move(shrunk);
    blockBytes_ = bytes;
    return true;
}

const char* StringTable::Get(int id) const
{
    if (id < FIRST_ID || id > LAST_ID || !index_[id - 1])
        return "";
    return index_[id - 1];
}

StringTable& TheStringTable()
{
    static StringTable table;
    return table;
}

const char* LoadAppString(int id)
{
    return TheStringTable().Get(id);
}
