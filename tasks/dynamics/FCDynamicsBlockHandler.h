// The handler of the Dynamics tasks (Carbon Copy, Hairpins, Hairpin Swells): their option panels,
// the checks that ask the user before an Apply, and the work on the dynamics of the selection.
// Short-lived like every task handler; owns nothing.
#pragma once

#include "plugin/FCPatternTaskBlockHandler.h"

class FCDynamicsBlockHandler : public FCPatternTaskBlockHandler {
public:
    enum { kCarbonCopy = 1201, kHairpins = 1202, kHairpinSwells = 1203 };
    // The vertical position that takes the custom distance from the baseline.
    static constexpr int kCustomVerticalPosition = 6;
    // Hairpins over more measures than this need the user's consent.
    static constexpr int kWideRegionMeasures = 9;

    FCDynamicsBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
        : FCPatternTaskBlockHandler(taskID, ui, window) {}
    FC_CLASS_INFO(FCDynamicsBlockHandler)

    bool Execute() override;
    void AddTaskControls(FCTaskControlInfos* infos) override;
    void InitTaskControls() override;
    void UpdateTaskControls() override;
    void StoreTaskSettings() override;
    bool CanExecute() override;

private:
    bool CanCopyDynamics();
    bool CanCreateHairpins();
};
