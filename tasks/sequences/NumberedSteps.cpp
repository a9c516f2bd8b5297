// Numbered Steps: numbers counted by other steps than single measures: the beats of each measure,
// the measures after double or after final barlines, or every n-th measure.
#include "framework/markings/FCExpression.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCMeasure.h"
#include "framework/score/FCTimeSignature.h"
#include "plugin/PatternSettings.h"
#include "profiles/FCNumberSettingsProfile.h"
#include "framework/core/FCNumberCollection.h"
#include "tasks/sequences/FCNumberCreator.h"
#include "tasks/sequences/NumberingRun.h"
#include "tasks/sequences/FCSequencesBlockHandler.h"

#include <cstdint>
#include <memory>

namespace {

enum { kAfterDoubleBarlines = 1, kAfterFinalBarlines = 2 };
constexpr int kDoubleBarline = 2;
constexpr int kSolidBarline = 4;
constexpr int kFinalBarline = 5;

// The beat starts of a time signature, from 0; empty when it has no beat to count.
void CollectBeatStarts(const FCTimeSignature* time, FCNumberCollection* starts) {
    if (!time || time->GetBeatCount() < 1) return;
    if (!time->IsCompositeTop() && time->GetBeatDuration() < 1) return;
    int32_t position = 0;
    starts->AddStep(position, false);
    while (time->GetNextBeatStartPos(position, &position)) starts->AddStep(position, false);
}

// Every beat of each measure of the region on the staff, numbered from 1 within the measure.
bool NumberBeats(const FCMusicRegion* region, int staff, FCNumberCreator* creator) {
    bool created = false;
    for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
        FCCell cell(measure, staff);
        FCNumberCollection starts;
        CollectBeatStarts(cell.GetTimeSignature(), &starts);
        creator->SetMaxNumber(starts.GetCount());
        for (int beat = 0; beat < starts.GetCount(); ++beat) {
            std::unique_ptr<FCExpression> number(creator->CreateNumber(measure, staff, beat + 1));
            if (!number) continue;
            created = true;
            const int position = starts.GetItemAt(beat)->GetInt();
            if (position != 0) {
                number->SetMeasurePos(position);
                number->Save();
            }
        }
    }
    return created;
}

// The measures that follow a double (or final) barline, with the restarts noted on the way.
void CollectBarlineSteps(const FCMusicRegion* region, const FCNumberSettingsProfile* profile, int method,
                         FCNumberCollection* steps) {
    bool restart = false;
    for (int i = region->GetStartMeasure() - 1; i <= region->GetEndMeasure() - 1; ++i) {
        if (i < 1) continue;
        FCMeasure measure;
        if (!measure.Load(uint16_t(i))) continue;
        const int style = measure.GetBarlineStyle();
        if ((profile->GetRestartDoubleBarline() && style == kDoubleBarline) ||
            (profile->GetRestartFinalBarline() && style == kFinalBarline) ||
            (profile->GetRestartSolidBarline() && style == kSolidBarline) ||
            (profile->GetRestartRehearsalMark() && NumberingRun::HasRehearsalMark(i + 1)))
            restart = true;
        if ((method == kAfterDoubleBarlines && style == kDoubleBarline) ||
            (method == kAfterFinalBarlines && style == kFinalBarline)) {
            steps->AddStep(i + 1, restart);
            restart = false;
        }
    }
}

// Numbers the steps run by run, a run ending before the next step that restarts the count.
bool NumberTheSteps(const FCNumberCollection* steps, int staff, const FCNumberSettingsProfile* profile,
                    FCNumberCreator* creator) {
    bool created = false;
    for (int first = 0; first < steps->GetCount();) {
        const int last = steps->GetRunEnd(first);
        const int n = last - first + 1;
        creator->SetMaxNumber(n);
        for (int k = 0; k < n; ++k) {
            if (!FCNumberCreator::IsNumberedStep(profile, k, n)) continue;
            std::unique_ptr<FCExpression> number(
                creator->CreateNumber(steps->GetItemAt(first + k)->GetInt(), staff, k + 1));
            if (number) created = true;
        }
        first = last + 1;
    }
    return created;
}

}  // namespace

bool FCSequencesBlockHandler::ExecuteNumberedSteps() {
    const PatternSettings& settings = ThePatternSettings();
    NumberingRun run;
    bool deleted = false;
    if (!BeginNumbering(&run, settings.QZPT_SEQUENCES_NUMSTEPS_REPLACE, settings.QZPT_SEQUENCES_NUMSTEPS_PROFILE,
                        settings.QZPT_SEQUENCES_NUMSTEPS_CATEGORYIDX, &deleted))
        return deleted;
    const FCMusicRegion* region = run.GetRegion();
    const FCNumberSettingsProfile* profile = run.GetProfile();
    FCNumberCreator* creator = run.GetCreator();
    const int method = settings.QZPT_SEQUENCES_NUMSTEPS_METHOD;
    const int groupSize = settings.QZPT_SEQUENCES_NUMSTEPS_METHODNUMBER;

    bool created = false;
    for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
        const int staff = region->CalcStaffNumber(slot);
        if (staff < 1) continue;
        FCNumberCollection steps;
        switch (method) {
            case kStepMethodBeats:
                created = NumberBeats(region, staff, creator) || created;
                continue;
            case kAfterDoubleBarlines:
            case kAfterFinalBarlines:
                CollectBarlineSteps(region, profile, method, &steps);
                break;
            case kStepMethodGroups:
                // Refused before the edit; a group below one measure would never move on.
                if (groupSize < 1) return deleted;
                for (int64_t measure = region->GetStartMeasure(); measure <= region->GetEndMeasure();
                     measure += groupSize)
                    steps.AddStep(int(measure), false);
                break;
            default:
                return deleted;
        }
        created = NumberTheSteps(&steps, staff, profile, creator) || created;
    }
    return created || deleted;
}
