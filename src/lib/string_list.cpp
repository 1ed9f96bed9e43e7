#include "lib/string_list.h"

#include <cstring>
#include <new>

namespace {

CGStringListRec* AsString(CGObListRec* rec)
{
    return static_cast<CGStringListRec*>(rec);
}

} // namespace

CGStringListRec* CGStringList::Find(const char* text, bool ignoreCase) const
{
    if (!text)
        text = "";
    for (CGObListRec* rec = head; rec; rec = rec->Next()) {
        CGStringListRec* str = AsString(rec);
        if (ignoreCase ? str->EqualsNoCase(text) : std::strcmp(str->c_str(), text) == 0)
            return str;
    }
    return nullptr;
}

CGStringListRec* CGStringList::At(int index) const
{
    if (index < 0)
        return nullptr;
    CGObListRec* rec = head;
    while (rec && index-- > 0)
        rec = rec->Next();
    return rec ? AsString(rec) : nullptr;
}

CGStringListRec* CGStringList::AddHead(const char* text)
{
    CGStringListRec* rec = NewRecord(text);
    if (rec)
        InsertAfter(rec, nullptr);
    return rec;
}

CGStringListRec* CGStringList::AddTail(const char* text)
{
    CGStringListRec* rec = NewRecord(text);
    if (rec)
        Append(rec);
    return rec;
}

CGStringListRec* CGStringList::NewRecord(const char* text)
{
    CGStringListRec* rec = new (std::nothrow) CGStringListRec(text);
    // A string that could not get its body comes back empty.
    if (rec && text && *text && rec->IsEmpty()) {
        delete rec;
        return nullptr;
    }
    return rec;
}

CFileList::~CFileList() = default;
