#include "framework/core/__FCCollection.h"

#include "framework/core/FCIteratorHandler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// An element that counts its destructions, so ownership can be observed.
class Counted : public __FCBase {
public:
    Counted(int number, int* destroyed) : value(number), destroyed_(destroyed) {}
    ~Counted() override { ++*destroyed_; }
    const int value;

private:
    int* destroyed_;
};

int ValueOf(__FCBase* element) { return element ? static_cast<Counted*>(element)->value : -1; }

// The values in order, -1 for an absent element.
std::vector<int> Values(const __FCCollection& c) {
    std::vector<int> values;
    for (int i = 0; i < c.GetCount(); ++i) values.push_back(ValueOf(c.GetItemAt(i)));
    return values;
}

class Ascending : public FCIteratorHandler {
public:
    int Compare(__FCBase* a, __FCBase* b) override {
        calls.emplace_back(ValueOf(a), ValueOf(b));
        return ValueOf(a) - ValueOf(b);
    }
    std::vector<std::pair<int, int>> calls;
};

class VisitUntil : public FCIteratorHandler {
public:
    explicit VisitUntil(int stopAt) : stopAt_(stopAt) {}
    bool Iterate(__FCBase* element) override {
        visited.push_back(ValueOf(element));
        return ValueOf(element) != stopAt_;
    }
    bool IterateIndex(__FCBase* element, int index) override {
        indexes.push_back(index);
        return Iterate(element);
    }
    bool IsMatch(__FCBase* element) override { return ValueOf(element) == stopAt_; }
    std::vector<int> visited;
    std::vector<int> indexes;

private:
    int stopAt_;
};

class CollectionTest : public ::testing::Test {
protected:
    Counted* Make(int value) { return new Counted(value, &destroyed); }
    void Fill(__FCCollection& c, const std::vector<int>& values) {
        for (int v : values) c.Add(v < 0 ? nullptr : Make(v));
    }
    int destroyed = 0;
};

}  // namespace

TEST_F(CollectionTest, IndexAccessGivesNothingOutsideTheElements) {
    __FCCollection c;
    EXPECT_EQ(c.GetItemAt(0), nullptr);
    EXPECT_EQ(c.GetLastItem(), nullptr);
    Fill(c, {5, 6, 7});
    EXPECT_EQ(c.GetItemAt(-1), nullptr);
    EXPECT_EQ(c.GetItemAt(3), nullptr);
    EXPECT_EQ(ValueOf(c.GetItemAt(0)), 5);
    EXPECT_EQ(ValueOf(c.GetLastItem()), 7);
    EXPECT_STREQ(c.ClassName(), "__FCCollection");
}

TEST_F(CollectionTest, CapacityGrowsInStepsThatDependOnTheCount) {
    // (elements after appending, capacity)
    const std::pair<int, int> expected[] = {{1, 10},    {10, 10},   {11, 20},   {100, 100},   {101, 110},
                                            {110, 110}, {111, 150}, {151, 200}, {1001, 1050}, {1101, 1200}};
    __FCCollection c;
    int count = 0;
    for (const auto& e : expected) {
        while (count < e.first) c.Add(Make(count++));
        EXPECT_EQ(c.GetCapacity(), e.second) << e.first << " elements";
    }
    EXPECT_EQ(ValueOf(c.GetItemAt(1100)), 1100);
}

TEST_F(CollectionTest, ThereIsNoGrowthWhileTheCapacitySuffices) {
    __FCCollection c;
    for (int i = 0; i < 101; ++i) c.Add(Make(i));
    ASSERT_EQ(c.GetCapacity(), 110);
    ASSERT_TRUE(c.ClearItemAt(100));
    c.Add(Make(100));  // the 101st element with capacity 110
    EXPECT_EQ(c.GetCapacity(), 110);

    c.ClearAll();  // keeps the array
    EXPECT_EQ(c.GetCount(), 0);
    EXPECT_EQ(c.GetCapacity(), 110);
    EXPECT_EQ(destroyed, 102);
    c.Add(Make(1));
    EXPECT_EQ(c.GetCapacity(), 110);
}

TEST_F(CollectionTest, AddUniqueRefusesAnObjectAlreadyHeld) {
    __FCCollection c;
    Counted* a = Make(1);
    EXPECT_TRUE(c.AddUnique(a));
    EXPECT_FALSE(c.AddUnique(a));
    EXPECT_EQ(c.GetCount(), 1);
    Counted* equalButOther = Make(1);
    EXPECT_TRUE(c.AddUnique(equalButOther));  // identity, not equality
    EXPECT_EQ(c.GetIndexOf(equalButOther), 1);
    EXPECT_TRUE(c.ContainsItem(a));
    Counted outside(9, &destroyed);
    EXPECT_EQ(c.GetIndexOf(&outside), -1);
    EXPECT_FALSE(c.ContainsItem(nullptr));
}

TEST_F(CollectionTest, InsertItemAtPlacesTheElementOrAppends) {
    const struct {
        std::vector<int> start;
        int at;
        std::vector<int> expected;
    } cases[] = {
        {{}, 0, {9}},
        {{}, 5, {9}},
        {{1, 2, 3}, 0, {9, 1, 2, 3}},
        {{1, 2, 3}, 1, {1, 9, 2, 3}},
        {{1, 2, 3}, 3, {1, 2, 3, 9}},
        {{1, 2, 3}, 7, {1, 2, 3, 9}},
        {{1, 2, 3}, -4, {9, 1, 2, 3}},
    };
    for (const auto& t : cases) {
        __FCCollection c;
        Fill(c, t.start);
        c.InsertItemAt(Make(9), t.at);
        EXPECT_EQ(Values(c), t.expected) << "at " << t.at;
    }
    // Inserting into a full array grows it.
    __FCCollection c;
    for (int i = 0; i < 10; ++i) c.Add(Make(i));
    c.InsertItemAt(Make(99), 0);
    EXPECT_EQ(c.GetCount(), 11);
    EXPECT_EQ(ValueOf(c.GetItemAt(0)), 99);
    EXPECT_EQ(ValueOf(c.GetItemAt(10)), 9);
}

TEST_F(CollectionTest, ClearItemAtDestroysButDetachItemAtHandsTheElementBack) {
    __FCCollection c;
    Fill(c, {1, 2, 3, 4});

    EXPECT_TRUE(c.ClearItemAt(1));
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(Values(c), (std::vector<int>{1, 3, 4}));

    __FCBase* detached = c.DetachItemAt(2);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(ValueOf(detached), 4);
    EXPECT_EQ(Values(c), (std::vector<int>{1, 3}));
    delete detached;
    EXPECT_EQ(destroyed, 2);

    for (int i : {-1, 2, 50}) {
        EXPECT_FALSE(c.ClearItemAt(i)) << i;
        EXPECT_EQ(c.DetachItemAt(i), nullptr) << i;
    }
    EXPECT_EQ(Values(c), (std::vector<int>{1, 3}));
    EXPECT_EQ(destroyed, 2);

    __FCCollection empty;
    EXPECT_FALSE(empty.ClearItemAt(0));
    EXPECT_EQ(empty.DetachItemAt(0), nullptr);
}

TEST_F(CollectionTest, DestroyingACollectionDestroysEachElementOnce) {
    {
        __FCCollection c;
        Fill(c, {1, -1, 2, 3});
    }
    EXPECT_EQ(destroyed, 3);
}

TEST_F(CollectionTest, SortExchangesInAFixedOrderAndReportsWhetherAnythingMoved) {
    __FCCollection c;
    Fill(c, {3, 1, 2});
    Ascending ascending;
    EXPECT_TRUE(c.Sort(&ascending));
    EXPECT_EQ(Values(c), (std::vector<int>{1, 2, 3}));
    // Pairs (i, j) with j > i, compared as they stand after earlier exchanges.
    EXPECT_EQ(ascending.calls, (std::vector<std::pair<int, int>>{{3, 1}, {1, 2}, {3, 2}}));

    Ascending again;
    EXPECT_FALSE(c.Sort(&again));  // already in order

    FCIteratorHandler allEqual;  // Compare gives 0
    __FCCollection d;
    Fill(d, {4, 2, 9});
    EXPECT_FALSE(d.Sort(&allEqual));
    EXPECT_EQ(Values(d), (std::vector<int>{4, 2, 9}));

    // Absent elements are never compared and stay where they are.
    __FCCollection gaps;
    Fill(gaps, {5, -1, 4, 3});
    Ascending withGaps;
    EXPECT_TRUE(gaps.Sort(&withGaps));
    EXPECT_EQ(Values(gaps), (std::vector<int>{3, -1, 4, 5}));
    for (const auto& call : withGaps.calls) {
        EXPECT_NE(call.first, -1);
        EXPECT_NE(call.second, -1);
    }

    EXPECT_FALSE(c.Sort(nullptr));
    __FCCollection single;
    Fill(single, {1});
    Ascending none;
    EXPECT_FALSE(single.Sort(&none));
    EXPECT_TRUE(none.calls.empty());
}

TEST_F(CollectionTest, ForEachCountsTheVisitsThatReturnedTrueAndStopsAtTheFirstFalse) {
    __FCCollection c;
    Fill(c, {1, -1, 2, 3});
    const struct {
        int stopAt;
        int result;
        std::vector<int> visited;
    } cases[] = {{1, 0, {1}}, {2, 1, {1, 2}}, {99, 3, {1, 2, 3}}};
    for (const auto& t : cases) {
        VisitUntil visit(t.stopAt);
        EXPECT_EQ(c.ForEach(&visit), t.result) << t.stopAt;
        EXPECT_EQ(visit.visited, t.visited) << t.stopAt;

        VisitUntil indexed(t.stopAt);
        EXPECT_EQ(c.ForEachIndex(&indexed), t.result) << t.stopAt;
        EXPECT_EQ(indexed.visited, t.visited) << t.stopAt;
    }
    VisitUntil all(99);
    c.ForEachIndex(&all);
    EXPECT_EQ(all.indexes, (std::vector<int>{0, 2, 3}));  // the absent element's index is skipped

    EXPECT_EQ(c.ForEach(nullptr), 0);
    EXPECT_EQ(c.ForEachIndex(nullptr), 0);
}

TEST_F(CollectionTest, FindFirstReturnsTheFirstMatchingPresentElement) {
    __FCCollection c;
    Fill(c, {-1, 4, 2, 4});
    VisitUntil four(4);
    EXPECT_EQ(c.FindFirst(&four), c.GetItemAt(1));
    VisitUntil seven(7);
    EXPECT_EQ(c.FindFirst(&seven), nullptr);
    VisitUntil absent(-1);  // would match an absent element if one were offered
    EXPECT_EQ(c.FindFirst(&absent), nullptr);
    EXPECT_EQ(c.FindFirst(nullptr), nullptr);
}

TEST_F(CollectionTest, MoveFromTakesEveryElementAndEmptiesTheOther) {
    __FCCollection target, source;
    Fill(target, {1});
    Fill(source, {2, 3, 4});
    EXPECT_EQ(target.MoveFrom(&source, false), 3);
    EXPECT_EQ(Values(target), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(source.GetCount(), 0);
    EXPECT_EQ(destroyed, 0);

    // With unique, an object already taken is not added twice (absent slots are one object here).
    __FCCollection gaps;
    Fill(gaps, {-1, 5, -1});
    EXPECT_EQ(target.MoveFrom(&gaps, true), 2);
    EXPECT_EQ(Values(target), (std::vector<int>{1, 2, 3, 4, -1, 5}));
    EXPECT_EQ(gaps.GetCount(), 0);

    EXPECT_EQ(target.MoveFrom(&target, false), 0);
    EXPECT_EQ(target.MoveFrom(nullptr, false), 0);
    EXPECT_EQ(target.GetCount(), 6);
}

TEST_F(CollectionTest, InsertItemsAtPlacesARunInOrderOrAppendsIt) {
    const struct {
        std::vector<int> start;
        int at;
        std::vector<int> expected;
    } cases[] = {
        {{}, 0, {7, 8, 9}},
        {{1, 2, 3}, 0, {7, 8, 9, 1, 2, 3}},
        {{1, 2, 3}, 2, {1, 2, 7, 8, 9, 3}},
        {{1, 2, 3}, 3, {1, 2, 3, 7, 8, 9}},
        {{1, 2, 3}, 9, {1, 2, 3, 7, 8, 9}},
        {{1, 2, 3}, -1, {7, 8, 9, 1, 2, 3}},
    };
    for (const auto& t : cases) {
        __FCCollection c;
        Fill(c, t.start);
        __FCBase* run[] = {Make(7), Make(8), Make(9)};
        c.InsertItemsAt(run, 3, t.at);
        EXPECT_EQ(Values(c), t.expected) << "at " << t.at;
    }
    // Growth follows the same steps as for single elements; nothing happens for an empty run.
    __FCCollection c;
    Fill(c, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    __FCBase* run[] = {Make(10), Make(11)};
    c.InsertItemsAt(run, 2, 4);
    EXPECT_EQ(c.GetCount(), 11);
    EXPECT_EQ(c.GetCapacity(), 20);
    EXPECT_EQ(Values(c), (std::vector<int>{0, 1, 2, 3, 10, 11, 4, 5, 6, 7, 8}));
    c.InsertItemsAt(run, 0, 0);
    c.InsertItemsAt(nullptr, 2, 0);
    EXPECT_EQ(c.GetCount(), 11);
}

TEST_F(CollectionTest, MixedEditsAtMovingPlacesKeepOrderCapacityAndOwnership) {
    // Insertions and removals walking forwards and back through the list, interleaved with every
    // other kind of access, checked against a plain model after each step.
    __FCCollection c;
    std::vector<int> model;
    int next = 0;
    for (int step = 0; step < 600; ++step) {
        const int size = int(model.size());
        const int at = size == 0 ? 0 : (step * 37) % (size + 1);
        switch (step % 7) {
            case 0:
            case 1: {
                __FCBase* run[] = {Make(next), Make(next + 1), Make(next + 2)};
                c.InsertItemsAt(run, 3, at);
                model.insert(model.begin() + at, {next, next + 1, next + 2});
                next += 3;
                break;
            }
            case 2:
                c.InsertItemAt(Make(next), at);
                model.insert(model.begin() + std::min(at, size), next++);
                break;
            case 3:
                if (size > 0) {
                    ASSERT_TRUE(c.ClearItemAt(at % size));
                    model.erase(model.begin() + at % size);
                }
                break;
            case 4:
                c.Add(Make(next));
                model.push_back(next++);
                break;
            case 5:
                if (size > 1) {
                    ASSERT_TRUE(c.Swap(0, size - 1));
                    std::swap(model.front(), model.back());
                }
                break;
            default:
                if (size > 0) {
                    EXPECT_EQ(c.GetIndexOf(c.GetItemAt(at % size)), at % size);
                }
                break;
        }
        ASSERT_EQ(Values(c), model) << "step " << step;
        ASSERT_GE(c.GetCapacity(), c.GetCount());
    }
    VisitUntil all(-2);
    EXPECT_EQ(c.ForEachIndex(&all), int(model.size()));
    EXPECT_EQ(all.visited, model);
    Ascending ascending;
    c.Sort(&ascending);
    std::sort(model.begin(), model.end());
    EXPECT_EQ(Values(c), model);
    c.ClearAll();
    EXPECT_EQ(destroyed, next);  // the removed elements and the rest
}
