// The host's record layouts of markings, as the stand-in host stores them: tags, sizes, field
// offsets and bits of categories, text and shape expression definitions and their texts,
// expressions, articulation definitions and articulations, tuplets, smart shapes with their
// marks, staff styles and their assignments. The stand-in host reads and writes these records
// here and nowhere through the plug-in's framework, so a wrong offset on either side shows as a
// difference between the two (tests/simhost/MarkingLayouts_test.cpp reads them both ways).
#pragma once

#include "simhost/layouts/ScoreLayouts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace simhost {
namespace layout {

// A NUL-terminated text inside a record: UTF-16 units from host version 0x11000000 on, one byte
// per character (the low byte of each unit) before. Reads stop at the end of size bytes.
inline std::u16string ReadText(const uint8_t* data, int size, bool utf16) {
    std::u16string text;
    if (!utf16) {
        for (int i = 0; i < size && data[i]; ++i) text += char16_t(data[i]);
        return text;
    }
    for (int offset = 0; offset + 1 < size; offset += 2) {
        const char16_t unit = Read<char16_t>(data, offset);
        if (!unit) break;
        text += unit;
    }
    return text;
}
// Bytes the text takes with its terminator.
inline int TextSize(const std::u16string& text, bool utf16) { return int(text.size() + 1) * (utf16 ? 2 : 1); }
// Clears room bytes and writes the text, cut to leave room for its terminator.
inline void WriteText(uint8_t* data, int room, const std::u16string& text, bool utf16) {
    const int unit = utf16 ? 2 : 1;
    if (room < unit) return;
    std::memset(data, 0, size_t(room));
    const size_t count = std::min(text.size(), size_t(room / unit - 1));
    for (size_t i = 0; i < count; ++i) {
        if (utf16)
            Write<char16_t>(data, int(2 * i), text[i]);
        else
            data[i] = uint8_t(text[i] & 0xFF);
    }
}
inline bool IsUTF16Host(uint32_t hostVersion) { return hostVersion >= kUTF16Host; }

// Item numbers of records keyed by number alone.
inline bool IsItemNumber(int number) { return number > 0 && number < 0xFFFF; }
inline FXKey ItemKey(int number) { return FXKey{{uint16_t(number), 0, 0, 0}}; }
// The key of an entry detail: the entry number's low and high word, then the incidence.
inline FXKey EntryKey(int32_t entry, int inci) {
    return FXKey{{uint16_t(uint32_t(entry) & 0xFFFF), uint16_t(uint32_t(entry) >> 16), uint16_t(inci), 0}};
}

// --- categories (SOMC, keyed by number) ---
namespace category {
constexpr uint32_t kTag = FXTag('S', 'O', 'M', 'C');
constexpr int kType = 0;
constexpr int kName = 2;
constexpr int kPlacementCount = 5;
struct Layout {
    uint32_t size;
    bool utf16Name;
    int nameRoom;  // from kName up to the font
    int font;      // number, size and effects, a word each
    int alignment;
    int placement[kPlacementCount];  // the first and the third are signed
    int flags;
};
constexpr Layout kLong = {296, true, 258, 260, 280, {278, 282, 284, 286, 288}, 294};
constexpr Layout kShort = {104, false, 66, 68, 88, {86, 90, 92, 94, 96}, 102};
static_assert(kName + kLong.nameRoom == kLong.font && kLong.flags + 2 == int(kLong.size), "category, 296 bytes");
static_assert(kName + kShort.nameRoom == kShort.font && kShort.flags + 2 == int(kShort.size),
              "old category, 104 bytes");
inline const Layout& ForHost(uint32_t hostVersion) { return IsUTF16Host(hostVersion) ? kLong : kShort; }
inline bool IsSignedPlacement(int index) { return index == 0 || index == 2; }
}  // namespace category

// Text expression definitions (keyed by number); the placement values lie in the category's
// order.
namespace textdef {
constexpr uint32_t kTag = FXTag('S', 'O', 'D', 'T');
constexpr int kTextBlock = 0;
constexpr int kRehearsalMark = 2;
constexpr int kAlignment = 12;
constexpr int kPlacement[category::kPlacementCount] = {14, 16, 24, 32, 30};
constexpr int kCategory = 26;
// The description follows the fixed part; an empty one makes a record of kMinimumSize.
constexpr int kHeaderSize = 34;
constexpr uint32_t kMinimumSize = 36;
constexpr uint16_t kCategoryMask = 0x3FFF;
// Hosts from 0x11000000 only; older hosts keep other meanings in these bits.
constexpr uint16_t kUseCategoryPlacement = 0x4000;
constexpr uint16_t kUseCategoryFont = 0x8000;
static_assert(kPlacement[3] + 2 == kHeaderSize && kCategory + 2 <= kHeaderSize, "text expression definition, 34 bytes");
}  // namespace textdef

// The text of a text expression definition: a text block naming a raw text.
namespace textblock {
constexpr uint32_t kTag = FXTag('S', 'O', 'T', 'X');
constexpr uint32_t kSize = 26;
constexpr int kRawText = 0;
constexpr int kKind = 24;
constexpr uint16_t kExpressionKind = 0x7870;
static_assert(kKind + 2 == int(kSize), "text block, 26 bytes");
}  // namespace textblock
namespace rawtext {
// Expression texts; the record is the text with its terminator.
constexpr uint32_t kExpressionTag = FXTag('t', 'x', 'x', 'p');
}  // namespace rawtext

namespace shapedef {
constexpr uint32_t kTag = FXTag('O', '\x03', 'D', 'O');
constexpr uint32_t kMinimumSize = 28;
constexpr int kCategory = 26;
constexpr uint16_t kCategoryMask = 0x3FFF;
static_assert(kCategory + 2 <= int(kMinimumSize), "shape expression definition, at least 28 bytes");
}  // namespace shapedef

// Expressions placed in a measure (keyed by measure and incidence).
namespace expression {
constexpr uint32_t kTag = FXTag('S', 'O', 'D', 'Y');
constexpr uint32_t kSize = 24;
constexpr int kDefinition = 0;
// The position in the measure: a signed low word and the high word that completes it.
constexpr int kPositionLow = 2;
constexpr int kStaff = 8;
constexpr int kFlags = 10;
constexpr int kPositionHigh = 16;
constexpr uint16_t kLayerMask = 0x0007;
constexpr uint16_t kHiddenInParts = 0x0800;
constexpr uint16_t kHiddenInScore = 0x1000;
constexpr uint16_t kShape = 0x2000;
constexpr uint16_t kHiddenInCurrentPart = 0x4000;
static_assert(kPositionHigh + 2 <= int(kSize), "expression, 24 bytes");
inline int32_t Position(const uint8_t* data) {
    return int32_t(uint32_t(int32_t(Read<int16_t>(data, kPositionHigh))) * 65536u +
                   uint32_t(int32_t(Read<int16_t>(data, kPositionLow))));
}
inline void WritePosition(uint8_t* data, int32_t position) {
    const int16_t low = int16_t(uint16_t(uint32_t(position) & 0xFFFF));
    Write<int16_t>(data, kPositionLow, low);
    Write<uint16_t>(data, kPositionHigh, uint16_t((uint32_t(position) - uint32_t(int32_t(low))) >> 16));
}
}  // namespace expression

// Articulation definitions (keyed by number): two layouts. Slots, font sizes and effects are
// bytes sharing a word in the old layout.
namespace articdef {
constexpr uint32_t kTag = FXTag('O', '\x04', 'I', 'X');
constexpr int kValueCount = 13;  // A to M
// A field that is a word, or a byte of a word shared with another field.
struct Span {
    int offset;
    int bytes;  // 1 or 2
};
struct Layout {
    uint32_t size;
    Span mainSlot, mainSize, mainFont, mainEffects;
    Span alternateSlot, alternateSize, alternateFont, alternateEffects;
    int flags1;
    int flags2;
    int values[kValueCount];  // signed words
};
// clang-format off
//                          size  main: slot  size    font    effects  alternate: slot size  font     effects
constexpr Layout kLong =   {60,   {0, 2},     {8, 1}, {4, 2}, {6, 1},  {12, 2},  {28, 1},   {16, 2}, {26, 1},
//                          flags 1, 2  values A-M
                            10, 24,     {18, 20, 22, 32, 42, 44, 46, 48, 30, 34, 36, 38, 40}};
constexpr Layout kShort =  {48,   {0, 1},     {1, 1}, {2, 1}, {3, 1},  {12, 1},  {13, 1},   {14, 1}, {15, 1},
                            10, 22,     {16, 18, 20, 30, 40, 42, 44, 46, 28, 32, 34, 36, 38}};
// clang-format on
constexpr bool FitsIn(const Layout& layout) {
    for (int offset : layout.values)
        if (offset + 2 > int(layout.size)) return false;
    return layout.flags1 + 2 <= int(layout.size) && layout.flags2 + 2 <= int(layout.size);
}
static_assert(kLong.size == 60 && FitsIn(kLong) && kShort.size == 48 && FitsIn(kShort),
              "articulation definitions, 60 and 48 bytes");
inline const Layout& ForHost(uint32_t hostVersion) { return IsUTF16Host(hostVersion) ? kLong : kShort; }
inline int ReadSpan(const uint8_t* data, const Span& field) {
    return field.bytes == 1 ? data[field.offset] : Read<uint16_t>(data, field.offset);
}
inline void WriteSpan(uint8_t* data, const Span& field, int value) {
    if (field.bytes == 1)
        data[field.offset] = uint8_t(value);
    else
        Write<uint16_t>(data, field.offset, uint16_t(value));
}
// Flags word 1: which slot the main and the flipped symbol take, and the position mode.
constexpr uint16_t kMainUsesAlternate = 0x2000;
constexpr uint16_t kFlippedUsesAlternate = 0x4000;
constexpr uint16_t kPositionModeMask = 0x000F;
constexpr uint16_t kPositionModeOn = 0x0008;
// The stored code of each position mode 1-5.
constexpr uint16_t kModeCodes[6] = {0, 12, 8, 9, 11, 10};
// Flags word 2: the slot holds a shape number instead of a character.
constexpr uint16_t kMainIsShape = 0x0002;
constexpr uint16_t kAlternateIsShape = 0x0004;
}  // namespace articdef

// Articulations on an entry (entry detail: entry number, incidence).
namespace artic {
constexpr uint32_t kTag = FXTag('e', 'd', 'I', 'M');
constexpr uint32_t kSize = 12;
constexpr int kDefinition = 0;
constexpr int kPosition1 = 2;  // signed
constexpr int kPosition2 = 6;  // signed
static_assert(kPosition2 + 2 <= int(kSize), "articulation, 12 bytes");
}  // namespace artic

// Tuplets (entry detail): the four ratio words (simhost/EntryStore.h, TupletRatio), then eleven
// option words, signed but for the two flag words.
namespace tuplet {
constexpr int kRatioWords = 4;
constexpr int kOptionCount = 11;
enum Option {
    kDisplayFlags,
    kLeftHookLength,
    kRightHookLength,
    kNumberOffsetX,
    kHorizontalOffset,
    kVerticalOffset,
    kNumberOffsetY,
    kBracketStartOffset,
    kBracketEndOffset,
    kManualSlope,
    kDisplayFlags2
};
constexpr int OptionOffset(int option) { return (kRatioWords + option) * 2; }
static_assert(OptionOffset(kOptionCount) == 30, "tuplet, 30 bytes");
}  // namespace tuplet

// Smart shapes (keyed by number): type, flags, then the left and the right segment.
namespace shape {
constexpr uint32_t kTag = 0x4F085378;
constexpr uint32_t kSize = 92;
constexpr int kType = 0;
constexpr int kFlags = 2;  // 32-bit
constexpr int kSegments[2] = {6, 36};
constexpr int kSegmentSize = 30;
// Inside a segment.
constexpr int kSegStaff = 0;
constexpr int kSegMeasure = 2;
constexpr int kSegPosition = 4;  // 32-bit: an entry number or a position in EDUs
constexpr int kSegOffsetY = 10;
constexpr int kSegFlags = 12;
static_assert(kSegments[1] + kSegmentSize <= int(kSize), "smart shape, 92 bytes");
constexpr uint32_t kEntryAttached = 0x40000000;
// Centre shapes: keyed by shape number and centre number (from 1).
constexpr uint32_t kCenterTag = 0x44034378;
constexpr uint32_t kCenterSize = 22;
// Measure marks (measure, incidence): shape number, centre number (0: none).
constexpr uint32_t kMeasureMarkTag = 0x6F744D78;
constexpr uint32_t kMeasureMarkSize = 12;
constexpr int kMarkShape = 0;
constexpr int kMarkCenter = 2;
// Entry marks (entry detail): shape number.
constexpr uint32_t kEntryMarkTag = 0x65644578;
constexpr uint32_t kEntryMarkSize = 10;
}  // namespace shape

// Staff styles (keyed by number) and their assignments to spans of a staff (staff, incidence).
// A style begins with the structure of a staff record.
namespace staffstyle {
constexpr uint32_t kTag = FXTag('S', 'O', 'S', 'Y');
constexpr uint32_t kSize = 296;
constexpr uint32_t kSize11 = 292;  // hosts from 0x11000000
constexpr uint32_t kSizeOld = 144;
inline uint32_t SizeForHost(uint32_t hostVersion) {
    if (hostVersion >= kCurrentLayoutHost) return kSize;
    return IsUTF16Host(hostVersion) ? kSize11 : kSizeOld;
}
// The notation word: kind in bits 0-3, the affected layer - 1 in bits 4-7, 0x8000 expressions
// visible in layer 1; the option word: 0x0004 expressions visible in the other layers.
constexpr int kNotation = staff::kAltNotation;
constexpr int kOptions = staff::kOptions;
constexpr uint16_t kKindMask = 0x000F;
constexpr uint16_t kLayerMask = 0x00F0;
constexpr uint16_t kVisibleInLayer1 = 0x8000;
constexpr uint16_t kVisibleInOtherLayers = 0x0004;
static_assert(kOptions + 2 <= int(kSizeOld), "every layout holds the option word");

constexpr uint32_t kAssignTag = FXTag('O', '\x02', 'S', 'y');
constexpr uint32_t kAssignSize = 24;
constexpr int kAssignStyle = 0;
constexpr int kAssignEndMeasure = 12;
constexpr int kAssignEndPos = 14;  // 32-bit
constexpr int kAssignStartMeasure = 18;
constexpr int kAssignStartPos = 20;  // 32-bit
static_assert(kAssignStartPos + 4 == int(kAssignSize), "staff style assignment, 24 bytes");
}  // namespace staffstyle

}  // namespace layout
}  // namespace simhost
