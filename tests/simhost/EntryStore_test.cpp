// The entry store's lookups by entry number follow every change of its frames: replacing,
// emptying and erasing frames, copies and moves.
#include "simhost/EntryStore.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

simhost::EntryStore::Entries Numbered(std::initializer_list<int32_t> numbers) {
    simhost::EntryStore::Entries entries;
    for (int32_t number : numbers) {
        simhost::StoredEntry entry;
        entry.number = number;
        entry.duration = 1024;
        entries.push_back(entry);
    }
    return entries;
}

// Where the store says the number lies, as "staff/measure/layer#index", or "-".
std::string Where(const simhost::EntryStore& store, int32_t number) {
    simhost::FrameKey key;
    int index = -1;
    if (!store.Locate(number, &key, &index)) return "-";
    return std::to_string(key.staff) + "/" + std::to_string(key.measure) + "/" + std::to_string(key.layer) + "#" +
           std::to_string(index);
}

}  // namespace

TEST(EntryStore, NumbersAreFoundWhereverTheFramesPutThem) {
    simhost::EntryStore store;
    const simhost::FrameKey a{1, 1, 0}, b{1, 2, 0}, c{2, 1, 1};
    store.Set(a, Numbered({1, 2, 3}));
    store.Set(b, Numbered({4, 5}));
    store.Set(c, Numbered({9}));
    EXPECT_EQ("1/1/0#2", Where(store, 3));
    EXPECT_EQ("2/1/1#0", Where(store, 9));
    EXPECT_EQ(9, store.HighestNumber());

    // A frame rewritten with some of its numbers moved elsewhere and one new.
    store.Set(a, Numbered({3, 1, 7}));
    store.Set(b, Numbered({4, 5, 2}));
    EXPECT_EQ("1/1/0#0", Where(store, 3));
    EXPECT_EQ("1/2/0#2", Where(store, 2));
    EXPECT_EQ("1/1/0#2", Where(store, 7));

    // Emptied frames and erased staves take their numbers with them.
    store.Set(c, Numbered({}));
    EXPECT_EQ("-", Where(store, 9));
    EXPECT_EQ(7, store.HighestNumber());
    simhost::EntryStore copy = store;
    store.EraseStaff(1);
    EXPECT_EQ("-", Where(store, 3));
    EXPECT_EQ(0, store.HighestNumber());
    EXPECT_EQ("1/2/0#1", Where(copy, 5)) << "a copy keeps its own lookups";

    simhost::EntryStore moved = std::move(copy);
    EXPECT_EQ("1/1/0#1", Where(moved, 1));
    EXPECT_EQ(7, moved.HighestNumber());
}
