// Break: each chord of the selection turned into a figure of single notes over the chord's
// duration, in the order of the chosen style.
#include "tasks/chords/FCChordsBlockHandler.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/entries/FCNoteEntryLayer.h"
#include "framework/entries/FCNotePitchSorter.h"
#include "framework/entries/FCNotePitches.h"
#include "framework/entries/FCTuplet.h"
#include "framework/score/FCCurrentStaffSpec.h"
#include "framework/score/FCMusicRegion.h"
#include "framework/score/FCSelectionWalker.h"
#include "framework/score/FCTupletPrefs.h"
#include "plugin/PatternSettings.h"
#include "tasks/PitchOrders.h"

#include <memory>

namespace {

// The tuplet record keeps its durations in 16-bit words.
constexpr int32_t kLongestTupletDuration = 0xFFFF;

}  // namespace

int FCChordsBlockHandler::CalcFigureLength(int style, int noteCount) {
    if (noteCount < 2) return 0;
    switch (style) {
        case kWaveAscending:
        case kWaveDescending:
            return 2 * noteCount - 2;
        case kAlbertiBass:
            return noteCount == 3 ? 4 : 0;
        case kAlbertiBass6:
            return noteCount == 3 ? 6 : 0;
        default:
            return style >= 0 && style < kStyleCount ? noteCount : 0;
    }
}

int FCChordsBlockHandler::CalcPitchIndex(int style, int i, int n) {
    if (i < 0 || i >= n) return -1;
    // The wave runs up to the top (or down to the bottom) and halfway back.
    const int c = (n + 1) / 2;
    switch (style) {
        case kAscending:
            return i;
        case kDescending:
            return n - 1 - i;
        case kStaircaseAscending:
            return pitchorders::StaircaseIndex(i, n);
        case kStaircaseDescending:
            return n - 1 - pitchorders::StaircaseIndex(i, n);
        case kWaveAscending:
            return i <= c ? i : c - (i - c);
        case kWaveDescending:
            return i <= c ? c - i : i - c;
        case kBaseDescending:
            return i == 0 ? 0 : n - i;
        case kTopDescending:
            return i == 0 ? n - 1 : i - 1;
        case kAlbertiBass:
        case kAlbertiBass6: {
            static const int kFigure[] = {0, 2, 1, 2, 1, 2};
            return i < 6 ? kFigure[i] : -1;
        }
        default:
            return -1;
    }
}

int32_t FCChordsBlockHandler::SnapToNoteValue(int32_t each, bool dotted) {
    int32_t value = 4096;
    for (int round = 0; round < 6; ++round) {
        if (value == each) return each;
        if (dotted && value * 3 / 2 == each) return each;
        if (each > value) return 2 * value;
        value /= 2;
    }
    return value;
}

bool FCChordsBlockHandler::BreakChord(FCNoteEntry* entry, FCNoteEntryLayer* layer, int style, FCNotePitches* pitches,
                                      bool* refused) {
    if (refused) *refused = false;
    if (!entry || !layer) return false;
    // Grace chords take no time: a figure after one would push the rest of the measure along.
    if (entry->IsInTuplet() || entry->GetDotCount() > 1 || entry->HasTieStart() || entry->IsGraceNote()) return false;
    const int n = CalcFigureLength(style, entry->GetNoteCount());
    if (n < 2) return false;

    const int32_t duration = entry->GetDuration();
    const bool dotted = entry->GetDotCount() == 1;
    const int32_t each = duration / n;
    const int32_t value = SnapToNoteValue(each, dotted);
    // Checked before anything is written: a tuplet that cannot hold the chord's duration.
    if (each != value && duration > kLongestTupletDuration) return false;

    std::unique_ptr<FCNotePitches> own;
    if (pitches) {
        entry->CopyPitchesTo(pitches);
    } else {
        own.reset(entry->CreatePitches());
        pitches = own.get();
    }
    FCPitchSortIteratorHandler lowestFirst;
    pitches->Sort(&lowestFirst);

    // The tuplet comes first: a figure written without the tuplet it needs would overfill the
    // measure, while a tuplet is easily taken back when the insertion is refused.
    FCTuplet tuplet;
    const bool needsTuplet = each != value;
    if (needsTuplet) {
        FCTupletPrefs prefs;
        prefs.Load(1);
        tuplet.ConnectToEntry(entry);
        prefs.CopyToTuplet(&tuplet, true);
        tuplet.SetSymbolicNumber(n);
        tuplet.SetSymbolicDuration(value);
        tuplet.SetReferenceNumber(1);
        tuplet.SetReferenceDuration(duration);
        if (!tuplet.SaveNew()) {
            if (refused) *refused = true;
            return false;
        }
    }
    if (!layer->InsertEntriesAfter(entry, n - 1, false)) {
        if (needsTuplet) {
            tuplet.DeleteData();
            entry->SetTupletStart(false);
        }
        return false;
    }

    FCNoteEntry* target = entry;
    for (int i = 0; i < n && target; ++i, target = target->Next()) {
        target->SetDuration(value);
        target->SetMarkFlag(true);
        target->SetBeamStart(i == 0);
        const FCNotePitch* pitch = pitches->GetItemAt(CalcPitchIndex(style, i, n));
        // A new entry's note written by MakeNote would be overwritten whole by SetSingleNote:
        // only the note flag is left of it then.
        if (i > 0) {
            if (pitch && pitch->GetRecord())
                target->SetEntryFlagBits(FCNoteEntry::kFlagNote, true);
            else
                target->MakeNote();
        }
        target->SetSingleNote(pitch);
        target->SetAllTies(false);
        target->SetPitchChangedMark(true);
    }
    return true;
}
bool FCChordsBlockHandler::ExecuteBreak() {
    const PatternSettings& settings = ThePatternSettings();
    const int style = settings.QZPT_CHORDS_BREAK_STYLE;

    FCMusicRegion region;
    if (!region.SetCurrentSelection() || region.IsEmpty()) return false;
    // The copies of the chord being broken, overwritten chord after chord.
    FCNotePitches pitches;
    // Layer by layer, hidden layers passed over. The new single notes after a broken chord are
    // visited too and passed over as single notes.
    FCSelectionWalker walker(&region);
    const bool changed = walker.ForEachEntry([&](FCNoteEntry* entry, FCNoteEntryLayer* layer) {
        if (!entry->IsNote() || entry->GetNoteCount() < 2) return FCSelectionWalker::kUnchanged;
        FCCurrentStaffSpec inEffect;
        inEffect.LoadForEntry(entry);
        if (inEffect.GetNotationStyle() != 0) return FCSelectionWalker::kUnchanged;
        bool refused = false;
        if (BreakChord(entry, layer, style, &pitches, &refused)) return FCSelectionWalker::kChanged;
        // A record the host would not create leaves this chord whole while others are broken: the
        // run is given up, as for a refused frame.
        return refused ? FCSelectionWalker::kCancel : FCSelectionWalker::kUnchanged;
    });
    if (changed && settings.QZPT_RESPACE_IF_NECESSARY) RespaceSelection(true);
    return changed;
}
