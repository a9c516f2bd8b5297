#include "tasks/chords/FCChordsBlockHandler.h"

#include "plugin/PatternSettings.h"

namespace {

const TaskPopupItem kBreakStyles[] = {
    {0, "Ascending"},
    {1, "Descending"},
    {2, "Staircase - Ascending"},
    {3, "Staircase - Descending"},
    {4, "Wave - Ascending"},
    {5, "Wave - Descending"},
    {6, "Base+Descending"},
    {7, "Top+Descending"},
    {8, "Alberti Bass"},
    {9, "Alberti Bass (6-note)"},
};
static_assert(sizeof kBreakStyles / sizeof kBreakStyles[0] == FCChordsBlockHandler::kStyleCount,
              "one popup row per style");

}  // namespace

bool FCChordsBlockHandler::Execute() {
    if (GetTaskID() != kBreak) return false;
    return ExecuteBreak();
}

void FCChordsBlockHandler::AddTaskControls(FCTaskControlInfos* infos) {
    if (GetTaskID() != kBreak) return;
    AddRow(infos, GetStatic1(), 0, 50, 10);
    AddRow(infos, GetPopup1(), 0, 50, kBelow);
}

void FCChordsBlockHandler::InitTaskControls() {
    if (GetTaskID() != kBreak) return;
    SetLabel(GetStatic1(), "Style:");
    FillPopup(GetPopup1(), kBreakStyles, ThePatternSettings().QZPT_CHORDS_BREAK_STYLE);
}

void FCChordsBlockHandler::StoreTaskSettings() {
    if (GetTaskID() != kBreak) return;
    ThePatternSettings().QZPT_CHORDS_BREAK_STYLE = GetPopupKey(GetPopup1(), kBreakStyles);
}
