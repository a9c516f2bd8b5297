// The score text as read, before it is built into a document: one node per statement, with the
// place it came from, and the lexical pieces (durations, time signatures, keys, record tags) that
// the reader parses and the writer produces, so both sides agree on every spelling. The parser
// checks everything that needs no document; the reader checks the rest while building.
#pragma once

#include "simhost/DocumentBuilder.h"
#include "simhost/EntryStore.h"
#include "simhost/PitchSpelling.h"
#include "simhost/ScoreText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace simhost {
namespace scoretext {

// Text of the input for an error message, printable and cut after limit characters (0: no cut).
std::string QuoteForMessage(const std::string& text, size_t limit = 40);

struct Place {
    int line = 0;
    int column = 0;
};

struct StaffStatement {
    int number = 0;
    int style = 0;
    bool ownKey = false;
    bool ownTime = false;
    bool keyless = false;
    Place at;
};

struct PartStatement {
    int id = 0;
    std::vector<int> staves;
    Place at;
};

struct SystemStatement {
    int number = 0;
    int part = 0;
    int first = 0;
    int next = 0;  // one past the last measure
    std::vector<int> staves;
    std::vector<int> sizes;
    Place at;
};

struct NoteItem {
    SpelledPitch pitch;
    bool tie = false;
    bool hasID = false;
    int id = 0;
    uint32_t flags = 0;  // besides the tie
    Place at;
};

// An articulation on an entry: its definition and its two positions.
struct ArticulationItem {
    int definition = 0;
    int position1 = 0;
    int position2 = 0;
    Place at;
};

struct EntryItem {
    int32_t duration = 0;
    bool rest = false;
    bool grace = false;
    bool beamStart = false;
    bool stemDown = false;
    uint32_t flags = 0;  // besides the note, grace and beam-start flags
    uint16_t flags2 = 0;
    int32_t number = 0;  // 0: the next number
    std::vector<NoteItem> notes;
    std::vector<ArticulationItem> articulations;
    Place at;
};

// The display options of a tuplet, in the order of its record's option words.
constexpr int kTupletOptionCount = 11;

struct TupletItem {
    TupletRatio ratio;
    int options[kTupletOptionCount] = {};
    int first = 0;  // entry indices within the layer
    int last = 0;
    Place at;
};

struct LayerStatement {
    int staff = 0;
    int layer = 0;  // 0-based index
    bool locked = false;
    bool overfull = false;
    std::vector<EntryItem> entries;
    std::vector<TupletItem> tuplets;
    Place at;
};

struct CellStatement {
    int staff = 0;
    bool hasMeter = false;
    Meter meter;
    bool hasKey = false;
    uint16_t key = 0;
    Place at;
};

// An expression placed in the measure above.
struct ExpressionStatement {
    int staff = 0;
    int definition = 0;
    bool shape = false;
    int32_t position = 0;
    int layer = 0;
    bool hideScore = false;
    bool hideParts = false;
    bool hidePart = false;
    Place at;
};

// A chord symbol of the measure above (simhost/ScoreTextChords.h): the fields of its record.
struct ChordStatement {
    int staff = 0;
    int32_t position = 0;
    int rootLetter = 0;
    int rootAlteration = 0;
    int kind = 0;
    int bassLetter = 0;
    int bassAlteration = 0;
    uint16_t flags = 0;
    int analysisWord = 0;
    Place at;
};

struct MeasureStatement {
    int first = 0;
    int last = 0;
    Meter meter;       // in effect (carried over from the measure before when not given)
    uint16_t key = 0;  // in effect
    int barline = 0;
    std::vector<CellStatement> cells;
    std::vector<ExpressionStatement> expressions;
    std::vector<ChordStatement> chords;
    std::vector<LayerStatement> layers;
    Place at;
};

// A font as the text names it: by the host's name or by number.
struct FontItem {
    bool named = false;
    std::string name;  // UTF-8
    int number = 0;
};

struct CategoryStatement {
    int number = 0;
    std::u16string name;
    bool hasType = false;
    int type = 0;
    FontItem font;
    int size = 0;
    int effects = 0;
    int alignment = 0;
    int placement[5] = {};
    uint16_t flags = 0;
    Place at;
};

struct TextExpressionStatement {
    int number = 0;
    bool hasText = false;
    std::u16string text;
    std::u16string description;
    int category = 0;
    bool categoryFont = false;
    bool categoryPlacement = false;
    int alignment = 0;
    int placement[5] = {};
    bool rehearsal = false;
    Place at;
};

// A shape expression definition: only its category has a notation.
struct ShapeExpressionStatement {
    int number = 0;
    int category = 0;
    Place at;
};

// The values A to M of an articulation definition, in the order the host numbers them.
constexpr int kArticulationValueCount = 13;

struct ArticulationDefStatement {
    int number = 0;
    int mainSlot = 0;
    bool mainShape = false;
    int alternateSlot = 0;
    bool alternateShape = false;
    bool mainUsesAlternate = false;
    bool flippedUsesAlternate = false;
    int mode = -1;  // -1: not given
    FontItem mainFont;
    int mainSize = 0;
    int mainEffects = 0;
    FontItem alternateFont;
    int alternateSize = 0;
    int alternateEffects = 0;
    uint16_t flags1 = 0;
    uint16_t flags2 = 0;
    int values[kArticulationValueCount] = {};
    Place at;
};

// A staff style definition: its alternate notation and which expressions it keeps visible.
struct StaffStyleStatement {
    int number = 0;
    int kind = 0;
    int layer = 1;  // the affected layer, 1-16
    bool expressionsLayer1 = false;
    bool expressionsOther = false;
    Place at;
};

// A staff style assigned to a span of one staff.
struct StaffStyleSpanStatement {
    int staff = 0;
    int style = 0;
    int startMeasure = 0;
    int endMeasure = 0;
    int32_t startPos = 0;
    int32_t endPos = 0x7FFFFFFF;
    Place at;
};

struct RawStatement {
    enum Store { kScore, kPartLayout, kPartField };
    Store store = kScore;
    int part = 0;
    uint32_t tag = 0;
    FXKey key = {{0, 0, 0, 0}};
    bool erase = false;
    std::vector<uint8_t> bytes;
    Place at;
};

// One end of a smart shape as the text names it: an entry of a layer line (measure and 1-based
// index) or a position in a measure.
struct ShapeEnd {
    int measure = 0;
    int index = 0;         // entries: 1-based within the layer line
    int32_t position = 0;  // positions: EDUs from the start of the measure
};

// A smart shape on a staff, given under the measure it starts in (docs/score-format.md).
struct ShapeStatement {
    int staff = 0;
    int type = 0;
    bool entryAttached = false;
    int layer = 0;  // 0-based index (entry-attached shapes)
    ShapeEnd left;
    ShapeEnd right;
    int offsetLeft = 0;
    int offsetRight = 0;
    int number = 0;  // 0: the next number in reading order
    bool unflaggedLeft = false;
    bool unflaggedRight = false;
    Place at;
};

struct ScoreSyntax {
    int unit = 1;
    uint16_t beamFlags = 0;
    // Bit i set: layer index i is hidden in the host's view (prefs hidden-layers=).
    uint32_t hiddenLayers = 0;
    std::vector<StaffStatement> staves;
    std::vector<PartStatement> parts;
    std::vector<SystemStatement> systems;
    std::vector<CategoryStatement> categories;
    std::vector<TextExpressionStatement> textExpressions;
    std::vector<ShapeExpressionStatement> shapeExpressions;
    std::vector<ArticulationDefStatement> articulationDefs;
    std::vector<StaffStyleStatement> staffStyles;
    std::vector<StaffStyleSpanStatement> staffStyleSpans;
    int currentPart = 0;  // the part in view, 0 the score
    std::vector<MeasureStatement> measures;
    std::vector<ShapeStatement> shapes;
    bool hasNextEntry = false;
    int32_t nextEntry = 0;
    Place nextEntryAt;
    std::vector<RawStatement> raws;
};

// Parses the whole text; false with the first error.
bool Parse(const std::string& text, const std::string& source, ScoreSyntax* syntax, ScoreTextError* error);

// Staff styles and their spans in the document being built (ScoreTextStaffStyles.cpp); false
// with the failing statement's place.
bool BuildStaffStyles(const ScoreSyntax& syntax, Place* failed);
// The staff-style and staff-style-span lines of the current document (the score's view).
std::string StaffStyleLines(const std::vector<int>& declaredStaves);
// Reads the writer's text before its raw records are added, into a new document state, without
// the check that every layer fits its measure: a tuplet the braces cannot show comes back only
// with its raw record, and until then its entries may seem to run past the measure.
bool ParseWithoutRaws(const std::string& text, DocumentState* state, ScoreTextError* error);

// --- lexical pieces shared with the writer ---

// Durations: 1 2 4 8 ... 1024 with dots ("4.", "8.."), or "e" and the EDUs ("e85").
std::string DurationToken(int32_t duration);
// Time signatures: "4/4", "6/8", "2/4.", composite "3+2/8", "3+2,2/8" (groups over one beat
// duration), "3/8+2/4" (a beat duration per group). Empty when the meter cannot be written.
std::string TimeToken(const Meter& meter);
// "C", "F#", "Ebm", or the key value in hex ("0x0009") when it names no key.
std::string KeyToken(uint16_t key);
std::string BarlineToken(int style);
std::string UnitToken(int unit);
// Pitches: letter, accidental ("#", "bb", "(+4)"), octave ("C4", "F#3", "Bb-1").
std::string PitchToken(const SpelledPitch& pitch);
// A record tag: its four codes, non-alphanumeric ones as \xHH.
std::string TagToken(uint32_t tag);
// A text in double quotes: UTF-8, with \" \\ \n \r \t and \u{H} (control characters and
// unpaired surrogates) escaped.
std::string QuotedToken(const std::u16string& text);

// The names of the tuplet options (with the index of their option word), in the order the
// writer puts them.
struct TupletOptionName {
    const char* name;
    int option;
    bool hex;
};
extern const TupletOptionName kTupletOptionNames[kTupletOptionCount];

// The key a cell's notes are spelled in: the cell's key, or C on a staff that ignores keys
// (read from the current document).
uint16_t SpellingKey(int staff, int measure);

// The values the reader accepts (so the writer knows what it may write).
bool IsTextDuration(int64_t duration);
bool IsTextBeatCount(int64_t beats);
bool IsTextBeatDuration(int64_t duration);

}  // namespace scoretext
}  // namespace simhost
