// Performance Notation / Articulations: picks notes of one loaded layer by beat, duration, slur or
// solitude and gives them an articulation of the chosen kind.
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/entries/__FCNoteEntryCollection.h"
#include "framework/score/FCMusicRegion.h"
#include "plugin/PatternSettings.h"
#include "tasks/performance/FCPerformanceNotationBlockHandler.h"

namespace {

int Clamp(int value, int lower, int upper) { return value < lower ? lower : (value > upper ? upper : value); }

}  // namespace

bool FCPerformanceNotationBlockHandler::RunArticulations(FCNoteEntryLayer* layer, const FCMusicRegion* region) {
    if (!layer || !region) return false;
    const PatternSettings& settings = ThePatternSettings();
    // The count as the panel clamps it: a settings file may hold anything.
    articulationCount_ = Clamp(settings.QZPT_PERFORMANCE_ARTIC_STYLEDIGIT, 1, 10);
    articulationKind_ = settings.QZPT_PERFORMANCE_ARTIC_TYPE;
    articulationKeep_ = settings.QZPT_PERFORMANCE_ARTIC_KEEP;
    articulationMerge_ = settings.QZPT_PERFORMANCE_ARTIC_MERGE;
    if (!articulationsPrepared_) {
        PrepareArticulationDefinitions();
        articulationsPrepared_ = true;
    }

    // A view of the layer's entries: the layer owns them.
    FCNoteEntries candidates;
    candidates.SetOwnership(false);
    for (int i = 0; i < layer->GetCount(); ++i) {
        FCNoteEntry* entry = layer->GetItemAt(i);
        if (IsArticulationCandidate(entry, region)) candidates.Add(entry);
    }
    if (candidates.GetCount() == 0) return false;

    bool changed = false;
    // Between the first and the last candidate every handled articulation goes, on tied
    // continuations and grace notes too: the placement decides anew what they carry.
    if (!settings.QZPT_PERFORMANCE_ARTIC_KEEP) {
        FCNoteEntry* last = candidates.GetLastItem();
        for (FCNoteEntry* entry = candidates.GetItemAt(0); entry; entry = entry == last ? nullptr : entry->Next()) {
            // The host flags every entry that has articulations: the others need no search.
            if (entry->HasArticulations() && FCArticulations::DeleteHandledArticulations(entry, entry)) changed = true;
        }
    }

    const int count = candidates.GetCount();
    const int placement = settings.QZPT_PERFORMANCE_ARTIC_PLACEMENTSTYLE;
    bool placed = false;
    switch (placement) {
        case kAllNotes:
            placed = AddArticulationRange(&candidates, 0, count);
            break;
        case kFirstOfBeat:
        case kLastOfBeat:
        case kFirstNoteOfBeatN:
            placed = PlaceByBeat(&candidates, placement);
            break;
        case kSlurredNotes:
        case kNonSlurredNotes:
            placed = ArticulateSlurred(&candidates, placement == kSlurredNotes);
            break;
        case kSlurStart:
        case kSlurEnd:
            placed = ArticulateSlurEnds(&candidates, placement == kSlurEnd);
            break;
        case kDurationEqual:
        case kDurationShorter:
        case kDurationLonger:
            placed = PlaceByDuration(&candidates, placement, DurationOfKey(settings.QZPT_PERFORMANCE_ARTIC_DURATION),
                                     settings.QZPT_PERFORMANCE_ARTIC_TIEDDURATION);
            break;
        case kSolitaryNote:
            placed = PlaceSolitary(&candidates);
            break;
        default:
            break;
    }
    return changed || placed;
}

bool FCPerformanceNotationBlockHandler::PlaceByBeat(FCNoteEntries* candidates, int placement) {
    bool changed = false;
    const int count = candidates->GetCount();
    int i = 0;
    while (i < count) {
        FCNoteEntry* opener = candidates->GetItemAt(i);
        // Only a candidate on the beat opens a beat: a beat that starts with a tied continuation,
        // a rest or a note off the beat is passed over as a whole.
        if (!IsOnBeat(opener)) {
            ++i;
            continue;
        }
        const int beat = BeatOf(opener);
        if (placement == kFirstNoteOfBeatN) {
            // The beat number is 1-based and counts the beats of the candidate's own measure.
            if (beat + 1 == articulationCount_ && AddArticulationRange(candidates, i, 1)) changed = true;
            ++i;
            continue;
        }
        FCNoteEntries beatNotes;
        beatNotes.SetOwnership(false);
        int next = i;
        while (next < count) {
            FCNoteEntry* entry = candidates->GetItemAt(next);
            if (entry->GetMeasure() != opener->GetMeasure() || BeatOf(entry) != beat) break;
            beatNotes.Add(entry);
            ++next;
        }
        const int size = beatNotes.GetCount();
        // The last notes start one further back than the count suggests (size - n - 1): documents
        // made with this placement rely on it.
        const int start = placement == kFirstOfBeat ? 0 : size - articulationCount_ - 1;
        if (AddArticulationRange(&beatNotes, start, articulationCount_)) changed = true;
        i = next;
    }
    return changed;
}

bool FCPerformanceNotationBlockHandler::PlaceByDuration(FCNoteEntries* candidates, int placement, int32_t duration,
                                                        bool tied) {
    bool changed = false;
    for (int i = 0; i < candidates->GetCount(); ++i) {
        const FCNoteEntry* entry = candidates->GetItemAt(i);
        const int32_t length = tied ? CalcTiedDuration(entry) : entry->GetDuration();
        const bool chosen = placement == kDurationEqual     ? length == duration
                            : placement == kDurationShorter ? length < duration
                                                            : length > duration;
        if (chosen && AddArticulationRange(candidates, i, 1)) changed = true;
    }
    return changed;
}

bool FCPerformanceNotationBlockHandler::IsSolitary(const FCNoteEntry* entry) const {
    const FCNoteEntry* previous = entry->Previous();
    if (previous && previous->IsNote() && entry->GetMeasure() - previous->GetMeasure() <= 1) return false;
    const FCNoteEntry* next = entry->Next();
    if (next && next->IsNote() && next->GetMeasure() - entry->GetMeasure() <= 1) return false;
    return true;
}

bool FCPerformanceNotationBlockHandler::PlaceSolitary(FCNoteEntries* candidates) {
    bool changed = false;
    for (int i = 0; i < candidates->GetCount(); ++i)
        if (IsSolitary(candidates->GetItemAt(i)) && AddArticulationRange(candidates, i, 1)) changed = true;
    return changed;
}
