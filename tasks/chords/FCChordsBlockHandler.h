// The handler of the Chords task Break: its option panel, and the work that turns each chord of
// the selection into a single-note figure. Short-lived like every task handler; owns nothing.
#pragma once

#include "plugin/FCPatternTaskBlockHandler.h"

class FCChordsBlockHandler : public FCPatternTaskBlockHandler {
public:
    enum { kBreak = 1101 };

    FCChordsBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
        : FCPatternTaskBlockHandler(taskID, ui, window) {}
    FC_CLASS_INFO(FCChordsBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void StoreTaskSettings() override;
};
