#include "plugin/TaskCatalogue.h"

namespace taskcatalogue {
namespace {

const TaskCatalogueRow kTasks[kTaskCount] = {
    {1001, kBeamedGroups, "Reorder Notes",
     "Changes the order of the notes entries within each beamed group. Rests inside a beamed group are unaffected."},
    {1002, kBeamedGroups, "Merge to Chord",
     "Replaces a beamed group with a chord. The resulting chord will have the duration of the full beamed group."},
    {1003, kBeamedGroups, "Articulations",
     "Creates standard articulation patterns for the beamed groups. Only staccato, tenuto and accents are "
     "affected."},
    {1004, kBeamedGroups, "Slurs",
     "Creates slurs at specific positions on beamed groups. Old slurs in the beamed group are replaced."},
    {1005, kBeamedGroups, "Chord Symbols",
     "Creates chord symbols above the start of each beamed group, based on the beamed group's tonal material."},
    {1101, kChords, "Break", "Breaks a chord into a single-note sequence that spans the duration of the chord."},
    {1201, kDynamics, "Carbon Copy",
     "Copies all dynamics in the region from a source staff to all other selected staves."},
    {1202, kDynamics, "Hairpins",
     "Creates hairpin marking (or hairpin pair) for the width of the selected region. Old hairpins in the region "
     "are removed."},
    {1203, kDynamics, "Hairpin Swells",
     "Creates cresc+dim hairpin markings ('messa di voce' markings) on long single notes. Tied notes counts as one "
     "note."},
    {1301, kPerformanceNotation, "Articulations",
     "Creates or recreates standard articulations according to a specific pattern. Only staccato, tenuto and "
     "accents are affected."},
    {1303, kPerformanceNotation, "Slurs",
     "Creates slurs according to a specific pattern. Slurs break at rests. Tied entries count as one. Grace note "
     "slurs are treated independently."},
    {1402, kSequences, "Two-state Pattern",
     "Expands a reoccuring sequence that has only two states (an 'ON' and 'OFF' state). Exactly 2 notes/rests "
     "must be available at the start of the region."},
    {1403, kSequences, "Numbered Measures",
     "Creates a numbered sequence, one expression per measure, for example for a repeated music pattern. "
     "Category's font and position info is used."},
    {1404, kSequences, "Numbered Steps",
     "Creates a numbered sequence, based on other counting methods than single measures."},
    {1405, kSequences, "Delete Numbers",
     "Removes the number expressions that has been added to the region by this plug-in. All other expressions "
     "are unaffected."},
};

// Tree order: Performance Notation (5) comes before Sequences (4).
const TaskCategoryRow kCategories[kCategoryCount] = {
    {kBeamedGroups, "Beamed Groups", "Tasks related to the pattern within a beamed group."},
    {kChords, "Chords", "Tasks to transform note chords into patterns."},
    {kDynamics, "Dynamics", "Tasks related to dynamics patterns."},
    {kPerformanceNotation, "Performance Notation", "Tasks related to repeated notation patterns."},
    {kSequences, "Sequences", "Tasks related to sequential patterns."},
};

}  // namespace

const TaskCatalogueRow* GetTaskAt(int index) { return index >= 0 && index < kTaskCount ? &kTasks[index] : nullptr; }

int GetTaskIndex(int taskID) {
    for (int i = 0; i < kTaskCount; ++i)
        if (kTasks[i].taskID == taskID) return i;
    return -1;
}

int GetTaskCategory(int taskID) {
    const TaskCatalogueRow* row = GetTaskAt(GetTaskIndex(taskID));
    return row ? row->category : 0;
}

int GetTaskID(int index) {
    const TaskCatalogueRow* row = GetTaskAt(index);
    return row ? row->taskID : 0;
}

const char* GetTaskName(int taskID) {
    const TaskCatalogueRow* row = GetTaskAt(GetTaskIndex(taskID));
    return row ? row->name : nullptr;
}

const char* GetTaskDescription(int taskID) {
    const TaskCatalogueRow* row = GetTaskAt(GetTaskIndex(taskID));
    return row ? row->description : nullptr;
}

const TaskCategoryRow* GetCategoryAt(int treePosition) {
    return treePosition >= 0 && treePosition < kCategoryCount ? &kCategories[treePosition] : nullptr;
}

const TaskCategoryRow* FindCategory(int category) {
    for (const TaskCategoryRow& row : kCategories)
        if (row.category == category) return &row;
    return nullptr;
}

const char* GetCategoryDescription(int category) {
    const TaskCategoryRow* row = FindCategory(category);
    return row ? row->description : nullptr;
}

}  // namespace taskcatalogue
