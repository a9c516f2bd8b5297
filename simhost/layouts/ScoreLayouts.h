// The host's record layouts for the score structure, as the stand-in host keeps them: record
// tags, sizes, field offsets and flag bits of measures, staves, independent cells, composite time
// signatures, document preferences, parts, systems, regions, entry frames, entries and notes,
// with typed reads and writes at byte offsets. The host's side of the contract: nothing here
// comes from the plug-in's classes, so an offset wrong on one side shows against the other.
// Records are packed little-endian with 2-byte alignment; addresses are 4 bytes.
#pragma once

#include "framework/host/hostapi.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace simhost {
namespace layout {

// Typed field access at byte offsets (memcpy: fields need not be aligned).
template <typename T>
inline T Read(const void* data, int offset) {
    T value;
    std::memcpy(&value, static_cast<const uint8_t*>(data) + offset, sizeof(T));
    return value;
}

template <typename T>
inline void Write(void* data, int offset, T value) {
    std::memcpy(static_cast<uint8_t*>(data) + offset, &value, sizeof(T));
}

// A field of a stored record; 0 when the record ends before the field does.
template <typename T>
inline T Field(const std::vector<uint8_t>& record, int offset) {
    return offset >= 0 && record.size() >= size_t(offset) + sizeof(T) ? Read<T>(record.data(), offset) : T(0);
}

// Writes a field of a stored record; false (and nothing written) when the record is too short.
template <typename T>
inline bool SetField(std::vector<uint8_t>& record, int offset, T value) {
    if (offset < 0 || record.size() < size_t(offset) + sizeof(T)) return false;
    Write<T>(record.data(), offset, value);
    return true;
}

// Sets or clears bits of a 16-bit word field (when the record holds it).
inline bool SetWordBits(std::vector<uint8_t>& record, int offset, uint16_t mask, bool state) {
    const uint16_t word = Field<uint16_t>(record, offset);
    return SetField<uint16_t>(record, offset, state ? uint16_t(word | mask) : uint16_t(word & ~mask));
}

// Host versions at which layouts change.
constexpr uint32_t kUTF16Host = 0x11000000;
constexpr uint32_t kCurrentLayoutHost = 0x12000000;
// The data version of records whose layout never changed.
constexpr uint32_t kDefaultDataVersion = 0x12050000;

// Measures: tag SOMS, key {measure (from 1), 0}. Two layouts; a stored record's size tells which.
namespace measure {
constexpr uint32_t kTag = FXTag('S', 'O', 'M', 'S');
struct Fields {
    uint32_t dataVersion;
    uint32_t size;
    int key;           // the 16-bit key value
    int beats;         // beats, or the composite top's item number
    int beatDuration;  // beat duration in EDUs, or the composite bottom's item number
    int timeFlags;
    int barline;
    int flags;
};
constexpr Fields kCurrent = {kCurrentLayoutHost, 30, 2, 8, 10, 12, 14, 20};
constexpr Fields kOld = {0x0A000000, 26, 2, 4, 6, 8, 10, 16};
static_assert(kCurrent.size == 30 && kCurrent.flags + 2 <= int(kCurrent.size), "measure record, 30 bytes");
static_assert(kOld.size == 26 && kOld.flags + 2 <= int(kOld.size), "old measure record, 26 bytes");

inline const Fields& ForHostVersion(uint32_t hostVersion) {
    return hostVersion >= kCurrentLayoutHost ? kCurrent : kOld;
}
// The layout of a stored record of this size; null when it is shorter than either.
inline const Fields* ForSize(size_t size) {
    if (size >= kCurrent.size) return &kCurrent;
    if (size >= kOld.size) return &kOld;
    return nullptr;
}

// Time-flags word (also the time flags of an independent cell).
constexpr uint16_t kCompositeBeats = 0x0080;
constexpr uint16_t kCompositeDuration = 0x0040;
constexpr uint16_t kHasSmartShapes = 0x2000;
// Barline word.
constexpr uint16_t kBarlineStyleMask = 0x00F0;
constexpr uint16_t kHasExpressions = 0x4000;
// Measure-flags word.
constexpr uint16_t kHasChords = 0x0008;

// Barline styles 1-7 (2 double, 4 solid, 5 final) by their bits in the barline word.
struct BarlineCode {
    uint16_t bits;
    int style;
};
constexpr BarlineCode kBarlines[] = {{0x10, 1}, {0x20, 2}, {0x30, 3}, {0x40, 4}, {0x50, 5}, {0x60, 6}, {0xE0, 7}};
inline uint16_t BarlineBits(int style) {
    for (const BarlineCode& code : kBarlines)
        if (code.style == style) return code.bits;
    return 0;
}
inline int BarlineStyle(uint16_t barlineWord) {
    for (const BarlineCode& code : kBarlines)
        if (code.bits == (barlineWord & kBarlineStyleMask)) return code.style;
    return 0;
}
}  // namespace measure

// Staves: tag SOIS, key {staff, 0}. The staff settings in effect (tag SOSC, key {staff, measure,
// position low word, high word}) and staff-style definitions begin with the same structure.
namespace staff {
constexpr uint32_t kTag = FXTag('S', 'O', 'I', 'S');
constexpr uint32_t kCurrentSpecTag = FXTag('S', 'O', 'S', 'C');
constexpr uint32_t kSize = 136;     // host 0x12000000 and later
constexpr uint32_t kSize11 = 132;   // host 0x11000000 up to 0x12000000
constexpr uint32_t kSizeOld = 114;  // older hosts
inline uint32_t SizeForHostVersion(uint32_t hostVersion) {
    if (hostVersion >= kCurrentLayoutHost) return kSize;
    return hostVersion < kUTF16Host ? kSizeOld : kSize11;
}
inline uint32_t DataVersionForHostVersion(uint32_t hostVersion) {
    if (hostVersion >= kCurrentLayoutHost) return kCurrentLayoutHost;
    return hostVersion < kUTF16Host ? 0x0F000000 : kUTF16Host;
}

constexpr int kDefaultClef = 0;
constexpr int kTransposition = 2;
constexpr int kAltNotation = 4;
constexpr int kStaffLines = 6;
constexpr int kLineSpacing = 8;
constexpr int kNotationFlags = 10;
constexpr int kTopLine = 12;
constexpr int kTopBarline = 14;
constexpr int kBottomBarline = 16;
constexpr int kFullName = 18;
constexpr int kAbbreviatedName = 20;
constexpr int kIndependenceFlags = 22;
constexpr int kKeyTransposition = 24;
constexpr int kDisplayFlags = 26;
constexpr int kStemFlags = 28;
constexpr int kHorizontalOffset = 30;
constexpr int kVerticalOffset = 32;
constexpr int kOptions = 72;
constexpr int kPlaybackChannel = 74;
constexpr int kInstrument = 76;
constexpr int kGroupFlags = 78;
// Only in the two newer layouts.
constexpr int kNameFont = 114;  // 6 bytes
constexpr int kTablature = 120;
// Only in the current layout.
constexpr int kExtendedFlags = 132;
static_assert(kGroupFlags + 2 <= int(kSizeOld), "the old staff layout holds the common fields");
static_assert(kTablature + 2 <= int(kSize11), "the 132-byte layout holds the name font and tablature");
static_assert(kExtendedFlags + 2 <= int(kSize), "the current layout holds the extended flags");

// Notation-flags word: the two special notation styles (style 1 wins when both are set).
constexpr uint16_t kNotationStyle1 = 0x2000;
constexpr uint16_t kNotationStyle2 = 0x0200;
// Independence-flags word.
constexpr uint16_t kIndependentKey = 0x8000;
constexpr uint16_t kIndependentTime = 0x4000;
constexpr uint16_t kIgnoresKey = 0x0001;  // notes spelled and played in C
}  // namespace staff

// A cell's own key and time signature: key {staff, measure, 0, 0}. Tag SDFL from host
// 0x12000000, D\x02FL before; documents keep the tag of the host that wrote them.
namespace cell {
constexpr uint32_t kTag = FXTag('S', 'D', 'F', 'L');
constexpr uint32_t kOldTag = FXTag('D', '\x02', 'F', 'L');
constexpr uint32_t kSize = 20;
constexpr int kPresence = 0;  // which of the two signatures the cell has
constexpr int kKey = 2;       // key value, as a measure stores it
constexpr int kBeats = 4;     // as in the measure record
constexpr int kBeatDuration = 6;
constexpr int kTimeFlags = 8;  // composite bits as in the measure record
constexpr uint16_t kHasKey = 0x0001;
constexpr uint16_t kHasTime = 0x0002;
static_assert(kTimeFlags + 2 <= int(kSize), "independent cell record is 20 bytes");
inline uint32_t TagForHostVersion(uint32_t hostVersion) { return hostVersion >= kCurrentLayoutHost ? kTag : kOldTag; }
inline uint32_t DataVersionForHostVersion(uint32_t hostVersion) {
    return hostVersion >= kCurrentLayoutHost ? kCurrentLayoutHost : 0x0F000000;
}
}  // namespace cell

// Composite time signatures: records of 12 bytes, key {item, incidence}; the incidences of an
// item in order hold its entries. A measure or cell with a composite bit names the item.
namespace composite {
constexpr uint32_t kSize = 12;
// Tops (tag otTU): two entries of three words: beats, 0, starts-a-group. An element whose first
// entry is unused is unused as a whole; an entry is used when either of its first words is set.
constexpr uint32_t kTopTag = FXTag('o', 't', 'T', 'U');
constexpr int kTopEntries = 2;
constexpr int kTopEntrySize = 6;
constexpr int kTopBeats = 0;
constexpr int kTopSecondWord = 2;
constexpr int kTopStartsGroup = 4;
// Bottoms (tag otTL): three entries of two words: duration in EDUs, starts-a-group. The entries
// after an unused one (duration 0) are unused.
constexpr uint32_t kBottomTag = FXTag('o', 't', 'T', 'L');
constexpr int kBottomEntries = 3;
constexpr int kBottomEntrySize = 4;
constexpr int kBottomDuration = 0;
constexpr int kBottomStartsGroup = 2;
static_assert(kTopEntries * kTopEntrySize == int(kSize), "top element is 12 bytes");
static_assert(kBottomEntries * kBottomEntrySize == int(kSize), "bottom element is 12 bytes");
}  // namespace composite

// Document preferences.
namespace prefs {
// General preferences: tag pfgp, key {1, 0}.
constexpr uint32_t kGeneralTag = FXTag('p', 'f', 'g', 'p');
constexpr uint32_t kGeneralSize = 66;
constexpr uint32_t kGeneralDataVersion = 0x0D000000;
constexpr int kMeasurementUnit = 30;  // int16: 1 EVPUs, 2 inches, 3 cm, 4 points, 5 picas, 6 spaces
static_assert(kMeasurementUnit + 2 <= int(kGeneralSize), "general preferences are 66 bytes");

// The miscellaneous preferences (pfMI) are kept in 12-byte other records; their beam flags are
// word 1 of the record ot41 at the document-wide item.
constexpr uint32_t kOtherSize = 12;
constexpr uint32_t kOtherDataVersion = 0x12050000;
constexpr uint16_t kDocumentItem = 0xFFFE;
constexpr uint32_t kBeamFlagsTag = FXTag('o', 't', '4', '1');
constexpr int kBeamFlags = 2;
constexpr uint16_t kBeamOverRests = 0x0001;
constexpr uint16_t kBeamFourEighthsInCommonTime = 0x0008;
static_assert(kBeamFlags + 2 <= int(kOtherSize), "other records are 12 bytes");
}  // namespace prefs

// Parts: tag otpD, key {part (0 the score), 0}; the record's content is not read.
namespace part {
constexpr uint32_t kTag = FXTag('o', 't', 'p', 'D');
constexpr uint32_t kSize = 12;
}  // namespace part

// Laid-out systems: tag SOSS, key {system (from 1), 0}; each part has its own.
namespace staffsystem {
constexpr uint32_t kTag = FXTag('S', 'O', 'S', 'S');
constexpr uint32_t kSize = 28;
constexpr int kFirstMeasure = 8;        // int16
constexpr int kNextSystemMeasure = 12;  // int16: the first measure of the next system
static_assert(kNextSystemMeasure + 2 <= int(kSize), "staff system record is 28 bytes");
}  // namespace staffsystem

// The staves of a system, top to bottom: tag SOIu, key {system, incidence}. System 0 is a staff
// list: the score order (or a part's own order). A staff's size in a laid-out system: tag dtLP,
// key {system, staff}, absent when 100 percent.
namespace systemstaff {
constexpr uint32_t kTag = FXTag('S', 'O', 'I', 'u');
constexpr uint32_t kSize = 24;
constexpr int kStaff = 0;  // int16
constexpr uint32_t kSizeTag = FXTag('d', 't', 'L', 'P');
constexpr uint32_t kSizeSize = 10;
constexpr int kPercent = 0;  // int16
constexpr int kDefaultPercent = 100;
static_assert(kStaff + 2 <= int(kSize) && kPercent + 2 <= int(kSizeSize), "system staff records");
}  // namespace systemstaff

// The region structure the selection calls pass (20 bytes).
namespace region {
constexpr int kSize = 20;
constexpr int kStartList = 0;  // int16 staff list of the start slot
constexpr int kStartSlot = 2;
constexpr int kStartMeasure = 4;
constexpr int kStartPosition = 6;  // int32 EDUs
constexpr int kEndList = 10;
constexpr int kEndSlot = 12;
constexpr int kEndMeasure = 14;
constexpr int kEndPosition = 16;  // int32 EDUs
constexpr int32_t kEndOfMeasure = 0x7FFFFFFF;
static_assert(kEndPosition + 4 == kSize, "region structure is 20 bytes");
}  // namespace region

// The entry frame the host hands out for one layer of a cell: a header with the addresses of the
// entry records and the tuplet spans.
namespace frame {
static_assert(sizeof(void*) == 4, "entry frames hold 4-byte addresses");
constexpr int kStaffList = 0;
constexpr int kSlot = 2;
constexpr int kMeasure = 6;
constexpr int kLayer = 8;     // 0-based
constexpr int kLocked = 10;   // non-zero: never saved, entries never deleted
constexpr int kEntries = 14;  // address of the entry record array
constexpr int kEntryCount = 18;
constexpr int kTuplets = 20;  // address of the tuplet span array
constexpr int kTupletCount = 24;
constexpr int kHeaderSize = 26;
static_assert(kTupletCount + 2 == kHeaderSize, "frame header is 26 bytes");

// Tuplet span: entry indexes first and last, and the tuplet's incidence; the rest is unused.
constexpr int kSpanSize = 40;
constexpr int kSpanFirst = 0;
constexpr int kSpanLast = 2;
constexpr int kSpanDetail = 4;
static_assert(kSpanDetail + 2 <= kSpanSize, "tuplet span record is 40 bytes");

// The entry metrics block the caller allocates: bit 0x1 of the 32-bit word at 10 is the stem
// direction (set: up).
constexpr int kMetricsSize = 128;
constexpr int kMetricsStemWord = 10;
constexpr uint32_t kMetricsStemUp = 0x1;
static_assert(kMetricsStemWord + 4 <= kMetricsSize, "metrics block holds the stem word");

inline uint8_t* ReadAddress(const void* data, int offset) {
    return reinterpret_cast<uint8_t*>(uintptr_t(Read<uint32_t>(data, offset)));
}
inline void WriteAddress(void* data, int offset, const void* address) {
    Write<uint32_t>(data, offset, uint32_t(uintptr_t(address)));
}
}  // namespace frame

// An entry record of a frame (146 bytes) with up to twelve note records in it.
namespace entry {
constexpr int kSize = 146;
constexpr int kNumber = 0;    // int32, document-wide
constexpr int kDuration = 4;  // int32 notated EDUs
constexpr int kFlags = 8;     // uint32
constexpr int kFlags2 = 12;   // uint16
constexpr int kNoteCount = 14;
constexpr int kNotes = 16;
constexpr int kMaxNotes = 12;
constexpr int kPosition = 136;        // int32 EDUs from the start of the measure
constexpr int kActualDuration = 140;  // int32 EDUs, tuplets applied

constexpr uint32_t kMark = 0x80000000;  // set by the chord break on what it writes
constexpr uint32_t kNote = 0x40000000;  // clear: a rest
constexpr uint32_t kGrace = 0x00800000;
constexpr uint32_t kAlterMod = 0x00400000;
constexpr uint32_t kArticulations = 0x00200000;
constexpr uint32_t kTupletStart = 0x00080000;
constexpr uint32_t kNotSounding = 0x00008000;
constexpr uint32_t kRestCleared = 0x00001000;
constexpr uint32_t kBeamStart = 0x00000800;
// Second flags word.
constexpr uint16_t kPitchChanged = 0x0004;
constexpr uint16_t kSmartShape = 0x0020;
}  // namespace entry

namespace note {
constexpr int kSize = 10;
constexpr int kDisplacement = 0;           // int16 steps from the middle-C line
constexpr int kRaiseLower = 2;             // int16 alteration in semitones
constexpr int kID = 4;                     // int16
constexpr int kFlags = 6;                  // uint32
constexpr uint32_t kCreated = 0x80000000;  // on every note the plug-in creates
constexpr uint32_t kTieStart = 0x40000000;
static_assert(kFlags + 4 == kSize, "note record is 10 bytes");
}  // namespace note

static_assert(entry::kNotes + entry::kMaxNotes * note::kSize == entry::kPosition,
              "twelve note slots precede the position");
static_assert(entry::kActualDuration + 4 + 2 == entry::kSize, "entry record is 146 bytes");

}  // namespace layout
}  // namespace simhost
