#include "lib/ob_list.h"

#include <cassert>

CGObListRec::~CGObListRec()
{
    if (owner)
        owner->RemoveRecord(this);
}

CGObList::~CGObList()
{
    DeleteAll();
}

int CGObList::RemoveRecord(CGObListRec* rec)
{
    if (!rec || rec->owner != this)
        return count;

    if (rec->prev)
        rec->prev->next = rec->next;
    else
        head = rec->next;
    if (rec->next)
        rec->next->prev = rec->prev;
    else
        tail = rec->prev;

    rec->owner = nullptr;
    rec->next = nullptr;
    rec->prev = nullptr;
    return --count;
}

void CGObList::InsertAfter(CGObListRec* rec, CGObListRec* after)
{
    if (!rec || rec == after)
        return;
    assert(!after || after->owner == this);

    if (rec->owner)
        rec->owner->RemoveRecord(rec);

    rec->owner = this;
    rec->prev = after;
    rec->next = after ? after->next : head;
    if (rec->next)
        rec->next->prev = rec;
    else
        tail = rec;
    if (after)
        after->next = rec;
    else
        head = rec;
    ++count;
}

void CGObList::DeleteAll()
{
    // Each destructor unlinks its record, so the head moves on by itself.
    while (head)
        delete head;
    head = nullptr;
    tail = nullptr;
    count = 0;
}
