#pragma once

#include "lib/gstring.h"
#include "lib/ob_list.h"

// A list record holding one string. Deleting it releases the string, then
// unlinks the record from its list.
class CGStringListRec : public CGObListRec, public CGString {
public:
    explicit CGStringListRec(const char* text) : CGString(text) {}

    // Assigning text or a CGString changes only the string, never the links.
    using CGString::operator=;
};

// A list whose records are all CGStringListRec; the helpers below rely on it.
class CGStringList : public CGObList {
public:
    // The first record, from the head, whose text equals `text` (ASCII
    // case-insensitive when asked); nullptr when there is none.
    CGStringListRec* Find(const char* text, bool ignoreCase) const;

    // The record `index` places behind the head (0 is the head); nullptr when
    // the index is negative or past the tail.
    CGStringListRec* At(int index) const;

    // New records holding a copy of `text`, owned by the list. nullptr, and
    // the list unchanged, when memory is short.
    CGStringListRec* AddHead(const char* text);
    CGStringListRec* AddTail(const char* text);

private:
    CGStringListRec* NewRecord(const char* text);
};

// The recent-file list: one full path per record, the most recent at the head.
class CFileList : public CGStringList {
public:
    ~CFileList() override;
};
