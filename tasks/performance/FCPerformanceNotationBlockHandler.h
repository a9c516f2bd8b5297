// The handler of the Performance Notation tasks (Articulations and Slurs placed by beat, duration
// and phrase rules): their option panels and their work along whole layers. Shares the
// articulation and slur pieces of the Beamed Groups handler. Short-lived like every task
// handler; owns nothing.
#pragma once

#include "tasks/beamedgroups/FCBeamedGroupsBlockHandler.h"

class FCPerformanceNotationBlockHandler : public FCBeamedGroupsBlockHandler {
public:
    enum { kArticulations = 1301, kSlurs = 1303 };

    FCPerformanceNotationBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
        : FCBeamedGroupsBlockHandler(taskID, ui, window) {}
    FC_CLASS_INFO(FCPerformanceNotationBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void UpdateTaskControls() override;
    void StoreTaskSettings() override;
};
