// Makes the category handler of a task: the one place that knows every category's handler class,
// so that the task window needs none of them.
#pragma once

class FCPatternTaskBlockHandler;
class FCUI;
class PatternTaskWindow;

namespace taskhandlers {

// A new handler of the task's category, made with the FCUI and the window; null for a task id
// the catalogue does not have. The caller deletes it.
FCPatternTaskBlockHandler* CreateCategoryHandler(int taskID, FCUI* ui, PatternTaskWindow* window);

}  // namespace taskhandlers
