// One note of a chord: a view of a 10-byte note record inside its entry's record (FCNote, owned
// by its FCNoteEntry), or a detached copy that owns its own record and carries a pitch from one
// entry to another (FCNotePitch).
#pragma once

#include "framework/core/__FCBase.h"

#include <cstdint>

class FCNoteEntry;

class FCNote : public __FCBase {
public:
    static constexpr int kRecordSize = 10;
    // Note flag bits.
    static constexpr uint32_t kFlagTieStart = 0x40000000;
    static constexpr uint32_t kFlagCreated = 0x80000000;  // on every note the plug-in creates

    // A view of the record at note slot index of entry (neither is owned).
    FCNote(int index, uint8_t* record, FCNoteEntry* entry);
    FC_CLASS_INFO(FCNote)

    int GetIndex() const { return index_; }
    uint8_t* GetRecord() const { return record_; }
    // Re-points the note at its slot in a moved entry record (the owner rebinds after host calls).
    void Rebind(uint8_t* record) { record_ = record; }
    // The owning entry; null for a detached pitch.
    FCNoteEntry* GetEntry() const { return entry_; }

    // Diatonic step relative to the reference of the key signature.
    int GetDisplacement() const;
    void SetDisplacement(int displacement);
    // Chromatic alteration.
    int GetRaiseLower() const;
    void SetRaiseLower(int raiseLower);
    int GetNoteID() const;
    void SetNoteID(int id);
    uint32_t GetNoteFlags() const;
    void SetNoteFlags(uint32_t flags);
    bool IsTieStart() const { return (GetNoteFlags() & kFlagTieStart) != 0; }
    void SetTieStart(bool state);

    // Same sounding pitch: by MIDI key when both notes lie in entries whose cells have different
    // key signatures, otherwise by displacement and raise/lower. False for null.
    bool IsSamePitch(const FCNote* other) const;
    // Lower displacement, or the same displacement and a lower raise/lower.
    bool IsLowerThan(const FCNote* other) const;
    // The host's MIDI key number for the note in its cell's key (key 0 for a detached pitch or a
    // staff that ignores key signatures).
    int GetMidiKey() const;
    // The key value the note is spelled in (see GetMidiKey).
    int GetKeyValue() const;

protected:
    FCNote(int index, uint8_t* record) : index_(index), record_(record), entry_(nullptr) {}
    void SetIndex(int index) { index_ = index; }

private:
    int index_;
    uint8_t* record_;
    FCNoteEntry* entry_;
};

class FCNotePitch : public FCNote {
public:
    // A zeroed record.
    FCNotePitch();
    // A copy of the note's whole record (zeroed when note is null).
    explicit FCNotePitch(const FCNote* note);
    // Becomes what FCNotePitch(note) makes: the copy of note's record and its index.
    void CopyFrom(const FCNote* note);
    FCNotePitch(const FCNotePitch&) = delete;
    FCNotePitch& operator=(const FCNotePitch&) = delete;
    FC_CLASS_INFO(FCNotePitch)

private:
    uint8_t data_[kRecordSize];
};
