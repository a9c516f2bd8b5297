// Numbered Measures: one number per measure, counted in runs that restart after the barlines and
// rehearsal marks the profile names, on every staff of the selection; measures that start or end
// a system may carry a number of their own, shown only in the parts where they do.
#include "framework/markings/FCExpression.h"
#include "plugin/PatternSettings.h"
#include "profiles/FCNumberSettingsProfile.h"
#include "tasks/sequences/FCNumberCreator.h"
#include "tasks/sequences/NumberingRun.h"
#include "tasks/sequences/FCSequencesBlockHandler.h"

#include <memory>
#include <utility>
#include <vector>

bool FCSequencesBlockHandler::ExecuteNumberedMeasures() {
    const PatternSettings& settings = ThePatternSettings();
    NumberingRun run;
    bool deleted = false;
    if (!BeginNumbering(&run, settings.QZPT_SEQUENCES_NUMMEASURES_REPLACE, settings.QZPT_SEQUENCES_NUMMEASURES_PROFILE,
                        settings.QZPT_SEQUENCES_NUMMEASURES_CATEGORYIDX, &deleted))
        return deleted;
    const FCMusicRegion* region = run.GetRegion();
    const FCNumberSettingsProfile* profile = run.GetProfile();
    FCNumberCreator* creator = run.GetCreator();
    if (run.NumbersSystems()) run.LoadSystems();

    // The runs are the same on every staff: (first, last) measures.
    std::vector<std::pair<int, int>> runs;
    for (int first = region->GetStartMeasure(); first <= region->GetEndMeasure();) {
        const int last = run.CalcRunEnd(first);
        runs.emplace_back(first, last);
        first = last + 1;
    }

    bool created = false;
    for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
        const int staff = region->CalcStaffNumber(slot);
        if (staff < 1) continue;
        for (const std::pair<int, int>& measures : runs) {
            const int n = measures.second - measures.first + 1;
            creator->SetMaxNumber(n);
            for (int measure = measures.first; measure <= measures.second; ++measure) {
                const int k = measure - measures.first;
                const bool counted = FCNumberCreator::IsNumberedStep(profile, k, n);
                const bool forSystem = !counted && ((profile->GetAlwaysStartOfSystem() && run.StartsSystem(measure)) ||
                                                    (profile->GetAlwaysEndOfSystem() && run.EndsSystem(measure)));
                if (!counted && !forSystem) continue;
                std::unique_ptr<FCExpression> number(creator->CreateNumber(measure, staff, k + 1));
                if (!number) continue;
                created = true;
                if (forSystem) run.ShowSystemNumberInParts(number.get(), measure);
            }
        }
    }
    return created || deleted;
}
