#include "plugin/TaskCatalogue.h"

#include <gtest/gtest.h>

#include <string>

using namespace taskcatalogue;

TEST(TaskCatalogue, HoldsTheFifteenTasksInTreeOrderWithTheirCategoriesAndNames) {
    struct Row {
        int id;
        int category;
        const char* name;
    };
    const Row expected[] = {
        {1001, 1, "Reorder Notes"},
        {1002, 1, "Merge to Chord"},
        {1003, 1, "Articulations"},
        {1004, 1, "Slurs"},
        {1005, 1, "Chord Symbols"},
        {1101, 2, "Break"},
        {1201, 3, "Carbon Copy"},
        {1202, 3, "Hairpins"},
        {1203, 3, "Hairpin Swells"},
        {1301, 5, "Articulations"},
        {1303, 5, "Slurs"},
        {1402, 4, "Two-state Pattern"},
        {1403, 4, "Numbered Measures"},
        {1404, 4, "Numbered Steps"},
        {1405, 4, "Delete Numbers"},
    };
    ASSERT_EQ(int(sizeof expected / sizeof expected[0]), kTaskCount);
    for (int i = 0; i < kTaskCount; ++i) {
        SCOPED_TRACE(i);
        const TaskCatalogueRow* row = GetTaskAt(i);
        ASSERT_NE(nullptr, row);
        EXPECT_EQ(expected[i].id, row->taskID);
        EXPECT_EQ(expected[i].category, row->category);
        EXPECT_STREQ(expected[i].name, row->name);
        EXPECT_EQ(i, GetTaskIndex(row->taskID));
        EXPECT_EQ(row->taskID, GetTaskID(i));
        EXPECT_EQ(row->category, GetTaskCategory(row->taskID));
        EXPECT_STREQ(row->name, GetTaskName(row->taskID));
        EXPECT_TRUE(row->description && *row->description);
    }
    EXPECT_STREQ("Breaks a chord into a single-note sequence that spans the duration of the chord.",
                 GetTaskDescription(1101));
    EXPECT_STREQ(
        "Expands a reoccuring sequence that has only two states (an 'ON' and 'OFF' state). Exactly 2 notes/rests must "
        "be available at the start of the region.",
        GetTaskDescription(1402));
}

TEST(TaskCatalogue, LookUpsOfUnknownTasksAndIndicesAnswerNothing) {
    for (int id : {0, 1, 5, 1000, 1006, 1302, 1401, 1406, -1001}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(-1, GetTaskIndex(id));
        EXPECT_EQ(0, GetTaskCategory(id));
        EXPECT_EQ(nullptr, GetTaskName(id));
        EXPECT_EQ(nullptr, GetTaskDescription(id));
    }
    for (int index : {-1, kTaskCount, 1000}) {
        EXPECT_EQ(0, GetTaskID(index));
        EXPECT_EQ(nullptr, GetTaskAt(index));
    }
}

TEST(TaskCatalogue, ShowsPerformanceNotationBeforeSequences) {
    const int numbers[] = {1, 2, 3, 5, 4};
    const char* names[] = {"Beamed Groups", "Chords", "Dynamics", "Performance Notation", "Sequences"};
    for (int i = 0; i < kCategoryCount; ++i) {
        ASSERT_NE(nullptr, GetCategoryAt(i));
        EXPECT_EQ(numbers[i], GetCategoryAt(i)->category);
        EXPECT_STREQ(names[i], GetCategoryAt(i)->name);
        EXPECT_EQ(GetCategoryAt(i), FindCategory(numbers[i]));
    }
    EXPECT_EQ(nullptr, GetCategoryAt(kCategoryCount));
    EXPECT_STREQ("Tasks related to repeated notation patterns.", GetCategoryDescription(5));
    EXPECT_STREQ("Tasks related to sequential patterns.", GetCategoryDescription(4));
    EXPECT_EQ(nullptr, GetCategoryDescription(0));
    EXPECT_EQ(nullptr, GetCategoryDescription(6));
}
