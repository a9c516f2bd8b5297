#include "tasks/performance/FCPerformanceNotationBlockHandler.h"

#include "plugin/PatternSettings.h"

namespace {

const TaskPopupItem kArticulationPlacements[] = {
    {0, "All Notes"},
    {1, "First __ note(s) of beat"},
    {2, "Last __ note(s) of beat"},
    {3, "First note of beat __"},
    {4, "Slurred Notes"},
    {5, "Non-Slurred Notes"},
    {6, "Slur Start"},
    {7, "Slur End"},
    {8, "Notes of duration __"},
    {9, "Durations shorter than __"},
    {10, "Durations longer than __"},
    {11, "Solitary Note"},
};

const TaskPopupItem kSlurStyles[] = {
    {0, "Full Phrase (Until Rest)"},
    {1, "By beat"},
    {2, "Group by __ measure(s)"},
    {3, "Group by __ beat(s)"},
    {4, "Group by __ notes"},
    {5, "Group first __ beat(s) in measure"},
    {6, "Group last __ beat(s) in measure"},
    {7, "Consecutive durations of __"},
    {8, "Durations shorter than __"},
    {9, "Durations longer than __"},
    {10, "Grace note(s) to full"},
};

const TaskPopupItem kDurations[] = {
    {0, "32nd"},       {1, "Dotted 32nd"}, {2, "16th"},           {3, "Dotted 16th"}, {4, "8th"},
    {5, "Dotted 8th"}, {6, "Quarter"},     {7, "Dotted Quarter"}, {8, "Half"},        {9, "Dotted Half"},
};

bool InRange(int key, int first, int last) { return key >= first && key <= last; }

// Grace notes slurred to their main note: the break and keep options have no part in it.
constexpr int kGraceSlurStyle = 10;

}  // namespace

bool FCPerformanceNotationBlockHandler::Execute() {
    // The work of each Performance Notation task comes with that task; until then Apply changes
    // nothing.
    return false;
}

void FCPerformanceNotationBlockHandler::AddTaskControls(FCTaskControlInfos* infos) {
    switch (GetTaskID()) {
        case kArticulations:
            AddRow(infos, GetStatic2(), 0, 60, 5);
            AddRow(infos, GetPopup3(), 0, 60, kBelow);
            AddRow(infos, GetEdit1(), 65, 15, kBeside);
            AddRow(infos, GetPopup2(), 65, 35, kBeside);
            AddRow(infos, GetStatic1(), 0, 40, 25);
            AddRow(infos, GetPopup1(), 0, 40, kBelow);
            AddRow(infos, GetCheck1(), 0, 60, 50);
            AddRow(infos, GetCheck2(), 10, 60, 60);
            AddRow(infos, GetCheck3(), 0, 60, 70);
            break;
        case kSlurs:
            AddRow(infos, GetStatic1(), 0, 60, 10);
            AddRow(infos, GetPopup1(), 0, 60, kBelow);
            AddRow(infos, GetEdit1(), 65, 15, kBeside);
            AddRow(infos, GetPopup2(), 65, 35, kBeside);
            AddRow(infos, GetStatic2(), 0, 40, 30);
            AddRow(infos, GetPopup3(), 0, 40, kBelow);
            AddRow(infos, GetCheck1(), 0, 60, 55);
            AddRow(infos, GetCheck2(), 0, 60, 65);
            AddRow(infos, GetCheck3(), 0, 60, 75);
            break;
        default:
            break;
    }
}

void FCPerformanceNotationBlockHandler::InitTaskControls() {
    PatternSettings& settings = ThePatternSettings();
    switch (GetTaskID()) {
        case kArticulations:
            SetLabel(GetStatic2(), "Placement style:");
            FillPopup(GetPopup3(), kArticulationPlacements, settings.QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE);
            SetInteger(GetEdit1(), settings.QZPT_PERFORMANCE_ARTIC_STYLEDIGIT);
            FillPopup(GetPopup2(), kDurations, settings.QZPT_PERFORMANCE_ARTIC_DURATION);
            SetLabel(GetStatic1(), "Articulation type:");
            FillPopup(GetPopup1(), kArticulationTypes, settings.QZPT_PERFORMANCE_ARTIC_TYPE);
            SetLabel(GetCheck1(), "Keep existing articulations");
            SetChecked(GetCheck1(), settings.QZPT_PERFORMANCE_ARTIC_KEEP);
            SetLabel(GetCheck2(), "Merge if possible");
            SetChecked(GetCheck2(), settings.QZPT_PERFORMANCE_ARTIC_MERGE);
            SetLabel(GetCheck3(), "Use tied duration");
            SetChecked(GetCheck3(), settings.QZPT_PERFORMANCE_ARTIC_TIEDDURATION);
            break;
        case kSlurs:
            SetLabel(GetStatic1(), "Slur placement style:");
            FillPopup(GetPopup1(), kSlurStyles, settings.QZPT_PERFORMANCE_SLUR_STYLE);
            SetInteger(GetEdit1(), settings.QZPT_PERFORMANCE_SLUR_STYLEDIGIT);
            FillPopup(GetPopup2(), kDurations, settings.QZPT_PERFORMANCE_SLUR_DURATION);
            SetLabel(GetStatic2(), "Shape:");
            FillPopup(GetPopup3(), kSlurShapes, settings.QZPT_PERFORMANCE_SLUR_SHAPE);
            SetLabel(GetCheck1(), "Break at identical pitch");
            SetChecked(GetCheck1(), settings.QZPT_PERFORMANCE_SLUR_IDENTICALPITCH);
            SetLabel(GetCheck2(), "Break at articulation");
            SetChecked(GetCheck2(), settings.QZPT_PERFORMANCE_SLUR_ARTICULATION);
            SetLabel(GetCheck3(), "Keep Existing Slurs");
            SetChecked(GetCheck3(), settings.QZPT_PERFORMANCE_SLUR_KEEPEXISTING);
            break;
        default:
            break;
    }
}

void FCPerformanceNotationBlockHandler::UpdateTaskControls() {
    switch (GetTaskID()) {
        case kArticulations: {
            const int placement = GetPopupKey(GetPopup3(), kArticulationPlacements);
            // The number field and the duration popup share one place; at most one shows.
            SetShown(GetEdit1(), InRange(placement, 1, 3));
            SetShown(GetPopup2(), InRange(placement, 8, 10));
            if (!InRange(placement, 8, 10)) SetEnabled(GetCheck3(), false);
            if (!IsChecked(GetCheck1())) SetEnabled(GetCheck2(), false);
            break;
        }
        case kSlurs: {
            const int style = GetPopupKey(GetPopup1(), kSlurStyles);
            SetShown(GetEdit1(), InRange(style, 2, 6));
            SetShown(GetPopup2(), InRange(style, 7, 9));
            if (style == kGraceSlurStyle) {
                SetEnabled(GetCheck1(), false);
                SetEnabled(GetCheck2(), false);
                SetEnabled(GetCheck3(), false);
            }
            break;
        }
        default:
            break;
    }
}

void FCPerformanceNotationBlockHandler::StoreTaskSettings() {
    PatternSettings& settings = ThePatternSettings();
    switch (GetTaskID()) {
        case kArticulations:
            settings.QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE = GetPopupKey(GetPopup3(), kArticulationPlacements);
            settings.QZPT_PERFORMANCE_ARTIC_STYLEDIGIT = GetClampedInteger(GetEdit1(), 1, 10);
            settings.QZPT_PERFORMANCE_ARTIC_DURATION = GetPopupKey(GetPopup2(), kDurations);
            settings.QZPT_PERFORMANCE_ARTIC_TYPE = GetPopupKey(GetPopup1(), kArticulationTypes);
            settings.QZPT_PERFORMANCE_ARTIC_KEEP = IsChecked(GetCheck1());
            settings.QZPT_PERFORMANCE_ARTIC_MERGE = IsChecked(GetCheck2());
            settings.QZPT_PERFORMANCE_ARTIC_TIEDDURATION = IsChecked(GetCheck3());
            break;
        case kSlurs:
            settings.QZPT_PERFORMANCE_SLUR_STYLE = GetPopupKey(GetPopup1(), kSlurStyles);
            settings.QZPT_PERFORMANCE_SLUR_STYLEDIGIT = GetClampedInteger(GetEdit1(), 1, 10);
            settings.QZPT_PERFORMANCE_SLUR_DURATION = GetPopupKey(GetPopup2(), kDurations);
            settings.QZPT_PERFORMANCE_SLUR_SHAPE = GetPopupKey(GetPopup3(), kSlurShapes);
            settings.QZPT_PERFORMANCE_SLUR_IDENTICALPITCH = IsChecked(GetCheck1());
            settings.QZPT_PERFORMANCE_SLUR_ARTICULATION = IsChecked(GetCheck2());
            settings.QZPT_PERFORMANCE_SLUR_KEEPEXISTING = IsChecked(GetCheck3());
            break;
        default:
            break;
    }
}
