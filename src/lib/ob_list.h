#pragma once

#include "lib/mem_dynamic.h"

class CGObList;

// A record that can sit in at most one CGObList. The list owns it: deleting
// the list deletes the record. Deleting a record on its own is also allowed;
// its destructor first asks its list to unlink it, so the list stays whole.
class CGObListRec : public CMemDynamic {
public:
    CGObListRec() = default;
    CGObListRec(const CGObListRec&) = delete;
    CGObListRec& operator=(const CGObListRec&) = delete;
    ~CGObListRec() override;

    // The list holding this record, or nullptr.
    CGObList* Owner() const { return owner; }
    // Neighbours towards the tail and towards the head; nullptr at the ends.
    CGObListRec* Next() const { return next; }
    CGObListRec* Prev() const { return prev; }

private:
    friend class CGObList;

    CGObList* owner = nullptr;
    CGObListRec* next = nullptr;
    CGObListRec* prev = nullptr;
};

// An intrusive, doubly-linked, owning list of heap records (allocated with
// new). Derived lists (the undo history, the recent-file list) may override
// RemoveRecord and InsertAfter; whatever they do, they must call the base
// versions to keep the links right.
class CGObList {
public:
    CGObList() = default;
    CGObList(const CGObList&) = delete;
    CGObList& operator=(const CGObList&) = delete;
    // Deletes every record. A derived list whose RemoveRecord override matters
    // must call DeleteAll in its own destructor: by the time this one runs,
    // calls go to the base versions.
    virtual ~CGObList();

    // Unlinks a record of this list and clears its owner and links; the record
    // is not deleted. Returns the new count. A record of another list (or
    // nullptr) is left alone and the count returned unchanged.
    // Called from the record's destructor, after the derived parts of the
    // record are gone: overrides may use only the list links.
    virtual int RemoveRecord(CGObListRec* rec);

    // Links rec directly behind `after`, or at the head when `after` is
    // nullptr. A record in any list (this one included) is first removed from
    // there through that list's RemoveRecord. `after` must be a record of
    // this list; inserting a record behind itself does nothing.
    virtual void InsertAfter(CGObListRec* rec, CGObListRec* after);

    // Makes rec the new tail.
    void Append(CGObListRec* rec) { InsertAfter(rec, tail); }

    // Deletes the records head first, each through its virtual destructor.
    void DeleteAll();

    CGObListRec* Head() const { return head; }
    CGObListRec* Tail() const { return tail; }
    int Count() const { return count; }

protected:
    CGObListRec* head = nullptr;
    CGObListRec* tail = nullptr;
    int count = 0;
};
