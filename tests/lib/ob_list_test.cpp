#include "lib/ob_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CountingRec : public CGObListRec {
public:
    explicit CountingRec(int& counter) : destroyed(counter) {}
    ~CountingRec() override { ++destroyed; }

private:
    int& destroyed;
};

// Counts the removals that reach it through the virtual table.
class WatchedList : public CGObList {
public:
    int RemoveRecord(CGObListRec* rec) override
    {
        ++removals;
        return CGObList::RemoveRecord(rec);
    }
    ~WatchedList() override { DeleteAll(); }

    int removals = 0;
};

class ObListTest : public ::testing::Test {
protected:
    CGObListRec* NewRec() { return new CountingRec(destroyed); }

    // Checks count, owners and the links in both directions.
    static void ExpectOrder(const CGObList& list, const std::vector<CGObListRec*>& expected)
    {
        ASSERT_EQ(list.Count(), static_cast<int>(expected.size()));
        std::vector<CGObListRec*> forward, backward;
        for (CGObListRec* rec = list.Head(); rec; rec = rec->Next()) {
            EXPECT_EQ(rec->Owner(), &list);
            forward.push_back(rec);
        }
        for (CGObListRec* rec = list.Tail(); rec; rec = rec->Prev())
            backward.insert(backward.begin(), rec);
        EXPECT_EQ(forward, expected);
        EXPECT_EQ(backward, expected);
    }

    int destroyed = 0;
};

TEST_F(ObListTest, InsertPlacesAndMovesRecordsWithinAndBetweenLists)
{
    WatchedList from;
    CGObList list;
    CGObListRec* a = NewRec();
    CGObListRec* b = NewRec();
    CGObListRec* c = NewRec();
    CGObListRec* d = NewRec();
    from.Append(a);
    from.Append(b);
    list.InsertAfter(b, nullptr);
    EXPECT_EQ(from.removals, 1);
    ExpectOrder(from, {a});
    list.InsertAfter(c, list.Tail());
    list.InsertAfter(a, nullptr);
    list.InsertAfter(d, a);
    ExpectOrder(list, {a, d, b, c});
    ExpectOrder(from, {});
    list.InsertAfter(c, nullptr);
    ExpectOrder(list, {c, a, d, b});
    list.InsertAfter(c, list.Tail());
    list.InsertAfter(b, b);
    ExpectOrder(list, {a, d, b, c});
    EXPECT_EQ(from.RemoveRecord(b), 0);   // not its record: ignored
    ExpectOrder(list, {a, d, b, c});
    EXPECT_EQ(destroyed, 0);
}

TEST_F(ObListTest, ADeletedRecordLeavesItsListAndDeleteAllOrTheDestructorDeletesTheRest)
{
    WatchedList list;
    CGObListRec* a = NewRec();
    CGObListRec* b = NewRec();
    list.Append(a);
    list.Append(b);
    list.Append(NewRec());
    delete b;
    EXPECT_EQ(list.removals, 1);
    ExpectOrder(list, {a, list.Tail()});
    list.DeleteAll();
    EXPECT_EQ(destroyed, 3);
    ExpectOrder(list, {});
    {
        CGObList scoped;
        scoped.Append(NewRec());
        scoped.InsertAfter(NewRec(), nullptr);
    }
    EXPECT_EQ(destroyed, 5);
}

}
