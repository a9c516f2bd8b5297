// The music of a document in the stand-in host: per staff, measure and layer, the ordered
// entries of that layer in that measure, each with its document-wide entry number, and the
// counter that hands out new numbers. A plain value type (part of DocumentState), so edits
// snapshot it with the records. Positions and actual durations are not stored: they follow from
// the notated durations and the tuplet records whenever a frame is handed out.
#pragma once

#include "simhost/RecordStore.h"

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace simhost {

struct StoredNote {
    int16_t displacement = 0;
    int16_t raiseLower = 0;
    int16_t noteID = 0;
    uint32_t flags = 0;

    bool operator==(const StoredNote& o) const {
        return displacement == o.displacement && raiseLower == o.raiseLower && noteID == o.noteID && flags == o.flags;
    }
    bool operator!=(const StoredNote& o) const { return !(*this == o); }
};

struct StoredEntry {
    int32_t number = 0;
    int32_t duration = 0;
    uint32_t flags = 0;
    uint16_t flags2 = 0;
    std::vector<StoredNote> notes;
    // The host's layout choice for the entry; stems point up unless laid out downwards.
    bool stemDown = false;

    bool operator==(const StoredEntry& o) const {
        return number == o.number && duration == o.duration && flags == o.flags && flags2 == o.flags2 &&
               notes == o.notes && stemDown == o.stemDown;
    }
    bool operator!=(const StoredEntry& o) const { return !(*this == o); }
};

// One layer of one staff in one measure; layer is the 0-based layer index.
struct FrameKey {
    int staff = 0;
    int measure = 0;
    int layer = 0;

    bool operator<(const FrameKey& o) const {
        if (staff != o.staff) return staff < o.staff;
        if (measure != o.measure) return measure < o.measure;
        return layer < o.layer;
    }
    bool operator==(const FrameKey& o) const { return staff == o.staff && measure == o.measure && layer == o.layer; }
};

class EntryStore {
public:
    typedef std::vector<StoredEntry> Entries;

    EntryStore() = default;
    EntryStore(const EntryStore&) = default;
    EntryStore& operator=(const EntryStore&) = default;
    // A store moved from is left empty, with a stamp of its own.
    EntryStore(EntryStore&& other) noexcept;
    EntryStore& operator=(EntryStore&& other) noexcept;

    static constexpr int kLayerCount = 4;
    static constexpr int kMaxNotes = 12;
    // At most this many entries in a frame (the frame's count is a 16-bit word).
    static constexpr int kMaxEntries = 0x7FFF;
    // The longest notated duration the host keeps (so positions never overflow).
    static constexpr int32_t kMaxDuration = 1 << 24;

    // The entries of a frame; empty when it has none.
    const Entries& Get(const FrameKey& key) const;
    // Replaces a frame's entries; an empty list removes the frame.
    void Set(const FrameKey& key, const Entries& entries);
    void Set(const FrameKey& key, Entries&& entries);
    const std::map<FrameKey, Entries>& Frames() const { return frames_; }
    // Removes every frame of the staff (the caller removes their details).
    std::vector<int32_t> EraseStaff(int staff);

    bool IsLocked(const FrameKey& key) const { return locked_.count(key) != 0; }
    void SetLocked(const FrameKey& key, bool locked);
    const std::set<FrameKey>& Locked() const { return locked_; }

    // The number the next new entry receives.
    int32_t NextNumber() const { return next_; }
    void SetNextNumber(int32_t number) {
        next_ = number;
        Touch();
    }
    // Hands out the next number; 0 when the numbers are used up.
    int32_t TakeNumber();
    // Whether an entry number has been handed out (it may since have been deleted).
    bool WasIssued(int32_t number) const { return number >= 1 && number < next_; }
    // The frame and index holding an entry number; false when no frame does.
    bool Locate(int32_t number, FrameKey* key, int* index) const;
    // The highest entry number any frame holds, 0 when none.
    int32_t HighestNumber() const;

    // Identifies the content: every change gives the store a stamp no store had before, and a
    // copy keeps the stamp of what it copied. Answers worked out from the entries can be kept as
    // long as the stamp is the same.
    uint64_t Stamp() const { return stamp_; }

    bool operator==(const EntryStore& other) const {
        return frames_ == other.frames_ && locked_ == other.locked_ && next_ == other.next_;
    }
    bool operator!=(const EntryStore& other) const { return !(*this == other); }

private:
    void Touch();
    // Keeps the number index in step when a frame's entries are replaced.
    void Unindex(const FrameKey& key);
    void Index(const FrameKey& key);

    std::map<FrameKey, Entries> frames_;
    // Which frame holds each entry number: lookups by number and the highest number need not
    // walk every frame of a large document.
    std::map<int32_t, FrameKey> numbers_;
    std::set<FrameKey> locked_;
    int32_t next_ = 1;
    uint64_t stamp_ = 0;
};

// Where each entry of a frame lies and how long it lasts, as the host computes it.
struct EntryTiming {
    int32_t position = 0;
    int32_t actual = 0;
};

// A tuplet of a frame: the indices of its first and last entry and the incidence of its record.
struct TupletSpan {
    int first = 0;
    int last = 0;
    int detail = 0;
};

// The words of a tuplet record (E\x03TP, 30 bytes): notes of symbolic duration in the time of
// reference number x reference duration. The remaining words hold display options.
struct TupletRatio {
    static constexpr uint32_t kTag = 0x45035450;
    static constexpr uint32_t kDataSize = 30;
    int notes = 0;
    int symbolic = 0;
    int referenceNumber = 0;
    int referenceDuration = 0;

    bool IsValid() const { return notes > 0 && symbolic > 0 && referenceNumber > 0 && referenceDuration > 0; }
    int64_t NotatedTotal() const { return int64_t(notes) * symbolic; }
    int64_t ActualTotal() const { return int64_t(referenceNumber) * referenceDuration; }
};

// The tuplet record of an entry (incidence 0); false when there is none.
bool FindTuplet(const RecordStore& records, int32_t entryNumber, TupletRatio* ratio);

// Positions and actual durations of a frame's entries, and its tuplet spans. A tuplet starts on
// an entry with the tuplet-start flag and a valid tuplet record; it spans the entries whose
// notated durations add up to its notated total and scales them to its actual total. Grace
// notes take no time. A tuplet starting inside another is listed but does not scale further.
void ComputeTiming(const EntryStore::Entries& entries, const RecordStore& records, std::vector<EntryTiming>* timing,
                   std::vector<TupletSpan>* spans);

// Tags of the records the host keeps per entry (keyed by entry number and incidence).
bool IsEntryDetailTag(uint32_t tag);
// Removes every detail record of an entry.
void EraseEntryDetails(RecordStore& records, int32_t entryNumber);

}  // namespace simhost
