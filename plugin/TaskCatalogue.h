// The catalogue of the plug-in's fifteen tasks (id, category, name, description) in the order the
// task tree shows them and the window registers their panels, and the five categories in tree
// order. Constant tables; nothing here is owned or changed at run time.
#pragma once

// One task of the catalogue.
struct TaskCatalogueRow {
    int taskID;
    int category;
    const char* name;
    const char* description;
};

// One category of the task tree.
struct TaskCategoryRow {
    int category;
    const char* name;
    const char* description;
};

namespace taskcatalogue {

// Category numbers.
enum { kBeamedGroups = 1, kChords = 2, kDynamics = 3, kSequences = 4, kPerformanceNotation = 5 };

constexpr int kTaskCount = 15;
constexpr int kCategoryCount = 5;

// The row at a catalogue index, or null outside 0..kTaskCount - 1.
const TaskCatalogueRow* GetTaskAt(int index);
// The catalogue index of a task id, -1 when the catalogue has no such task.
int GetTaskIndex(int taskID);
// The category number of a task id, 0 when the catalogue has no such task.
int GetTaskCategory(int taskID);
// The task id at a catalogue index, 0 outside the catalogue.
int GetTaskID(int index);
// The task's name (also its edit name) and description; null for an unknown task id.
const char* GetTaskName(int taskID);
const char* GetTaskDescription(int taskID);

// The category at a tree position (0-based), or null outside 0..kCategoryCount - 1.
const TaskCategoryRow* GetCategoryAt(int treePosition);
// The row of a category number, or null.
const TaskCategoryRow* FindCategory(int category);
// The description shown for a category node; null for an unknown category number.
const char* GetCategoryDescription(int category);

}  // namespace taskcatalogue
