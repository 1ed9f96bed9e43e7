// The program's string table: every user-visible text, format, settings key and
// file-name extension, loaded once at start-up and then read by id.
//
// All strings with ids 1..275 are copied into one block, each followed by its
// zero, and a table of pointers indexes the block by id. An id without a string
// points at the zero of the string before it, so it reads as "". The pointers
// stay valid until the next successful Load; callers never free them.
#pragma once

#include <cstddef>
#include <memory>

// Where the texts come from: the Windows shell reads the program's string
// resources, the core and its tests use the texts compiled into the program
// (builtin_strings.h).
class StringSource {
public:
    virtual ~StringSource() = default;

    // Copies the string with this id into buffer, cut to size - 1 characters and
    // zero-terminated, like the platform's LoadString. Returns the number of
    // characters copied; 0 means there is no such string.
    virtual int Load(int id, char* buffer, int size) const = 0;
};

class StringTable {
public:
    enum {
        FIRST_ID = 1,
        LAST_ID = 275,
        BLOCK_BYTES = 13800,    // room for all texts while loading
    };

    StringTable();
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;

    // Loads ids 1..275 from source. Fails (start-up error 246) when the texts
    // do not fit the block: a string that reaches the block's end may have been
    // cut short. A failed load leaves the table as it was. On success the block
    // is shrunk to the bytes used plus one.
    bool Load(const StringSource& source);

    // The text of id; "" for an id without a string, outside 1..275, or before
    // the first load. Never null.
    const char* Get(int id) const;

    // Bytes held by the block after loading (0 before the first load).
    size_t BlockBytes() const { return blockBytes_; }

    // Forgets every text (tests; the program keeps its table to the end).
    void Clear();

private:
    std::unique_ptr<char[]> block_;
    size_t blockBytes_ = 0;
    const char* index_[LAST_ID];    // index_[id - 1]
};

// The program's one string table.
StringTable& TheStringTable();

// The text of id from the program's string table ("" when there is none).
const char* LoadAppString(int id);
