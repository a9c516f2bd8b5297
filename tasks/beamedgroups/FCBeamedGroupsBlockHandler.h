// The handler of the Beamed Groups tasks (Reorder Notes, Merge to Chord, Articulations, Slurs,
// Chord Symbols): their option panels, and the work on the beamed groups of the selection.
// Short-lived like every task handler; owns nothing.
#pragma once

#include "plugin/FCPatternTaskBlockHandler.h"

class FCBeamedGroupsBlockHandler : public FCPatternTaskBlockHandler {
public:
    enum { kReorderNotes = 1001, kMergeToChord = 1002, kArticulations = 1003, kSlurs = 1004, kChordSymbols = 1005 };

    FCBeamedGroupsBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
        : FCPatternTaskBlockHandler(taskID, ui, window) {}
    FC_CLASS_INFO(FCBeamedGroupsBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void UpdateTaskControls() override;
    void StoreTaskSettings() override;

protected:
    // Popup tables the Performance Notation tasks show as well.
    static const TaskPopupItem kArticulationTypes[4];
    static const TaskPopupItem kSlurShapes[2];
};
