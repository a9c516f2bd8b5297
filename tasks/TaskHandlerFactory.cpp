#include "tasks/TaskHandlerFactory.h"

#include "plugin/TaskCatalogue.h"
#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"
#include "tasks/chords/FCChordsBlockHandler.h"
#include "tasks/dynamics/FCDynamicsBlockHandler.h"
#include "tasks/performance/FCPerformanceNotationBlockHandler.h"
#include "tasks/sequences/FCSequencesBlockHandler.h"

namespace taskhandlers {

FCPatternTaskBlockHandler* CreateCategoryHandler(int taskID, FCUI* ui, PatternTaskWindow* window) {
    switch (taskcatalogue::GetTaskCategory(taskID)) {
        case taskcatalogue::kBeamedGroups:
            return new FCBeamedGroupsBlockHandler(taskID, ui, window);
        case taskcatalogue::kChords:
            return new FCChordsBlockHandler(taskID, ui, window);
        case taskcatalogue::kDynamics:
            return new FCDynamicsBlockHandler(taskID, ui, window);
        case taskcatalogue::kSequences:
            return new FCSequencesBlockHandler(taskID, ui, window);
        case taskcatalogue::kPerformanceNotation:
            return new FCPerformanceNotationBlockHandler(taskID, ui, window);
        default:
            return nullptr;
    }
}

}  // namespace taskhandlers
