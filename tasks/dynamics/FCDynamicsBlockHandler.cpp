#include "tasks/dynamics/FCDynamicsBlockHandler.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryCell.h"
#include "framework/markings/FCSmartShape.h"
#include "framework/markings/FCSmartShapeMeasureMark.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/ui/FCUI.h"
#include "plugin/PatternSettings.h"

#include <memory>

namespace {

const TaskPopupItem kCopySources[] = {
    {0, "Staff with the most dynamics"},      {1, "Top staff in selection"},
    {2, "Bottom staff in selection"},         {3, "First selected staff with dynamics"},
    {4, "Last selected staff with dynamics"},
};

const TaskPopupItem kHairpinTypes[] = {
    {0, "<   (crescendo)"},
    {1, ">   (diminuendo)"},
    {2, "< >   (cresc+dim)"},
    {3, "> <   (dim+cresc)"},
};

const TaskPopupItem kHairpinPaddings[] = {
    {0, "None"},
    {1, "32nd length"},
    {2, "Dotted 32nd length"},
    {3, "16th length"},
    {4, "Dotted 16th length"},
    {5, "8th length"},
    {6, "Dotted 8th length"},
    {7, "2 %"},
    {8, "4 %"},
    {9, "6 %"},
};

const TaskPopupItem kVerticalPositions[] = {
    {0, "Below Staff (Near)"},
    {1, "Above Staff (Near)"},
    {2, "Below Staff"},
    {3, "Above Staff"},
    {4, "Below Staff (Far)"},
    {5, "Above Staff (Far)"},
    {6, "Custom (from baseline)"},
};

const TaskPopupItem kSwellScopes[] = {
    {0, "Exact duration of"},
    {1, "Longer than"},
    {2, "Equal or longer than"},
};

const TaskPopupItem kSwellDurations[] = {
    {0, "Dotted Quarter"}, {1, "Half Note"},         {2, "Dotted Half Note"},
    {3, "Whole Note"},     {4, "Dotted Whole Note"}, {5, "Breve"},
};

// Vertical offsets (EVPUs) of the position choices before the custom one.
const int kVerticalOffsets[] = {-120, 24, -168, 72, -216, 120};
static_assert(sizeof kVerticalOffsets / sizeof kVerticalOffsets[0] == FCDynamicsBlockHandler::kCustomVerticalPosition,
              "one offset per fixed position");

// A note that sounds: not a rest, not a grace note, not marked as silent.
bool IsSoundingNote(const FCNoteEntry* entry) {
    return entry->IsNote() && !entry->IsGraceNote() &&
           (entry->GetEntryFlags() & FCDynamicsBlockHandler::kNotSoundingFlag) == 0;
}

// The last measure of the document (0 when the host does not say).
int LastMeasure() {
    FCMusicRegion document;
    document.SetFullDocument();
    return document.GetEndMeasure();
}

}  // namespace

bool FCDynamicsBlockHandler::Execute() {
    switch (GetTaskID()) {
        case kCarbonCopy:
            return ExecuteCarbonCopy();
        case kHairpins:
            return ExecuteHairpins();
        case kHairpinSwells:
            return ExecuteHairpinSwells();
        default:
            return false;
    }
}

int FCDynamicsBlockHandler::CalcVerticalOffset(int position, int customOffset) {
    if (position == kCustomVerticalPosition) return customOffset;
    return position >= 0 && position < kCustomVerticalPosition ? kVerticalOffsets[position] : 0;
}

const std::vector<FCDynamicsBlockHandler::SoundingNote>& FCDynamicsBlockHandler::SoundingNotes(int measure, int staff) {
    const auto key = std::make_pair(measure, staff);
    const auto found = soundingNotes_.find(key);
    if (found != soundingNotes_.end()) return found->second;
    std::vector<SoundingNote>& notes = soundingNotes_[key];
    if (measure < 1 || measure > 0x7FFF || staff < 1) return notes;
    FCNoteEntryCell cell(measure, staff);
    if (!cell.Load()) return notes;
    for (int i = 0; i < cell.GetCount(); ++i) {
        const FCNoteEntry* entry = cell.GetItemAt(i);
        if (!IsSoundingNote(entry)) continue;
        const int32_t start = entry->GetMeasurePos();
        notes.push_back(SoundingNote{start, int64_t(start) + entry->GetActualDuration(), entry->GetLayerNumber()});
    }
    return notes;
}

int FCDynamicsBlockHandler::FindSoundingLayer(int measure, int staff, int32_t position, int32_t tolerance, int layer) {
    for (const SoundingNote& note : SoundingNotes(measure, staff)) {
        if (layer && note.layer != layer) continue;
        // In 64 bits: a position at the end of a measure is 0x7FFFFFFF.
        if (int64_t(note.start) - tolerance <= position && position <= note.end + tolerance) return note.layer;
    }
    return 0;
}

bool FCDynamicsBlockHandler::ShrinkStart(int staff, int* measure, int32_t* position) {
    const int last = LastMeasure();
    int32_t from = *position;
    for (int m = *measure; m >= 1 && m <= last; ++m, from = 0) {
        bool found = false;
        int32_t nearest = 0;
        for (const SoundingNote& note : SoundingNotes(m, staff)) {
            if (note.start < from || (found && note.start >= nearest)) continue;
            nearest = note.start;
            found = true;
        }
        if (found) {
            *measure = m;
            *position = nearest;
            return true;
        }
    }
    return false;
}

bool FCDynamicsBlockHandler::ShrinkEnd(int staff, int* measure, int32_t* position) {
    int64_t upTo = *position;
    for (int m = *measure; m >= 1 && m <= 0x7FFF; --m, upTo = INT64_MAX) {
        bool found = false;
        int64_t nearest = 0;
        for (const SoundingNote& note : SoundingNotes(m, staff)) {
            if (note.end > upTo || note.end > INT32_MAX || (found && note.end <= nearest)) continue;
            nearest = note.end;
            found = true;
        }
        if (found) {
            *measure = m;
            *position = int32_t(nearest);
            return true;
        }
    }
    return false;
}

void FCDynamicsBlockHandler::AddTaskControls(FCTaskControlInfos* infos) {
    switch (GetTaskID()) {
        case kCarbonCopy:
            AddRow(infos, GetStatic1(), 0, 60, 5);
            AddRow(infos, GetPopup1(), 0, 60, kBelow);
            AddRow(infos, GetCheck1(), 0, 60, 30);
            AddRow(infos, GetCheck2(), 10, 60, 40);
            AddRow(infos, GetCheck3(), 0, 80, 50);
            break;
        case kHairpins:
            AddRow(infos, GetStatic1(), 0, 35, 5);
            AddRow(infos, GetPopup1(), 0, 35, kBelow);
            AddRow(infos, GetStatic2(), 50, 45, 5);
            AddRow(infos, GetPopup2(), 50, 45, kBelow);
            AddRow(infos, GetStatic3(), 0, 50, 30);
            AddRow(infos, GetPopup3(), 0, 50, kBelow);
            AddRow(infos, GetEdit1(), 55, 25, kBeside);
            AddRow(infos, GetCheck1(), 0, 60, 55);
            AddRow(infos, GetCheck2(), 10, 60, 65);
            break;
        case kHairpinSwells:
            AddRow(infos, GetCheck1(), 0, 60, 10);
            AddRow(infos, GetStatic3(), 0, 50, 20);
            AddRow(infos, GetEdit1(), 0, 15, kBelow);
            AddRow(infos, GetStatic4(), 50, 50, 20);
            AddRow(infos, GetEdit2(), 50, 15, kBelow);
            AddRow(infos, GetStatic1(), 0, 45, 40);
            AddRow(infos, GetPopup1(), 0, 45, kBelow);
            AddRow(infos, GetStatic2(), 47, 40, 40);
            AddRow(infos, GetPopup2(), 47, 40, kBelow);
            AddRow(infos, GetStatic5(), 0, 50, 60);
            AddRow(infos, GetPopup3(), 0, 50, kBelow);
            AddRow(infos, GetEdit3(), 55, 25, kBeside);
            break;
        default:
            break;
    }
}

void FCDynamicsBlockHandler::InitTaskControls() {
    PatternSettings& settings = ThePatternSettings();
    switch (GetTaskID()) {
        case kCarbonCopy:
            SetLabel(GetStatic1(), "Source staff:");
            FillPopup(GetPopup1(), kCopySources, settings.QZPT_DYNAMICS_CARBONCOPY_SOURCE);
            SetLabel(GetCheck1(), "Only copy to music");
            SetChecked(GetCheck1(), settings.QZPT_DYNAMICS_CARBONCOPY_MUSIC);
            SetLabel(GetCheck2(), "Shrink smart shapes at rests");
            SetChecked(GetCheck2(), settings.QZPT_DYNAMICS_CARBONCOPY_SHRINKSMARTSHAPES);
            SetLabel(GetCheck3(), "Auto-adjust expression layer assignment");
            SetChecked(GetCheck3(), settings.QZPT_DYNAMICS_CARBONCOPY_LAYERASSIGN);
            break;
        case kHairpins:
            SetLabel(GetStatic1(), "Shape type:");
            FillPopup(GetPopup1(), kHairpinTypes, settings.QZPT_DYNAMICS_HAIRPINS_TYPE);
            SetLabel(GetStatic2(), "Padding:");
            FillPopup(GetPopup2(), kHairpinPaddings, settings.QZPT_DYNAMICS_HAIRPINS_PADDING);
            SetLabel(GetStatic3(), "Vertical Position:");
            FillPopup(GetPopup3(), kVerticalPositions, settings.QZPT_DYNAMICS_HAIRPINS_VERTPOS);
            SetMeasurement(GetEdit1(), settings.QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS);
            SetLabel(GetCheck1(), "Only copy to music");
            SetChecked(GetCheck1(), settings.QZPT_DYNAMICS_HAIRPINS_MUSIC);
            SetLabel(GetCheck2(), "Shrink hairpins at rests");
            SetChecked(GetCheck2(), settings.QZPT_DYNAMICS_HAIRPINS_SHRINK);
            break;
        case kHairpinSwells:
            SetLabel(GetCheck1(), "Inverse Hairpin Direction");
            SetChecked(GetCheck1(), settings.QZPT_DYNAMICS_SWELLS_INVERSE);
            SetLabel(GetStatic3(), "Focal Point (percent):");
            SetInteger(GetEdit1(), settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT);
            SetLabel(GetStatic4(), "Padding (percent):");
            SetInteger(GetEdit2(), settings.QZPT_DYNAMICS_SWELLS_PADDING);
            SetLabel(GetStatic1(), "Scope:");
            FillPopup(GetPopup1(), kSwellScopes, settings.QZPT_DYNAMICS_SWELLS_SCOPE);
            SetLabel(GetStatic2(), "Duration:");
            FillPopup(GetPopup2(), kSwellDurations, settings.QZPT_DYNAMICS_SWELLS_DURATION);
            SetLabel(GetStatic5(), "Vertical Position:");
            FillPopup(GetPopup3(), kVerticalPositions, settings.QZPT_DYNAMICS_SWELLS_VERTPOS);
            SetMeasurement(GetEdit3(), settings.QZPT_DYNAMICS_SWELLS_CUSTOMPOS);
            break;
        default:
            break;
    }
}

void FCDynamicsBlockHandler::UpdateTaskControls() {
    switch (GetTaskID()) {
        case kCarbonCopy:
            if (!IsChecked(GetCheck1())) SetEnabled(GetCheck2(), false);
            break;
        case kHairpins:
            if (!IsChecked(GetCheck1())) SetEnabled(GetCheck2(), false);
            SetShown(GetEdit1(), GetPopupKey(GetPopup3(), kVerticalPositions) == kCustomVerticalPosition);
            break;
        case kHairpinSwells:
            SetShown(GetEdit3(), GetPopupKey(GetPopup3(), kVerticalPositions) == kCustomVerticalPosition);
            break;
        default:
            break;
    }
}

void FCDynamicsBlockHandler::StoreTaskSettings() {
    PatternSettings& settings = ThePatternSettings();
    switch (GetTaskID()) {
        case kCarbonCopy:
            settings.QZPT_DYNAMICS_CARBONCOPY_SOURCE = GetPopupKey(GetPopup1(), kCopySources);
            settings.QZPT_DYNAMICS_CARBONCOPY_MUSIC = IsChecked(GetCheck1());
            settings.QZPT_DYNAMICS_CARBONCOPY_SHRINKSMARTSHAPES = IsChecked(GetCheck2());
            settings.QZPT_DYNAMICS_CARBONCOPY_LAYERASSIGN = IsChecked(GetCheck3());
            break;
        case kHairpins:
            settings.QZPT_DYNAMICS_HAIRPINS_TYPE = GetPopupKey(GetPopup1(), kHairpinTypes);
            settings.QZPT_DYNAMICS_HAIRPINS_PADDING = GetPopupKey(GetPopup2(), kHairpinPaddings);
            settings.QZPT_DYNAMICS_HAIRPINS_VERTPOS = GetPopupKey(GetPopup3(), kVerticalPositions);
            settings.QZPT_DYNAMICS_HAIRPINS_CUSTOMPOS = GetMeasurement(GetEdit1());
            settings.QZPT_DYNAMICS_HAIRPINS_MUSIC = IsChecked(GetCheck1());
            settings.QZPT_DYNAMICS_HAIRPINS_SHRINK = IsChecked(GetCheck2());
            break;
        case kHairpinSwells:
            settings.QZPT_DYNAMICS_SWELLS_INVERSE = IsChecked(GetCheck1());
            settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT = GetClampedInteger(GetEdit1(), 10, 90);
            settings.QZPT_DYNAMICS_SWELLS_PADDING = GetClampedInteger(GetEdit2(), 0, 15);
            settings.QZPT_DYNAMICS_SWELLS_SCOPE = GetPopupKey(GetPopup1(), kSwellScopes);
            settings.QZPT_DYNAMICS_SWELLS_DURATION = GetPopupKey(GetPopup2(), kSwellDurations);
            settings.QZPT_DYNAMICS_SWELLS_VERTPOS = GetPopupKey(GetPopup3(), kVerticalPositions);
            settings.QZPT_DYNAMICS_SWELLS_CUSTOMPOS = GetMeasurement(GetEdit3());
            break;
        default:
            break;
    }
}

bool FCDynamicsBlockHandler::CanExecute() {
    switch (GetTaskID()) {
        case kCarbonCopy:
            return CanCopyDynamics();
        case kHairpins:
            return CanCreateHairpins();
        default:
            return true;
    }
}

bool FCDynamicsBlockHandler::CanCopyDynamics() {
    FCMusicRegion region;
    if (!region.SetCurrentSelection() || region.IsEmpty()) return false;
    if (region.GetEndSlot() - region.GetStartSlot() + 1 >= 2) return true;
    if (FCUI* ui = GetUI()) {
        FCString text(
            "The selected area contains less than 2 staves. To copy dynamics, please select multiple staves. One of "
            "the selected staves will serve as the source staff.");
        FCString caption("Too Few Selected Staves");
        ui->AlertInfo(&text, &caption);
    }
    return false;
}

bool FCDynamicsBlockHandler::CanCreateHairpins() {
    FCMusicRegion region;
    if (!region.SetCurrentSelection() || region.IsEmpty()) return true;
    if (region.GetEndMeasure() - region.GetStartMeasure() + 1 <= kWideRegionMeasures) return true;
    FCUI* ui = GetUI();
    if (!ui) return false;
    FCString text("The selected region is very wide. Do you really want to create hairpins that span the full region?");
    FCString caption("Wide Selected Region");
    return ui->AlertYesNo(&text, &caption) == FCUI::kAnswerYes;
}

namespace {

// The host's duration of the measure for the staff (its own time signature, if it has one).
int32_t MeasureDurationForStaff(int staff, int measure) {
    FCMusicRegion region;
    region.SetFullDocument();
    region.SetStartStaff(staff);
    region.SetEndStaff(staff);
    region.SetStartMeasure(measure);
    region.SetEndMeasure(measure);
    region.SetStartMeasurePos(0);
    region.SetEndMeasurePos(FCMusicRegion::kEndOfMeasure);
    return region.CalcDuration();
}

}  // namespace

bool FCDynamicsBlockHandler::CreateHairpin(int staff, const FCMusicRegion* region, int shapeType, int verticalOffset) {
    FCSmartShape shape;
    shape.ApplyMeasureAttachedPreset();
    shape.SetShapeType(shapeType);
    shape.SetStaff(staff);
    FCSmartShapeSegment* left = shape.GetLeftSegment();
    FCSmartShapeSegment* right = shape.GetRightSegment();
    left->SetMeasure(region->GetStartMeasure());
    left->SetMeasurePos(region->GetStartMeasurePos());
    const int endMeasure = region->GetEndMeasure();
    right->SetMeasure(endMeasure);
    right->SetMeasurePos(region->IsEndMeasurePosMax() ? MeasureDurationForStaff(staff, endMeasure) - 1
                                                      : region->GetEndMeasurePos());
    left->SetEndpointOffsetY(verticalOffset);
    right->SetEndpointOffsetY(verticalOffset);
    return shape.SaveNewEverything(nullptr, nullptr);
}

bool FCDynamicsBlockHandler::RemoveHairpins(int excludedStaff, const FCMusicRegion* region) {
    FCSmartShapeMeasureMarks marks;
    marks.LoadAllForRegion(region);
    bool removed = false;
    for (int i = marks.GetCount() - 1; i >= 0; --i) {
        std::unique_ptr<FCSmartShape> shape(marks.GetItemAt(i)->CreateSmartShape(true));
        if (!shape || !shape->IsHairpin()) continue;
        FCSmartShapeSegment* left = shape->GetLeftSegment();
        FCSmartShapeSegment* right = shape->GetRightSegment();
        if (left->GetStaff() == excludedStaff || right->GetStaff() == excludedStaff) continue;
        if (!region->IsStaffIncluded(left->GetStaff()) || !region->IsStaffIncluded(right->GetStaff())) continue;
        if (!region->IsMeasurePosIncluded(left->GetMeasure(), left->GetMeasurePos()) &&
            !region->IsMeasurePosIncluded(right->GetMeasure(), right->GetMeasurePos()))
            continue;
        removed |= shape->DeleteEverything();
    }
    return removed;
}
