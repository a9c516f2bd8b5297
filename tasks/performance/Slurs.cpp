// Performance Notation / Slurs: cuts the selected entries of one loaded layer into phrases by the
// slur style and puts one slur over every phrase of at least two entries. Rests always end a
// phrase, tied notes count as one, grace notes are slurred only by their own style.
#include "framework/entries/FCArticulation.h"
#include "framework/entries/FCNote.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCTimeSignature.h"
#include "plugin/PatternSettings.h"
#include "tasks/performance/FCPerformanceNotationBlockHandler.h"

namespace {

int Clamp(int value, int lower, int upper) { return value < lower ? lower : (value > upper ? upper : value); }

}  // namespace

void FCPerformanceNotationBlockHandler::CollectPhrases(FCNoteEntryLayer* layer, const FCMusicRegion* region,
                                                       std::vector<std::pair<FCNoteEntry*, FCNoteEntry*>>* phrases) {
    if (!layer || !region || !phrases) return;
    const PatternSettings& settings = ThePatternSettings();
    slurStyle_ = settings.QZPT_PERFORMANCE_SLUR_STYLE;
    // The count as the panel clamps it: the group rules divide by it.
    slurCount_ = Clamp(settings.QZPT_PERFORMANCE_SLUR_STYLEDIGIT, 1, 10);
    slurDuration_ = DurationOfKey(settings.QZPT_PERFORMANCE_SLUR_DURATION);
    pitchBreak_ = settings.QZPT_PERFORMANCE_SLUR_IDENTICALPITCH;
    articulationBreak_ = settings.QZPT_PERFORMANCE_SLUR_ARTICULATION;

    FCNoteEntry* first = nullptr;
    FCNoteEntry* last = nullptr;
    if (!FindRegionEnds(layer, region, &first, &last)) return;

    if (slurStyle_ == kGraceToFull) {
        for (FCNoteEntry* entry = first; entry; entry = entry == last ? nullptr : entry->Next()) {
            FCNoteEntry* graceStart = GraceRunStart(entry);
            if (graceStart) phrases->push_back(std::make_pair(graceStart, entry));
        }
        return;
    }

    // The grouping starts at the measure and beat where the selection starts.
    originMeasure_ = int16_t(region->GetStartMeasure());
    originBeat_ = 0;
    if (const FCTimeSignature* time = TimeSignatureOf(originMeasure_)) {
        int32_t position = region->GetStartMeasurePos();
        if (!time->IsBeatStartPos(position)) position = time->GetBeatStartBefore(position);
        originBeat_ = time->GetBeatIndexAt(position);
    }
    FCNoteEntry* start = first;
    for (bool include = true;; include = false) {
        start = NextPhraseStart(start, last, include);
        if (!start) break;
        FCNoteEntry* end = PhraseEnd(start, last);
        if (end) {
            phrases->push_back(std::make_pair(start, end));
            start = end;
        }
    }
}

bool FCPerformanceNotationBlockHandler::FindRegionEnds(FCNoteEntryLayer* layer, const FCMusicRegion* region,
                                                       FCNoteEntry** first, FCNoteEntry** last) {
    *first = *last = nullptr;
    for (int i = 0; i < layer->GetCount(); ++i) {
        FCNoteEntry* entry = layer->GetItemAt(i);
        if (!region->IsEntryIncluded(entry)) continue;
        if (!*first) *first = entry;
        *last = entry;
    }
    return *first != nullptr;
}

FCNoteEntry* FCPerformanceNotationBlockHandler::GraceRunStart(FCNoteEntry* entry) {
    if (!entry || entry->IsRest() || entry->IsGraceNote()) return nullptr;
    FCNoteEntry* start = entry->PreviousInFrame();
    if (!start || !start->IsNote() || !start->IsGraceNote()) return nullptr;
    for (FCNoteEntry* before = start->PreviousInFrame(); before && before->IsNote() && before->IsGraceNote();
         before = before->PreviousInFrame())
        start = before;
    return start;
}

bool FCPerformanceNotationBlockHandler::HasArticulationRecords(FCNoteEntry* entry) {
    if (!entry || !entry->HasArticulations()) return false;
    FCArticulation articulation;
    return articulation.Load(entry->GetEntryNumber(), 0);
}

bool FCPerformanceNotationBlockHandler::IsPhraseStartEligible(FCNoteEntry* entry) {
    if (!entry->IsNote() || entry->IsGraceNote()) return false;
    if (articulationBreak_ && HasArticulationRecords(entry)) return false;
    switch (slurStyle_) {
        case kGroupByMeasures:
            AdvanceMeasureOrigin(entry->GetMeasure());
            return true;
        case kGroupByBeats:
            AdvanceBeatOrigin(entry);
            return true;
        case kGroupFirstBeats:
            return BeatOf(entry) < slurCount_;
        case kGroupLastBeats:
            return IsInLastBeats(entry, slurCount_);
        case kConsecutiveDurations:
            return entry->GetDuration() == slurDuration_;
        case kSlurShorter:
            return entry->GetDuration() < slurDuration_;
        case kSlurLonger:
            return entry->GetDuration() > slurDuration_;
        default:
            return true;
    }
}

FCNoteEntry* FCPerformanceNotationBlockHandler::NextPhraseStart(FCNoteEntry* start, FCNoteEntry* last, bool include) {
    if (!start) return nullptr;
    FCNoteEntry* entry = start;
    if (!include) {
        // Nothing lies beyond the last entry of the selection.
        if (entry == last) return nullptr;
        entry = entry->Next();
    }
    for (; entry; entry = entry->Next()) {
        if (IsPhraseStartEligible(entry)) return entry;
        if (entry == last) break;
    }
    return nullptr;
}

FCNoteEntry* FCPerformanceNotationBlockHandler::PhraseEnd(FCNoteEntry* start, FCNoteEntry* last) {
    if (!start || start == last) return nullptr;
    // The last non-grace entry of the phrase so far.
    FCNoteEntry* previous = start->IsGraceNote() ? nullptr : start;
    for (FCNoteEntry* next = start->Next(); next; next = next->Next()) {
        // In this order, and no further once one holds: the group rules move the origin.
        bool stops = next->IsRest() || (previous && next->GetMeasure() - previous->GetMeasure() > 1) ||
                     (pitchBreak_ && IsRepeatedPitch(previous, next)) || EndsGroup(next, start);
        if (!stops && articulationBreak_ && HasArticulationRecords(next)) stops = true;
        // A phrase of one entry gets no slur.
        if (stops) return previous == start ? nullptr : previous;
        if (next == last) {
            // A slur never ends on a grace note: a selection that ends on one ends the phrase
            // before it.
            if (!next->IsGraceNote()) return next;
            return previous == start ? nullptr : previous;
        }
        if (!next->IsGraceNote()) previous = next;
    }
    return nullptr;
}

bool FCPerformanceNotationBlockHandler::IsRepeatedPitch(const FCNoteEntry* previous, const FCNoteEntry* next) {
    if (!previous || !next || previous->IsRest() || previous->IsGraceNote() || next->IsGraceNote()) return false;
    const FCNote* note = previous->GetNoteAt(0);
    return note && next->FindSamePitch(note) && !previous->HasTieStart();
}

bool FCPerformanceNotationBlockHandler::EndsGroup(FCNoteEntry* next, FCNoteEntry* start) {
    // A note tied onward never ends a group: the tied notes count as one.
    if (next->IsGraceNote() || next->HasTieStart()) return false;
    switch (slurStyle_) {
        case kByBeat:
            return next->GetMeasure() != start->GetMeasure() || BeatOf(next) != BeatOf(start);
        case kGroupByMeasures:
            if (next->GetMeasure() - originMeasure_ < slurCount_) return false;
            AdvanceMeasureOrigin(next->GetMeasure());
            return true;
        case kGroupByBeats:
            if (BeatsFromOrigin(next) < slurCount_) return false;
            AdvanceBeatOrigin(next);
            return true;
        case kGroupByNotes: {
            int notes = 0;
            for (const FCNoteEntry* entry = start; entry && entry != next; entry = entry->Next())
                if (!entry->IsGraceNote() && !entry->HasTieStart()) ++notes;
            return notes == slurCount_;
        }
        case kGroupFirstBeats:
            return BeatOf(next) >= slurCount_;
        case kGroupLastBeats:
            return !IsInLastBeats(next, slurCount_);
        case kConsecutiveDurations:
            return next->GetDuration() != slurDuration_;
        case kSlurShorter:
            return next->GetDuration() >= slurDuration_;
        case kSlurLonger:
            return next->GetDuration() <= slurDuration_;
        default:
            return false;
    }
}

void FCPerformanceNotationBlockHandler::AdvanceMeasureOrigin(int measure) {
    originMeasure_ = int16_t(originMeasure_ + ((measure - originMeasure_) / slurCount_) * slurCount_);
}

int FCPerformanceNotationBlockHandler::BeatsFromOrigin(const FCNoteEntry* entry) {
    const int measure = entry->GetMeasure();
    if (measure == originMeasure_) return BeatOf(entry) - originBeat_;
    int beats = BeatCountOf(originMeasure_) - originBeat_;
    for (int between = originMeasure_ + 1; between < measure; ++between) beats += BeatCountOf(between);
    return beats + BeatOf(entry);
}

void FCPerformanceNotationBlockHandler::AdvanceBeatOrigin(const FCNoteEntry* entry) {
    int beats = (BeatsFromOrigin(entry) / slurCount_) * slurCount_;
    // The origin never passes the entry's measure: measures without beats must not run it on.
    while (beats > 0 && originMeasure_ <= entry->GetMeasure()) {
        const int remaining = BeatCountOf(originMeasure_) - originBeat_;
        if (remaining < beats) {
            originBeat_ = 0;
            beats -= remaining > 0 ? remaining : 0;
            ++originMeasure_;
            continue;
        }
        originBeat_ += beats;
        if (originBeat_ == BeatCountOf(originMeasure_)) {
            originBeat_ = 0;
            ++originMeasure_;
        }
        beats = 0;
    }
}

bool FCPerformanceNotationBlockHandler::RunSlurs(FCNoteEntryLayer* layer, const FCMusicRegion* region) {
    if (!layer || !region) return false;
    FCNoteEntry* first = nullptr;
    FCNoteEntry* last = nullptr;
    if (!FindRegionEnds(layer, region, &first, &last)) return false;
    const PatternSettings& settings = ThePatternSettings();
    bool changed = false;
    // Old slurs lying wholly on the selection go; grace-note slurs only in their own style, and
    // only they.
    if (!settings.QZPT_PERFORMANCE_SLUR_KEEPEXISTING && HadShapesBefore(first->GetMeasure(), last->GetMeasure()) &&
        RemoveGroupSlurs(first, last, false, settings.QZPT_PERFORMANCE_SLUR_STYLE == kGraceToFull))
        changed = true;
    std::vector<std::pair<FCNoteEntry*, FCNoteEntry*>> phrases;
    CollectPhrases(layer, region, &phrases);
    const bool solid = settings.QZPT_PERFORMANCE_SLUR_SHAPE == 0;
    for (const auto& phrase : phrases)
        if (AddSlur(phrase.first, phrase.second, solid)) changed = true;
    return changed;
}
