// One note entry (a note, chord or rest) bound to its 146-byte entry record inside a host entry
// frame; a collection of its FCNote objects, one per note record, which it owns. The frame and
// the record belong to the cell or layer that loaded them; edits are made in the record and
// reach the document when that owner saves the frame.
#pragma once

#include "framework/core/__FCCollection.h"
#include "framework/entries/EntryFrameLayout.h"
#include "framework/entries/FCNote.h"

#include <cstdint>

class FCMusicRegion;
class FCNoteEntries;
class FCNotePitches;

class FCNoteEntry : public __FCCollection {
public:
    static constexpr int kRecordSize = fcframe::kEntrySize;
    static constexpr int kMaxNotes = fcframe::kMaxNotes;

    // Entry flag bits.
    static constexpr uint32_t kFlagMark = 0x80000000;  // set by the chord break on what it writes
    static constexpr uint32_t kFlagNote = 0x40000000;  // clear: a rest
    static constexpr uint32_t kFlagGrace = 0x00800000;
    static constexpr uint32_t kFlagAlterMod = 0x00400000;
    static constexpr uint32_t kFlagArticulations = 0x00200000;
    static constexpr uint32_t kFlagTupletStart = 0x00080000;
    static constexpr uint32_t kFlagNotSounding = 0x00008000;
    static constexpr uint32_t kFlagRestCleared = 0x00001000;  // cleared when an entry becomes a rest
    static constexpr uint32_t kFlagBeamStart = 0x00000800;
    // Second flags word bits.
    static constexpr uint16_t kFlag2PitchChanged = 0x0004;
    static constexpr uint16_t kFlag2SmartShape = 0x0020;
    // Bit of the independence flags of the staff settings in effect: the staff ignores key signatures.
    static constexpr uint16_t kStaffIgnoresKey = 0x0001;

    // Binds to an entry record without a frame (not owned).
    explicit FCNoteEntry(uint8_t* record = nullptr);
    // Binds to a record of a frame (neither owned); measure and staff are taken from the frame.
    FCNoteEntry(uint8_t* frame, uint8_t* record);
    // Binds to a record of a frame of a staff the caller knows (the cell or layer that loaded the
    // frame for that staff); the measure is taken from the frame.
    FCNoteEntry(uint8_t* frame, uint8_t* record, int staff);
    FC_CLASS_INFO(FCNoteEntry)

    // The entry record this object edits, and its frame (neither owned).
    uint8_t* GetRecord() const { return record_; }
    uint8_t* GetFrame() const { return frame_; }
    void SetRecord(uint8_t* record) { Rebind(frame_, record); }
    // Binds to the record at its new address (after the host moved or reloaded the frame) and
    // re-points every note at its slot of that record.
    void Rebind(uint8_t* frame, uint8_t* record);
    // The same, for a frame of a staff the caller knows (a reload of the entry's own frame).
    void Rebind(uint8_t* frame, uint8_t* record, int staff);

    // --- reading ---
    // Document-wide entry number; 0 for an entry inserted but not yet saved (or no record).
    int32_t GetEntryNumber() const;
    int32_t GetDuration() const;
    // The duration after tuplet scaling, as the host last computed it.
    int32_t GetActualDuration() const;
    // Position in the measure (EDU), as the host last computed it.
    int32_t GetMeasurePos() const;
    int GetMeasure() const { return measure_; }
    int GetStaff() const { return staff_; }
    void SetMeasureAndStaff(int measure, int staff) {
        measure_ = int16_t(measure);
        staff_ = int16_t(staff);
    }
    // The frame's layer index + 1; 0 without a frame.
    int GetLayerNumber() const;

    FCNoteEntry* Previous() const { return previous_; }
    FCNoteEntry* Next() const { return next_; }
    // The previous entry when it lies in the same frame, else null.
    FCNoteEntry* PreviousInFrame() const;
    // Set by the owning cell or layer.
    void SetPrevious(FCNoteEntry* entry) { previous_ = entry; }
    void SetNext(FCNoteEntry* entry) { next_ = entry; }

    uint32_t GetEntryFlags() const { return record_ ? fcdata::Read<uint32_t>(record_, fcframe::kFlags) : 0; }
    void SetEntryFlags(uint32_t flags) {
        if (record_) fcdata::Write<uint32_t>(record_, fcframe::kFlags, flags);
    }
    // Sets or clears the given bits of the entry flags.
    void SetEntryFlagBits(uint32_t mask, bool state) {
        const uint32_t flags = GetEntryFlags();
        SetEntryFlags(state ? (flags | mask) : (flags & ~mask));
    }
    uint16_t GetSecondFlags() const;
    void SetSecondFlags(uint16_t flags);

    bool IsNote() const { return (GetEntryFlags() & kFlagNote) != 0; }
    bool IsRest() const { return !IsNote(); }
    bool IsGraceNote() const { return (GetEntryFlags() & kFlagGrace) != 0; }
    bool GetBeamStart() const { return (GetEntryFlags() & kFlagBeamStart) != 0; }
    bool HasArticulations() const { return (GetEntryFlags() & kFlagArticulations) != 0; }
    bool HasTupletStart() const { return (GetEntryFlags() & kFlagTupletStart) != 0; }

    // The record's note count (0 to 12); the notes in record order, not pitch order.
    int GetNoteCount() const {
        const int count = record_ ? fcdata::Read<int16_t>(record_, fcframe::kNoteCount) : 0;
        return count < 0 ? 0 : (count > kMaxNotes ? kMaxNotes : count);
    }
    FCNote* GetNoteAt(int i) const { return ItemAs<FCNote>(i); }
    // Index of the record in its frame, -1 when it is not found there.
    int GetIndexInFrame() const { return fcframe::IndexOfRecord(frame_, record_); }
    // Dots of the notated duration: 1536 has one, 1792 two, 1024 none.
    int GetDotCount() const;
    static int CalcDotCount(int32_t duration);
    // The entry lies inside one of its frame's tuplet spans.
    bool IsInTuplet() const;
    // False for a rest; true when any note starts a tie.
    bool HasTieStart() const;
    // A note whose previous entry starts a tie, in the same layer and in the same or the
    // immediately preceding measure.
    bool IsTiedFromPrevious() const;
    // The first note that IsSamePitch(note); null for a rest.
    FCNote* FindSamePitch(const FCNote* note) const;
    // Copies of every note record (empty for a rest); the caller owns the result.
    FCNotePitches* CreatePitches() const;
    // Makes pitches (an owning collection) hold what CreatePitches returns, reusing the pitch
    // objects it already holds: a caller copying chord after chord need not make every pitch
    // anew.
    void CopyPitchesTo(FCNotePitches* pitches) const;
    // The host's stem direction; false for a rest or when the host cannot tell.
    bool IsStemUp() const;

    // --- writing (changes stay in the frame until the owner saves it) ---
    void SetDuration(int32_t duration);
    // The position the record holds; the host recomputes positions only when it loads a frame,
    // so a task that changes durations in a held frame keeps the positions after them in step.
    void SetMeasurePos(int32_t position);
    void SetGraceNote(bool state) { SetEntryFlagBits(kFlagGrace, state); }
    void SetBeamStart(bool state) { SetEntryFlagBits(kFlagBeamStart, state); }
    void SetTupletStart(bool state) { SetEntryFlagBits(kFlagTupletStart, state); }
    void SetArticulationFlag(bool state) { SetEntryFlagBits(kFlagArticulations, state); }
    void SetMarkFlag(bool state) { SetEntryFlagBits(kFlagMark, state); }
    // Only on hosts below 0x12000000; does nothing on later hosts.
    void SetPitchChangedMark(bool state);
    void SetSmartShapeFlag(bool state);

    // A new zeroed note with the lowest free note ID and the created flag; null for a rest or a
    // full chord (12 notes). The entry owns it.
    FCNote* AddNote();
    // AddNote, then the displacement and raise/lower of note; whether a note was added.
    bool AddPitch(const FCNote* note);
    // Adds each pitch in order (skipping pitches already present when skipExisting), stopping
    // at the first that does not fit; marks the pitches changed when any was added. The number
    // added (0 for a rest).
    int AddPitches(const FCNotePitches* pitches, bool skipExisting);
    // Note count := 0; the note flag stays.
    void ClearNotes();
    // ClearNotes, then AddPitches(pitches, false), with the same result in the record and the
    // same return value; the entry's note objects are kept and rebound rather than destroyed and
    // made anew (a rewrite of every chord of a selection would otherwise allocate every note).
    int ReplacePitches(const FCNotePitches* pitches);
    // The entry holds exactly a copy of note's record, with note ID 1.
    void SetSingleNote(const FCNote* note);
    // Makes the entry a note; an entry without notes gets one zeroed note with the created flag.
    // The first note's note ID, displacement and raise/lower become 0.
    void MakeNote();
    // Makes the entry a rest: no notes, and the note, alteration, articulation and 0x1000
    // flags cleared.
    void MakeRest();
    // The note count and every note record of source, copied in order.
    void CopyNotesFrom(const FCNoteEntry* source);
    // Sets or clears the tie start of every note (nothing for a rest).
    void SetAllTies(bool state);

    // Brings the note objects in line with the record's note count (after the record changed).
    void RebuildNotes();

    // --- beamed groups: the runs of entries of one layer in one measure the host draws under one
    // beam, as the tasks find them from the beam-start flags, durations, rests and stems. Rules
    // that look at rests consult the document's beams-over-rests option afresh. ---
    // Durations from this one on (a quarter) are never beamed.
    static constexpr int32_t kUnbeamedDuration = 1024;
    // The entry belongs to no beamed group.
    bool IsUnbeamed() const;
    // The entry is not beamed to its previous entry.
    bool BreaksBeamFromPrevious() const;
    // The entry is the last entry of a beamed group.
    bool IsBeamGroupEnd() const;
    // The first entry of the entry's beamed group (possibly the entry itself); null when the
    // entry IsUnbeamed.
    FCNoteEntry* FindBeamGroupStart();
    // FindBeamGroupStart() == this, without walking back to the start of the group: a caller
    // that tests every entry in turn would otherwise walk each group once per entry.
    bool IsBeamGroupStart() const;

    // What the beam rules learn from the host: the beams-over-rests option, loaded when a rule
    // first needs it, and the stem directions of the entries the rules look at, the last few of
    // them. Each question above makes its own. A caller that asks about entry after entry while
    // it saves nothing to the host and keeps every entry object (a task walking a loaded cell
    // before saving it) may give every question one and the same, so that each entry's stem is
    // asked for once rather than once per neighbour that looks at it.
    class BeamAnswers {
    public:
        bool BeamsOverRests();
        bool IsStemUp(const FCNoteEntry* entry);

    private:
        static constexpr int kStems = 8;
        struct Stem {
            const FCNoteEntry* entry;
            bool up;
        };

        bool optionLoaded_ = false;
        bool option_ = false;
        Stem stems_[kStems];
        int stemCount_ = 0;
        int nextStem_ = 0;
    };
    // IsBeamGroupStart, with the host's answers kept in answers.
    bool IsBeamGroupStart(BeamAnswers& answers) const;
    // Walks the group that starts at this entry: each entry from here along Next, up to and
    // including the first that IsBeamGroupEnd or that the next entry cannot be beamed to (the
    // next has the beam-start flag, lasts a quarter or more, or lies in another measure or
    // layer), is appended to group (emptied first, made a view that does not own its entries).
    // When region is given and an entry lies outside it, the group is abandoned: false, and
    // group is left empty. The caller checks the group's size.
    bool CollectBeamGroup(const FCMusicRegion* region, FCNoteEntries* group);
    // The document's beams-over-rests option (off when the preference cannot be loaded).
    static bool GetBeamsOverRests();

private:
    void SetNoteCount(int count);
    int LowestFreeNoteID() const;
    uint8_t* NoteSlot(int index) const;

    uint8_t* record_;
    uint8_t* frame_;
    int16_t measure_ = 0;
    int16_t staff_ = 0;
    FCNoteEntry* previous_ = nullptr;
    FCNoteEntry* next_ = nullptr;
};
