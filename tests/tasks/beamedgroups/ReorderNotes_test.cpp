// Reorder Notes on one group, called directly: Randomize permutes the group's chords whatever the
// seed, and groups the task cannot handle are left as they are.
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "simhost/ScoreText.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

// The group's chords as text, in entry order; rests as "r".
std::vector<std::string> ChordsOf(const FCNoteEntryCell& cell) {
    std::vector<std::string> chords;
    for (int i = 0; i < cell.GetCount(); ++i) {
        const FCNoteEntry* entry = cell.GetItemAt(i);
        std::string chord = entry->IsRest() ? "r" : "";
        for (int n = 0; n < entry->GetNoteCount(); ++n)
            chord += std::to_string(entry->GetNoteAt(n)->GetDisplacement()) + "/" +
                     std::to_string(entry->GetNoteAt(n)->GetRaiseLower()) + " ";
        chords.push_back(chord);
    }
    return chords;
}

std::vector<std::string> Sorted(std::vector<std::string> chords) {
    std::sort(chords.begin(), chords.end());
    return chords;
}

}  // namespace

TEST(ReorderGroup, RandomizeUsesEveryChordOnceWhateverTheSeed) {
    ASSERT_TRUE(
        simhost::ReadScoreText("qzs 1\nprefs beams-over-rests\nstaff 1\nmeasure 1\n"
                               "s1: 8 [<C4 E4> D4 r <F4 A4> G#4 Bb4 <C5 E5 G5> C4\n"));
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    FCNoteEntry* start = cell.GetItemAt(0);
    ASSERT_EQ(start, start->FindBeamGroupStart());
    const std::vector<std::string> original = ChordsOf(cell);

    std::set<std::vector<std::string>> orders;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::srand(seed);
        ASSERT_TRUE(
            FCBeamedGroupsBlockHandler::ReorderGroup(start, nullptr, FCBeamedGroupsBlockHandler::kReorderRandomize));
        const std::vector<std::string> now = ChordsOf(cell);
        ASSERT_EQ(Sorted(original), Sorted(now)) << "seed " << seed;
        ASSERT_EQ("r", now[2]) << "the rest stays where it was";
        orders.insert(now);
    }
    // The order does change from seed to seed.
    EXPECT_GT(orders.size(), 50u);
}

TEST(ReorderGroup, GroupsItCannotHandleAreLeftAlone) {
    ASSERT_TRUE(
        simhost::ReadScoreText("qzs 1\nprefs beams-over-rests\nstaff 1\nmeasure 1\n"
                               "s1: 8 [E4 C4 D4 F4 [G4 r 4 r\n"));
    FCNoteEntryCell cell(1, 1);
    ASSERT_TRUE(cell.Load());
    const std::vector<std::string> original = ChordsOf(cell);
    struct Row {
        const char* what;
        int entry;
        int style;
    };
    const Row rows[] = {
        {"a style the settings never hold", 0, FCBeamedGroupsBlockHandler::kReorderStyleCount},
        {"a negative style", 0, -1},
        {"one note entry and a rest", 4, FCBeamedGroupsBlockHandler::kReorderDescending},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_FALSE(FCBeamedGroupsBlockHandler::ReorderGroup(cell.GetItemAt(row.entry), nullptr, row.style));
        EXPECT_EQ(original, ChordsOf(cell));
    }
    EXPECT_FALSE(FCBeamedGroupsBlockHandler::ReorderGroup(nullptr, nullptr, 0));
}
