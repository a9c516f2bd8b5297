#include "framework/entries/FCNotePitchSorter.h"
#include "framework/entries/FCNotePitches.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

namespace {

FCNotePitch* Pitch(int displacement, int raiseLower) {
    FCNotePitch* pitch = new FCNotePitch;
    pitch->SetDisplacement(displacement);
    pitch->SetRaiseLower(raiseLower);
    return pitch;
}

// One FCNotePitches per chord; each chord's first note is (displacement, raise/lower), the user
// value tells the chords apart.
void Fill(FCNotePitchesCollection& chords, const std::vector<std::pair<int, int>>& firsts) {
    for (size_t i = 0; i < firsts.size(); ++i) {
        FCNotePitches* chord = new FCNotePitches;
        chord->Add(Pitch(firsts[i].first, firsts[i].second));
        chord->Add(Pitch(-20, 0));  // lower notes later in the chord do not count
        chord->SetUserData(uint32_t(i));
        chords.Add(chord);
    }
}

std::vector<uint32_t> Order(const FCNotePitchesCollection& chords) {
    std::vector<uint32_t> order;
    for (int i = 0; i < chords.GetCount(); ++i) order.push_back(chords.GetItemAt(i)->GetUserData());
    return order;
}

}  // namespace

TEST(NotePitchSorter, SortsChordsByTheirFirstNotesLowestFirst) {
    FCNotePitchesCollection chords;
    Fill(chords, {{4, 0}, {0, 1}, {-3, 0}, {0, 0}, {7, -1}});
    FCNotePitchSorter sorter(false);
    chords.Sort(&sorter);
    EXPECT_EQ(Order(chords), (std::vector<uint32_t>{2, 3, 1, 0, 4}));

    // A list without notes has no order against the others.
    FCNotePitches empty, one;
    one.Add(Pitch(0, 0));
    EXPECT_EQ(sorter.Compare(&empty, &one), 0);
    EXPECT_EQ(sorter.Compare(&one, &one), 0);
}

TEST(NotePitchSorter, RandomComparisonsShuffleWithoutLosingChords) {
    bool changed = false;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::srand(seed);
        FCNotePitchesCollection chords;
        Fill(chords, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}});
        FCNotePitchSorter random(true);
        for (int i = 0; i < 10; ++i) {
            const int result = random.Compare(chords.GetItemAt(0), chords.GetItemAt(1));
            EXPECT_TRUE(result >= -1 && result <= 1);
        }
        chords.Sort(&random);
        const std::vector<uint32_t> order = Order(chords);
        EXPECT_EQ(std::set<uint32_t>(order.begin(), order.end()).size(), 6u);
        if (order != std::vector<uint32_t>{0, 1, 2, 3, 4, 5}) changed = true;
    }
    EXPECT_TRUE(changed);
}

TEST(PitchSortIteratorHandler, SortsNotesLowestFirst) {
    FCNotePitches notes;
    const int pitches[][2] = {{2, 0}, {2, -1}, {-1, 1}, {5, 0}, {2, 0}};
    for (const auto& p : pitches) notes.Add(Pitch(p[0], p[1]));
    FCPitchSortIteratorHandler handler;
    notes.Sort(&handler);
    const int sorted[][2] = {{-1, 1}, {2, -1}, {2, 0}, {2, 0}, {5, 0}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(notes.GetItemAt(i)->GetDisplacement(), sorted[i][0]) << i;
        EXPECT_EQ(notes.GetItemAt(i)->GetRaiseLower(), sorted[i][1]) << i;
    }
    EXPECT_EQ(handler.Compare(notes.GetItemAt(2), notes.GetItemAt(3)), 0);
    EXPECT_EQ(handler.Compare(notes.GetItemAt(4), notes.GetItemAt(0)), 1);
}
