// Byte layouts of the host's entry frame (packed, 2-byte alignment, 4-byte addresses), of the
// entry record, the note record, the tuplet span record and the entry metrics block, with small
// typed accessors. The framework reads and writes frames through these; the stand-in host builds
// them from the same description, so both sides agree on every offset.
#pragma once

#include "framework/host/__FCBaseData.h"

#include <cstdint>

namespace fcframe {

static_assert(sizeof(void*) == 4, "entry frames hold 4-byte addresses");

// Frame header.
constexpr int kStaffList = 0;  // staff list number the slot refers to
constexpr int kSlot = 2;
constexpr int kMeasure = 6;
constexpr int kLayer = 8;     // 0-based layer index
constexpr int kLocked = 10;   // non-zero: never saved, entries never deleted
constexpr int kEntries = 14;  // address of the entry record array
constexpr int kEntryCount = 18;
constexpr int kTuplets = 20;  // address of the tuplet span array
constexpr int kTupletCount = 24;
constexpr int kHeaderSize = 26;
static_assert(kTupletCount + 2 == kHeaderSize, "frame header is 26 bytes");

// Entry record.
constexpr int kEntrySize = 146;
constexpr int kEntryNumber = 0;
constexpr int kDuration = 4;
constexpr int kFlags = 8;
constexpr int kFlags2 = 12;
constexpr int kNoteCount = 14;
constexpr int kNotes = 16;
constexpr int kMaxNotes = 12;
constexpr int kPosition = 136;
constexpr int kActualDuration = 140;

// Note record.
constexpr int kNoteSize = 10;
constexpr int kDisplacement = 0;
constexpr int kRaiseLower = 2;
constexpr int kNoteID = 4;
constexpr int kNoteFlags = 6;
static_assert(kNoteFlags + 4 == kNoteSize, "note record is 10 bytes");
static_assert(kNotes + kMaxNotes * kNoteSize == kPosition, "twelve note slots precede the position");
static_assert(kActualDuration + 4 + 2 == kEntrySize, "entry record is 146 bytes");

// Tuplet span record: only the first three words are used.
constexpr int kTupletSpanSize = 40;
constexpr int kSpanFirst = 0;
constexpr int kSpanLast = 2;
constexpr int kSpanDetail = 4;
static_assert(kSpanDetail + 2 <= kTupletSpanSize, "tuplet span record is 40 bytes");

// Entry metrics block filled by the host: bit 0x1 of the 32-bit word at byte 10 is the stem
// direction (set: up). The block is allocated by the caller.
constexpr int kMetricsSize = 128;
constexpr int kMetricsStemWord = 10;
constexpr uint32_t kMetricsStemUp = 0x1;
static_assert(kMetricsStemWord + 4 <= kMetricsSize, "metrics block holds the stem word");

inline uint8_t* ReadAddress(const void* data, int offset) {
    return reinterpret_cast<uint8_t*>(uintptr_t(fcdata::Read<uint32_t>(data, offset)));
}

inline void WriteAddress(void* data, int offset, const void* address) {
    fcdata::Write<uint32_t>(data, offset, uint32_t(uintptr_t(address)));
}

// Frame fields; a null frame reads as an empty one.
inline int FrameWord(const void* frame, int offset) { return frame ? fcdata::Read<int16_t>(frame, offset) : 0; }
inline uint8_t* Entries(const void* frame) { return frame ? ReadAddress(frame, kEntries) : nullptr; }
inline int EntryCount(const void* frame) {
    const int count = FrameWord(frame, kEntryCount);
    return Entries(frame) && count > 0 ? count : 0;
}
// The entry record at index i, or null when there is none.
inline uint8_t* EntryAt(const void* frame, int i) {
    return i >= 0 && i < EntryCount(frame) ? Entries(frame) + i * kEntrySize : nullptr;
}
inline uint8_t* Tuplets(const void* frame) { return frame ? ReadAddress(frame, kTuplets) : nullptr; }
inline int TupletCount(const void* frame) {
    const int count = FrameWord(frame, kTupletCount);
    return Tuplets(frame) && count > 0 ? count : 0;
}
inline uint8_t* TupletAt(const void* frame, int i) {
    return i >= 0 && i < TupletCount(frame) ? Tuplets(frame) + i * kTupletSpanSize : nullptr;
}
inline bool IsLocked(const void* frame) { return FrameWord(frame, kLocked) != 0; }

// The index of an entry record inside the frame's array, or -1 when it lies elsewhere.
inline int IndexOfRecord(const void* frame, const void* record) {
    const uint8_t* base = Entries(frame);
    if (!base || !record) return -1;
    const uintptr_t offset = uintptr_t(record) - uintptr_t(base);
    if (uintptr_t(record) < uintptr_t(base) || offset % kEntrySize != 0) return -1;
    const uintptr_t index = offset / kEntrySize;
    return index < uintptr_t(EntryCount(frame)) ? int(index) : -1;
}

// The index of the first record with this entry number, or -1.
inline int IndexOfEntryNumber(const void* frame, int32_t number) {
    for (int i = 0; i < EntryCount(frame); ++i)
        if (fcdata::Read<int32_t>(EntryAt(frame, i), kEntryNumber) == number) return i;
    return -1;
}

}  // namespace fcframe
