#include "tasks/performance/FCPerformanceNotationBlockHandler.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCSelectionWalker.h"
#include "framework/score/FCTimeSignature.h"
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

FCPerformanceNotationBlockHandler::FCPerformanceNotationBlockHandler(int taskID, FCUI* ui, PatternTaskWindow* window)
    : FCBeamedGroupsBlockHandler(taskID, ui, window) {}

FCPerformanceNotationBlockHandler::~FCPerformanceNotationBlockHandler() = default;

bool FCPerformanceNotationBlockHandler::Execute() {
    const int task = GetTaskID();
    if (task != kArticulations && task != kSlurs) return false;
    FCMusicRegion region;
    if (!region.SetCurrentSelection() || region.IsEmpty()) return false;
    // One measure more on each side lets the articulation rules see ties that cross the
    // selection's edges; there is no measure before the first.
    FCSelectionWalker walker(&region);
    walker.SetWidened(task == kArticulations);
    // The measures that held shapes before the run: slurs this run makes lie on other layers'
    // entries or on other phrases, so a layer whose measures held none has no old slurs to remove
    // (looking would cost a search through every new slur of the measure, layer after layer).
    shapesBefore_.clear();
    if (task == kSlurs) {
        FCSmartShapeMeasureMarks marks;
        const int first = walker.GetFirstMeasure(), last = walker.GetLastMeasure();
        for (int measure = first; measure <= last; ++measure)
            shapesBefore_.push_back(measure < 1 || measure > 0x7FFF ? 0 : marks.LoadAllForItem(uint16_t(measure)) > 0);
        shapesFirstMeasure_ = first;
    }
    return walker.ForEachLayer([&](FCNoteEntryLayer* layer) {
        const bool changed = task == kArticulations ? RunArticulations(layer, &region) : RunSlurs(layer, &region);
        return changed ? FCSelectionWalker::kChanged : FCSelectionWalker::kUnchanged;
    });
}

FCTimeSignature* FCPerformanceNotationBlockHandler::TimeSignatureOf(int measure) {
    // The rules ask about the entries of a layer in order: mostly the measure asked about last.
    if (measure == lastMeasure_) return lastTime_;
    auto found = measures_.find(measure);
    if (found == measures_.end()) {
        std::unique_ptr<FCMeasure> loaded(new FCMeasure);
        if (measure < 1 || measure > 0x7FFF || !loaded->Load(uint16_t(measure))) loaded.reset();
        found = measures_.emplace(measure, std::move(loaded)).first;
    }
    lastMeasure_ = measure;
    lastTime_ = found->second ? found->second->GetTimeSignature() : nullptr;
    return lastTime_;
}

int FCPerformanceNotationBlockHandler::BeatOf(const FCNoteEntry* entry) {
    if (!entry) return -1;
    const FCTimeSignature* time = TimeSignatureOf(entry->GetMeasure());
    if (!time) return -1;
    int32_t position = entry->GetMeasurePos();
    if (!time->IsBeatStartPos(position)) position = time->GetBeatStartBefore(position);
    return time->GetBeatIndexAt(position);
}

bool FCPerformanceNotationBlockHandler::IsOnBeat(const FCNoteEntry* entry) {
    if (!entry) return false;
    const FCTimeSignature* time = TimeSignatureOf(entry->GetMeasure());
    return time && time->IsBeatStartPos(entry->GetMeasurePos());
}

bool FCPerformanceNotationBlockHandler::IsInLastBeats(const FCNoteEntry* entry, int beats) {
    if (!entry) return false;
    return BeatOf(entry) >= BeatCountOf(entry->GetMeasure()) - beats;
}

int FCPerformanceNotationBlockHandler::BeatCountOf(int measure) {
    const FCTimeSignature* time = TimeSignatureOf(measure);
    return time ? time->GetBeatCount() : 0;
}

bool FCPerformanceNotationBlockHandler::HadShapesBefore(int firstMeasure, int lastMeasure) const {
    // Without the survey (a run not started by Execute) every measure may hold shapes.
    if (shapesBefore_.empty()) return true;
    for (int measure = firstMeasure; measure <= lastMeasure; ++measure) {
        const int i = measure - shapesFirstMeasure_;
        if (i < 0 || i >= int(shapesBefore_.size()) || shapesBefore_[size_t(i)]) return true;
    }
    return false;
}

int32_t FCPerformanceNotationBlockHandler::DurationOfKey(int key) {
    static const int32_t kEDUs[] = {128, 192, 256, 384, 512, 768, 1024, 1536, 2048, 3072};
    return key >= 0 && key < int(sizeof kEDUs / sizeof kEDUs[0]) ? kEDUs[key] : 0;
}

bool FCPerformanceNotationBlockHandler::IsArticulationCandidate(const FCNoteEntry* entry, const FCMusicRegion* region) {
    // A tied continuation is part of the note it continues.
    return entry && region && region->IsEntryIncluded(entry) && entry->IsNote() && !entry->IsGraceNote() &&
           !entry->IsTiedFromPrevious();
}

int32_t FCPerformanceNotationBlockHandler::CalcTiedDuration(const FCNoteEntry* entry) {
    if (!entry) return 0;
    int32_t duration = entry->GetDuration();
    for (const FCNoteEntry* current = entry; current->HasTieStart();) {
        const FCNoteEntry* next = current->Next();
        if (!next || next->IsRest() || next->IsGraceNote()) break;
        duration += next->GetDuration();
        current = next;
    }
    return duration;
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
