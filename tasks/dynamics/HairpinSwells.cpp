// Hairpin Swells: on every long note of the selection (a chain of tied notes counting as one
// note) a crescendo up to a focal point and a diminuendo after it, or the reverse, replacing the
// hairpins that lay on the note.
#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCSelectionWalker.h"
#include "plugin/PatternSettings.h"
#include "tasks/dynamics/FCDynamicsBlockHandler.h"

#include <vector>

namespace {

const int32_t kSwellDurations[] = {1536, 2048, 3072, 4096, 6144, 8192};
constexpr int kSwellDurationCount = int(sizeof kSwellDurations / sizeof kSwellDurations[0]);

enum SwellScope { kExactly, kLongerThan, kAtLeast };

// A note that can carry a swell or continue one: not a rest, not a grace note, not silent.
bool IsSwellNote(const FCNoteEntry* entry) {
    return entry && entry->IsNote() && !entry->IsGraceNote() &&
           (entry->GetEntryFlags() & FCDynamicsBlockHandler::kNotSoundingFlag) == 0;
}

// The span of a note and the notes tied on from it.
struct Span {
    int endMeasure;
    int32_t endPosition;
    int64_t length;
};

// Follows the ties from entry through the notes that continue it, each at most one measure
// after the note before it.
Span TiedSpan(const FCNoteEntry* entry) {
    Span span{entry->GetMeasure(), entry->GetMeasurePos() + entry->GetActualDuration(), entry->GetActualDuration()};
    const FCNoteEntry* before = entry;
    while (before->HasTieStart()) {
        const FCNoteEntry* next = before->Next();
        if (!IsSwellNote(next) || next->GetMeasure() > before->GetMeasure() + 1) break;
        span.length += next->GetActualDuration();
        span.endMeasure = next->GetMeasure();
        span.endPosition = next->GetMeasurePos() + next->GetActualDuration();
        before = next;
    }
    return span;
}

}  // namespace

int32_t FCDynamicsBlockHandler::CalcSwellDuration(int choice) {
    return choice >= 0 && choice < kSwellDurationCount ? kSwellDurations[choice] : 0;
}

bool FCDynamicsBlockHandler::IsSwellLength(int scope, int32_t length, int32_t reference) {
    switch (scope) {
        case kExactly:
            return length == reference;
        case kLongerThan:
            return length > reference;
        case kAtLeast:
            return length >= reference;
        default:
            return false;
    }
}

bool FCDynamicsBlockHandler::CreateSwell(const FCMusicRegion* span, int verticalOffset) {
    const PatternSettings& settings = ThePatternSettings();
    const bool inverse = settings.QZPT_DYNAMICS_SWELLS_INVERSE;
    const int firstType = inverse ? kDiminuendo : kCrescendo;
    const int secondType = inverse ? kCrescendo : kDiminuendo;
    const int staff = span->CalcStartStaff();

    const int64_t width = span->CalcDuration();
    const int64_t padding = width * settings.QZPT_DYNAMICS_SWELLS_PADDING / 100;
    const int64_t inner = width - 3 * padding;
    const int64_t focal = inner * settings.QZPT_DYNAMICS_SWELLS_FOCALPOINT / 100;
    const int64_t rest = inner - focal;

    FCMusicRegion first = *span;
    first.MoveEndToDuration(int32_t(padding + focal));
    first.MoveStartToDuration(int32_t(focal));
    bool created = CreateHairpin(staff, &first, firstType, verticalOffset);
    FCMusicRegion second = *span;
    second.MoveStartToDuration(int32_t(padding + rest));
    second.MoveEndToDuration(int32_t(rest));
    created |= CreateHairpin(staff, &second, secondType, verticalOffset);
    return created;
}

bool FCDynamicsBlockHandler::ExecuteHairpinSwells() {
    const PatternSettings& settings = ThePatternSettings();
    FCMusicRegion region;
    region.SetCurrentSelection();
    if (region.IsEmpty()) return false;
    const int offset =
        CalcVerticalOffset(settings.QZPT_DYNAMICS_SWELLS_VERTPOS, settings.QZPT_DYNAMICS_SWELLS_CUSTOMPOS);
    const int scope = settings.QZPT_DYNAMICS_SWELLS_SCOPE;
    const int32_t reference = CalcSwellDuration(settings.QZPT_DYNAMICS_SWELLS_DURATION);
    // A layer starts a measure early so that a note tied in from before the region is known as
    // tied, and runs a measure on so that a tie chain can be followed past the region's end. The
    // walk only reads: the swells are made after it.
    FCSelectionWalker walker(&region);
    walker.SetWidened(true);
    std::vector<FCMusicRegion> spans;
    walker.ForEachEntry([&](FCNoteEntry* entry, FCNoteEntryLayer*) {
        if (!IsSwellNote(entry) || entry->IsTiedFromPrevious()) return FCSelectionWalker::kUnchanged;
        const Span tied = TiedSpan(entry);
        if (tied.length > INT32_MAX || !IsSwellLength(scope, int32_t(tied.length), reference))
            return FCSelectionWalker::kUnchanged;
        const int staff = entry->GetStaff();
        FCMusicRegion span;
        span.SetFullDocument();
        span.SetStartMeasure(entry->GetMeasure());
        span.SetStartMeasurePos(entry->GetMeasurePos());
        span.SetEndMeasure(tied.endMeasure);
        span.SetEndMeasurePos(tied.endPosition);
        span.SetStartStaff(staff);
        span.SetEndStaff(staff);
        spans.push_back(span);
        return FCSelectionWalker::kUnchanged;
    });
    // The old hairpins on every span go before any swell is made: a swell ends where the next
    // note starts, so removing the next note's old hairpins afterwards would take it away again.
    bool changed = false;
    for (const FCMusicRegion& span : spans) changed |= RemoveHairpins(0, &span);
    for (const FCMusicRegion& span : spans) changed |= CreateSwell(&span, offset);
    return changed;
}
