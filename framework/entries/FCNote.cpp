#include "framework/entries/FCNote.h"

#include "framework/entries/EntryFrameLayout.h"
#include "framework/entries/FCNoteEntry.h"
#include "framework/score/FCCell.h"
#include "framework/score/FCCurrentStaffSpec.h"
#include "framework/score/FCKeySignature.h"

#include <cstring>

namespace {

// The key value of the entry's cell (its own where the staff has independent keys).
int CellKeyValue(const FCNoteEntry* entry) {
    FCCell cell(entry->GetMeasure(), entry->GetStaff());
    const FCKeySignature* key = cell.GetKeySignature();
    return key ? key->GetKeyValue() : 0;
}

}  // namespace

FCNote::FCNote(int index, uint8_t* record, FCNoteEntry* entry) : index_(index), record_(record), entry_(entry) {}

int FCNote::GetDisplacement() const { return record_ ? fcdata::Read<int16_t>(record_, fcframe::kDisplacement) : 0; }

void FCNote::SetDisplacement(int displacement) {
    if (record_) fcdata::Write<int16_t>(record_, fcframe::kDisplacement, int16_t(displacement));
}

int FCNote::GetRaiseLower() const { return record_ ? fcdata::Read<int16_t>(record_, fcframe::kRaiseLower) : 0; }

void FCNote::SetRaiseLower(int raiseLower) {
    if (record_) fcdata::Write<int16_t>(record_, fcframe::kRaiseLower, int16_t(raiseLower));
}

int FCNote::GetNoteID() const { return record_ ? fcdata::Read<int16_t>(record_, fcframe::kNoteID) : 0; }

void FCNote::SetNoteID(int id) {
    if (record_) fcdata::Write<int16_t>(record_, fcframe::kNoteID, int16_t(id));
}

uint32_t FCNote::GetNoteFlags() const { return record_ ? fcdata::Read<uint32_t>(record_, fcframe::kNoteFlags) : 0; }

void FCNote::SetNoteFlags(uint32_t flags) {
    if (record_) fcdata::Write<uint32_t>(record_, fcframe::kNoteFlags, flags);
}

void FCNote::SetTieStart(bool state) {
    const uint32_t flags = GetNoteFlags();
    SetNoteFlags(state ? (flags | kFlagTieStart) : (flags & ~kFlagTieStart));
}

bool FCNote::IsSamePitch(const FCNote* other) const {
    if (!other) return false;
    if (entry_ && other->entry_ && CellKeyValue(entry_) != CellKeyValue(other->entry_))
        return GetMidiKey() == other->GetMidiKey();
    return GetDisplacement() == other->GetDisplacement() && GetRaiseLower() == other->GetRaiseLower();
}

bool FCNote::IsLowerThan(const FCNote* other) const {
    if (!other) return false;
    if (GetDisplacement() != other->GetDisplacement()) return GetDisplacement() < other->GetDisplacement();
    return GetRaiseLower() < other->GetRaiseLower();
}

int FCNote::GetKeyValue() const {
    if (!entry_) return 0;
    // A staff that ignores key signatures spells every note in the plain key.
    FCCurrentStaffSpec inEffect;
    if (inEffect.LoadForEntry(entry_)) {
        const uint8_t* flags = inEffect.GetIndependenceFlagsField();
        if (flags && (fcdata::Read<uint16_t>(flags, 0) & FCNoteEntry::kStaffIgnoresKey)) return 0;
    }
    return CellKeyValue(entry_);
}

int FCNote::GetMidiKey() const {
    if (!record_) return 0;
    return hostapi::FX_NoteToMidi(record_, int16_t(GetKeyValue()), kFXInterfaceVersion);
}

FCNotePitch::FCNotePitch() : FCNote(0, nullptr) {
    std::memset(data_, 0, sizeof data_);
    Rebind(data_);
}

FCNotePitch::FCNotePitch(const FCNote* note) : FCNote(note ? note->GetIndex() : 0, nullptr) {
    std::memset(data_, 0, sizeof data_);
    if (note && note->GetRecord()) std::memcpy(data_, note->GetRecord(), sizeof data_);
    Rebind(data_);
}

void FCNotePitch::CopyFrom(const FCNote* note) {
    SetIndex(note ? note->GetIndex() : 0);
    std::memset(data_, 0, sizeof data_);
    if (note && note->GetRecord()) std::memcpy(data_, note->GetRecord(), sizeof data_);
    Rebind(data_);
}
