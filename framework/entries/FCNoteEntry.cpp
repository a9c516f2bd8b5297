#include "framework/entries/FCNoteEntry.h"

#include "framework/entries/FCNotePitches.h"
#include "framework/entries/__FCNoteEntryCollection.h"
#include "framework/host/hostapi.h"
#include "framework/score/FCMiscDocPrefs.h"
#include "framework/score/FCMusicRegion.h"

#include <cstring>

namespace {

// From this host version on the entry metrics come from the newer call, and the host tracks
// rewritten pitches itself.
constexpr uint32_t kNewerHost = hostapi::kCurrentLayoutHostVersion;

}  // namespace

FCNoteEntry::FCNoteEntry(uint8_t* record) : record_(record), frame_(nullptr) { RebuildNotes(); }

FCNoteEntry::FCNoteEntry(uint8_t* frame, uint8_t* record) : record_(nullptr), frame_(nullptr) { Rebind(frame, record); }

FCNoteEntry::FCNoteEntry(uint8_t* frame, uint8_t* record, int staff) : record_(nullptr), frame_(nullptr) {
    Rebind(frame, record, staff);
}

void FCNoteEntry::Rebind(uint8_t* frame, uint8_t* record) {
    if (frame == frame_ || !frame) {
        frame_ = frame;
        record_ = record;
        RebuildNotes();
        return;
    }
    Rebind(frame, record,
           hostapi::FX_SlotToInst(int16_t(fcframe::FrameWord(frame, fcframe::kSlot)),
                                  int16_t(fcframe::FrameWord(frame, fcframe::kStaffList)), kFXInterfaceVersion));
}

void FCNoteEntry::Rebind(uint8_t* frame, uint8_t* record, int staff) {
    record_ = record;
    frame_ = frame;
    if (frame_) {
        measure_ = int16_t(fcframe::FrameWord(frame_, fcframe::kMeasure));
        staff_ = int16_t(staff);
    }
    RebuildNotes();
}

uint8_t* FCNoteEntry::NoteSlot(int index) const {
    if (!record_ || index < 0 || index >= kMaxNotes) return nullptr;
    return record_ + fcframe::kNotes + index * fcframe::kNoteSize;
}

void FCNoteEntry::RebuildNotes() {
    // Called for every entry of a frame whenever the host moves the frame's records (Break
    // inserting into a measure): the slots are computed here rather than through NoteSlot.
    const int count = GetNoteCount();
    int held = GetCount();
    while (held > count) ClearItemAt(--held);
    // A record exists whenever a note object is left (without one the count is 0).
    for (int i = 0; i < held; ++i) GetNoteAt(i)->Rebind(record_ + fcframe::kNotes + i * fcframe::kNoteSize);
    for (; held < count; ++held) Add(new FCNote(held, NoteSlot(held), this));
}

int32_t FCNoteEntry::GetEntryNumber() const {
    return record_ ? fcdata::Read<int32_t>(record_, fcframe::kEntryNumber) : 0;
}

int32_t FCNoteEntry::GetDuration() const { return record_ ? fcdata::Read<int32_t>(record_, fcframe::kDuration) : 0; }

int32_t FCNoteEntry::GetActualDuration() const {
    return record_ ? fcdata::Read<int32_t>(record_, fcframe::kActualDuration) : 0;
}

int32_t FCNoteEntry::GetMeasurePos() const { return record_ ? fcdata::Read<int32_t>(record_, fcframe::kPosition) : 0; }

int FCNoteEntry::GetLayerNumber() const { return frame_ ? fcframe::FrameWord(frame_, fcframe::kLayer) + 1 : 0; }

FCNoteEntry* FCNoteEntry::PreviousInFrame() const {
    return previous_ && previous_->frame_ == frame_ ? previous_ : nullptr;
}

uint16_t FCNoteEntry::GetSecondFlags() const { return record_ ? fcdata::Read<uint16_t>(record_, fcframe::kFlags2) : 0; }

void FCNoteEntry::SetSecondFlags(uint16_t flags) {
    if (record_) fcdata::Write<uint16_t>(record_, fcframe::kFlags2, flags);
}

void FCNoteEntry::SetNoteCount(int count) {
    if (record_) fcdata::Write<int16_t>(record_, fcframe::kNoteCount, int16_t(count));
}

int FCNoteEntry::CalcDotCount(int32_t duration) {
    int bit = 8192;
    while (bit > 0 && !(duration & bit)) bit >>= 1;
    int dots = 0;
    for (bit >>= 1; bit > 0 && (duration & bit); bit >>= 1) ++dots;
    return dots;
}

int FCNoteEntry::GetDotCount() const { return CalcDotCount(GetDuration()); }

bool FCNoteEntry::IsInTuplet() const {
    // The span's records are compared by position rather than by entry number, so entries that
    // have no number yet are placed correctly too.
    const int index = GetIndexInFrame();
    if (index < 0) return false;
    for (int i = 0; i < fcframe::TupletCount(frame_); ++i) {
        const uint8_t* span = fcframe::TupletAt(frame_, i);
        const int first = fcdata::Read<int16_t>(span, fcframe::kSpanFirst);
        const int last = fcdata::Read<int16_t>(span, fcframe::kSpanLast);
        if (index >= first && index <= last) return true;
    }
    return false;
}

bool FCNoteEntry::HasTieStart() const {
    if (IsRest()) return false;
    for (int i = 0; i < GetCount(); ++i)
        if (GetNoteAt(i)->IsTieStart()) return true;
    return false;
}

bool FCNoteEntry::IsTiedFromPrevious() const {
    if (!IsNote() || !previous_ || !previous_->HasTieStart()) return false;
    if (previous_->GetLayerNumber() != GetLayerNumber()) return false;
    return previous_->GetMeasure() == GetMeasure() || previous_->GetMeasure() == GetMeasure() - 1;
}

FCNote* FCNoteEntry::FindSamePitch(const FCNote* note) const {
    if (IsRest() || !note) return nullptr;
    for (int i = 0; i < GetCount(); ++i)
        if (GetNoteAt(i)->IsSamePitch(note)) return GetNoteAt(i);
    return nullptr;
}

FCNotePitches* FCNoteEntry::CreatePitches() const {
    FCNotePitches* pitches = new FCNotePitches;
    if (IsNote())
        for (int i = 0; i < GetCount(); ++i) pitches->Add(new FCNotePitch(GetNoteAt(i)));
    return pitches;
}

void FCNoteEntry::CopyPitchesTo(FCNotePitches* pitches) const {
    if (!pitches) return;
    const int count = IsNote() ? GetCount() : 0;
    while (pitches->GetCount() > count) pitches->ClearItemAt(pitches->GetCount() - 1);
    for (int i = 0; i < pitches->GetCount(); ++i) {
        if (FCNotePitch* pitch = pitches->GetItemAt(i)) {
            pitch->CopyFrom(GetNoteAt(i));
        } else {
            pitches->ClearItemAt(i);
            pitches->InsertItemAt(new FCNotePitch(GetNoteAt(i)), i);
        }
    }
    while (pitches->GetCount() < count) pitches->Add(new FCNotePitch(GetNoteAt(pitches->GetCount())));
}

bool FCNoteEntry::IsStemUp() const {
    if (IsRest()) return false;
    uint8_t block[fcframe::kMetricsSize] = {0};
    const int16_t staff = int16_t(GetStaff()), measure = int16_t(GetMeasure());
    const int16_t filled =
        hostapi::GetHostVersion() >= kNewerHost
            ? hostapi::FX_GetEntryMetrics2014(staff, measure, GetEntryNumber(), block, 0, 1, kFXInterfaceVersion)
            : hostapi::FX_GetEntryMetrics2009a(staff, measure, GetEntryNumber(), block, 0, 1, kFXInterfaceVersion);
    if (!filled) return false;
    const bool up = (fcdata::Read<uint32_t>(block, fcframe::kMetricsStemWord) & fcframe::kMetricsStemUp) != 0;
    hostapi::FX_FreeEntryMetrics(block, kFXInterfaceVersion);
    return up;
}

void FCNoteEntry::SetDuration(int32_t duration) {
    if (record_) fcdata::Write<int32_t>(record_, fcframe::kDuration, duration);
}

void FCNoteEntry::SetMeasurePos(int32_t position) {
    if (record_) fcdata::Write<int32_t>(record_, fcframe::kPosition, position);
}

void FCNoteEntry::SetPitchChangedMark(bool state) {
    if (hostapi::GetHostVersion() >= kNewerHost) return;
    const uint16_t flags = GetSecondFlags();
    SetSecondFlags(state ? uint16_t(flags | kFlag2PitchChanged) : uint16_t(flags & ~kFlag2PitchChanged));
}

void FCNoteEntry::SetSmartShapeFlag(bool state) {
    const uint16_t flags = GetSecondFlags();
    SetSecondFlags(state ? uint16_t(flags | kFlag2SmartShape) : uint16_t(flags & ~kFlag2SmartShape));
}

int FCNoteEntry::LowestFreeNoteID() const {
    for (int id = 1;; ++id) {
        bool taken = false;
        for (int i = 0; i < GetCount() && !taken; ++i) taken = GetNoteAt(i)->GetNoteID() == id;
        if (!taken) return id;
    }
}

FCNote* FCNoteEntry::AddNote() {
    const int count = GetNoteCount();
    if (!record_ || IsRest() || count >= kMaxNotes) return nullptr;
    RebuildNotes();
    uint8_t* slot = NoteSlot(count);
    std::memset(slot, 0, fcframe::kNoteSize);
    FCNote* note = new FCNote(count, slot, this);
    note->SetNoteFlags(FCNote::kFlagCreated);
    note->SetNoteID(LowestFreeNoteID());
    Add(note);
    SetNoteCount(count + 1);
    return note;
}

bool FCNoteEntry::AddPitch(const FCNote* note) {
    if (!note) return false;
    FCNote* added = AddNote();
    if (!added) return false;
    added->SetDisplacement(note->GetDisplacement());
    added->SetRaiseLower(note->GetRaiseLower());
    return true;
}

int FCNoteEntry::AddPitches(const FCNotePitches* pitches, bool skipExisting) {
    if (!pitches || IsRest()) return 0;
    int added = 0;
    for (int i = 0; i < pitches->GetCount(); ++i) {
        const FCNotePitch* pitch = pitches->GetItemAt(i);
        if (skipExisting && FindSamePitch(pitch)) continue;
        if (!AddPitch(pitch)) break;
        ++added;
    }
    if (added > 0) SetPitchChangedMark(true);
    return added;
}

void FCNoteEntry::ClearNotes() {
    SetNoteCount(0);
    ClearAll();
}

int FCNoteEntry::ReplacePitches(const FCNotePitches* pitches) {
    if (!record_ || !pitches || IsRest()) {
        ClearNotes();
        return 0;
    }
    // The notes AddNote would make one by one after ClearNotes: each slot zeroed, the created
    // flag, the lowest free note ID (with the earlier new notes the only ones, that is i + 1),
    // then the pitch; a null pitch or a full chord ends the list.
    int count = 0;
    for (; count < pitches->GetCount() && count < kMaxNotes; ++count) {
        const FCNotePitch* pitch = pitches->GetItemAt(count);
        if (!pitch) break;
        const int displacement = pitch->GetDisplacement(), raiseLower = pitch->GetRaiseLower();
        uint8_t* slot = NoteSlot(count);
        std::memset(slot, 0, fcframe::kNoteSize);
        fcdata::Write<uint32_t>(slot, fcframe::kNoteFlags, FCNote::kFlagCreated);
        fcdata::Write<int16_t>(slot, fcframe::kNoteID, int16_t(count + 1));
        fcdata::Write<int16_t>(slot, fcframe::kDisplacement, int16_t(displacement));
        fcdata::Write<int16_t>(slot, fcframe::kRaiseLower, int16_t(raiseLower));
    }
    // A note object keeps the index it was made with: only objects standing at their own index
    // can stand for the new notes.
    for (int i = 0; i < GetCount(); ++i)
        if (!GetNoteAt(i) || GetNoteAt(i)->GetIndex() != i) {
            ClearAll();
            break;
        }
    SetNoteCount(count);
    RebuildNotes();
    if (count > 0) SetPitchChangedMark(true);
    return count;
}

void FCNoteEntry::SetSingleNote(const FCNote* note) {
    if (!record_ || !note || !note->GetRecord()) return;
    uint8_t copy[fcframe::kNoteSize];
    std::memcpy(copy, note->GetRecord(), sizeof copy);  // the note may be one of this entry's own
    std::memcpy(NoteSlot(0), copy, sizeof copy);
    fcdata::Write<int16_t>(NoteSlot(0), fcframe::kNoteID, 1);
    SetNoteCount(1);
    RebuildNotes();
}

void FCNoteEntry::MakeNote() {
    if (!record_) return;
    SetEntryFlagBits(kFlagNote, true);
    if (GetNoteCount() == 0) {
        std::memset(NoteSlot(0), 0, fcframe::kNoteSize);
        fcdata::Write<uint32_t>(NoteSlot(0), fcframe::kNoteFlags, FCNote::kFlagCreated);
        SetNoteCount(1);
    }
    RebuildNotes();
    FCNote* first = GetNoteAt(0);
    first->SetNoteID(0);
    first->SetDisplacement(0);
    first->SetRaiseLower(0);
}

void FCNoteEntry::MakeRest() {
    ClearNotes();
    SetEntryFlagBits(kFlagNote | kFlagAlterMod | kFlagRestCleared | kFlagArticulations, false);
}

void FCNoteEntry::CopyNotesFrom(const FCNoteEntry* source) {
    if (!record_ || !source || source == this || !source->GetRecord()) return;
    const int count = source->GetNoteCount();
    std::memmove(NoteSlot(0), source->GetRecord() + fcframe::kNotes, size_t(count) * fcframe::kNoteSize);
    SetNoteCount(count);
    RebuildNotes();
}

void FCNoteEntry::SetAllTies(bool state) {
    if (IsRest()) return;
    for (int i = 0; i < GetCount(); ++i) GetNoteAt(i)->SetTieStart(state);
}

// --- beamed groups ---

namespace {

bool IsLong(const FCNoteEntry* entry) { return entry->GetDuration() >= FCNoteEntry::kUnbeamedDuration; }

bool SameMeasure(const FCNoteEntry* a, const FCNoteEntry* b) { return a->GetMeasure() == b->GetMeasure(); }

bool SameMeasureAndLayer(const FCNoteEntry* a, const FCNoteEntry* b) {
    return SameMeasure(a, b) && a->GetLayerNumber() == b->GetLayerNumber();
}

// Unbeamed towards the next entry.
bool UnbeamedToNext(const FCNoteEntry* entry, FCNoteEntry::BeamAnswers& answers) {
    const FCNoteEntry* next = entry->Next();
    if (!next || !SameMeasure(next, entry)) return true;
    bool unbeamed = next->GetBeamStart() || IsLong(next) || answers.IsStemUp(next) != answers.IsStemUp(entry);
    // Look past rests for the next note; a beam start on the very next entry keeps the break.
    for (const FCNoteEntry* scan = next; scan && SameMeasure(scan, entry); scan = scan->Next()) {
        if (scan->GetBeamStart()) {
            if (scan == next) return unbeamed;
            break;
        }
        if (scan->IsNote()) return unbeamed || IsLong(scan);
    }
    // Only rests follow before the next break: they carry the beam when beams run over rests.
    return !answers.BeamsOverRests();
}

// Unbeamed towards the previous entry.
bool UnbeamedToPrevious(const FCNoteEntry* entry, FCNoteEntry::BeamAnswers& answers) {
    const FCNoteEntry* previous = entry->Previous();
    if (!previous || !SameMeasure(previous, entry)) return true;
    const bool unbeamed = IsLong(previous) || answers.IsStemUp(previous) != answers.IsStemUp(entry);
    for (const FCNoteEntry* scan = previous; scan && SameMeasure(scan, entry); scan = scan->Previous()) {
        if (scan->IsNote()) return unbeamed || IsLong(scan);
        if (scan->GetBeamStart()) break;
    }
    return !answers.BeamsOverRests();
}

bool Unbeamed(const FCNoteEntry* entry, FCNoteEntry::BeamAnswers& answers) {
    if (IsLong(entry)) return true;
    const bool toNext = UnbeamedToNext(entry, answers);
    if (entry->GetBeamStart() || !toNext) return toNext;
    return UnbeamedToPrevious(entry, answers);
}

bool BreaksFromPrevious(const FCNoteEntry* entry, FCNoteEntry::BeamAnswers& answers) {
    if (entry->IsRest()) {
        // A rest starts a new beam only when the beam runs over it to a note.
        if (IsLong(entry) || !entry->GetBeamStart() || !answers.BeamsOverRests()) return false;
        for (const FCNoteEntry* scan = entry->Next();
             scan && !scan->GetBeamStart() && !IsLong(scan) && SameMeasureAndLayer(scan, entry); scan = scan->Next())
            if (scan->IsNote()) return true;
        return false;
    }
    const FCNoteEntry* previous = entry->Previous();
    if (entry->GetBeamStart() || !previous || IsLong(entry)) return true;
    const FCNoteEntry* next = entry->Next();
    const bool lastOfMeasure = !next || !SameMeasure(next, entry);
    if (lastOfMeasure && entry->GetDuration() != previous->GetDuration() && IsLong(previous)) return true;
    return SameMeasureAndLayer(previous, entry) && previous->IsRest();
}

// The next entry does not carry the beam on from this one.
bool EndsBeforeNext(const FCNoteEntry* entry) {
    const FCNoteEntry* next = entry->Next();
    return !next || !SameMeasureAndLayer(next, entry) || IsLong(next) || next->GetBeamStart();
}

bool GroupEnd(const FCNoteEntry* entry, FCNoteEntry::BeamAnswers& answers) {
    if (BreaksFromPrevious(entry, answers)) return false;
    if (entry->IsRest()) {
        if (IsLong(entry) || entry->GetBeamStart() || !EndsBeforeNext(entry) || !answers.BeamsOverRests()) return false;
        // Back to the start of the measure: a chain that runs on into earlier measures (a layer)
        // answers as the measure's own chain does.
        for (const FCNoteEntry* scan = entry->Previous(); scan && SameMeasureAndLayer(scan, entry);
             scan = scan->Previous())
            if (IsLong(scan) || (scan->IsRest() && scan->GetBeamStart())) return false;
        return true;
    }
    if (EndsBeforeNext(entry)) return true;
    return BreaksFromPrevious(entry->Next(), answers);
}

}  // namespace

bool FCNoteEntry::BeamAnswers::BeamsOverRests() {
    if (!optionLoaded_) {
        option_ = GetBeamsOverRests();
        optionLoaded_ = true;
    }
    return option_;
}

bool FCNoteEntry::BeamAnswers::IsStemUp(const FCNoteEntry* entry) {
    for (int i = 0; i < stemCount_; ++i)
        if (stems_[i].entry == entry) return stems_[i].up;
    const bool up = entry->IsStemUp();
    stems_[nextStem_] = Stem{entry, up};
    nextStem_ = (nextStem_ + 1) % kStems;
    if (stemCount_ < kStems) ++stemCount_;
    return up;
}

bool FCNoteEntry::GetBeamsOverRests() {
    FCMiscDocPrefs prefs;
    return prefs.Load(1) && prefs.GetBeamOverRests();
}

bool FCNoteEntry::IsUnbeamed() const {
    FCNoteEntry::BeamAnswers answers;
    return Unbeamed(this, answers);
}

bool FCNoteEntry::BreaksBeamFromPrevious() const {
    FCNoteEntry::BeamAnswers answers;
    return BreaksFromPrevious(this, answers);
}

bool FCNoteEntry::IsBeamGroupEnd() const {
    FCNoteEntry::BeamAnswers answers;
    return GroupEnd(this, answers);
}

FCNoteEntry* FCNoteEntry::FindBeamGroupStart() {
    FCNoteEntry::BeamAnswers answers;
    if (Unbeamed(this, answers)) return nullptr;
    FCNoteEntry* start = this;
    while (start->Previous() && !start->GetBeamStart()) {
        FCNoteEntry* previous = start->Previous();
        if (Unbeamed(previous, answers) || GroupEnd(previous, answers)) break;
        start = previous;
    }
    return start;
}

bool FCNoteEntry::IsBeamGroupStart() const {
    BeamAnswers answers;
    return IsBeamGroupStart(answers);
}

bool FCNoteEntry::IsBeamGroupStart(BeamAnswers& answers) const {
    // The first step of FindBeamGroupStart's walk: the walk stays at this entry only when it
    // stops before moving, and once it has moved it never comes back.
    if (Unbeamed(this, answers)) return false;
    const FCNoteEntry* previous = Previous();
    return !previous || GetBeamStart() || Unbeamed(previous, answers) || GroupEnd(previous, answers);
}

bool FCNoteEntry::CollectBeamGroup(const FCMusicRegion* region, FCNoteEntries* group) {
    if (!group) return false;
    group->SetOwnership(false);
    group->ClearView();
    FCNoteEntry::BeamAnswers answers;
    // The region's staff test asks the host; the entries of a group share their staff, so it is
    // made again only for an entry of another staff.
    int testedStaff = 0;
    bool staffTested = false, staffIncluded = false;
    for (FCNoteEntry* entry = this; entry; entry = entry->Next()) {
        if (region) {
            bool included = region->IsMeasurePosIncluded(entry->GetMeasure(), entry->GetMeasurePos());
            if (included) {
                if (!staffTested || entry->GetStaff() != testedStaff) {
                    testedStaff = entry->GetStaff();
                    staffIncluded = region->IsStaffIncluded(testedStaff);
                    staffTested = true;
                }
                included = staffIncluded;
            }
            if (!included) {
                group->ClearView();
                return false;
            }
        }
        group->Add(entry);
        // Besides the group's end, an entry the next one cannot be beamed to ends the walk: a
        // note after a rest is never a group end, and the walk must not run on into longer notes,
        // the next beam or the next measure.
        if (GroupEnd(entry, answers) || EndsBeforeNext(entry)) break;
    }
    return true;
}
