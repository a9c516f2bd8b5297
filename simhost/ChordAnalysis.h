// The stand-in host's chord analysis (FX_AnalyzeChord): from the pitches sounding at a position
// on a staff, the chord a lead-sheet reader would write, as root (with its spelling), kind and
// bass, stored in the host's part of a chord symbol record. The naming itself works on spelled
// pitches alone (Analyze), so it can be tested without a document; the symbol texts are the ones
// the score text shows.
#pragma once

#include "simhost/DocumentView.h"
#include "simhost/PitchSpelling.h"

#include <cstdint>
#include <string>
#include <vector>

namespace simhost {
namespace chords {

// The chord symbol record (tag SDCh, 30 bytes, key staff, measure, incidence). Words are 16-bit
// unless noted; letters count 0-6 from C, alterations are signed semitones.
constexpr uint32_t kTag = 0x53444368;
constexpr uint32_t kDataSize = 30;
constexpr int kRootLetter = 0;
constexpr int kFlags = 2;  // bit 0x0040: the alternate bass is shown (written by the plug-in)
constexpr int kRootAlteration = 4;
constexpr int kKind = 6;          // the chord kind, 1 to KindCount(); 0 none
constexpr int kAnalysisWord = 8;  // the analysis leaves 1; the plug-in clears it when it keeps the chord
constexpr int kBassLetter = 10;
constexpr int kBassAlteration = 12;
constexpr int kPosition = 20;  // 32-bit, EDU in the measure (written by the plug-in)
constexpr uint16_t kShowAltBass = 0x0040;
static_assert(kPosition + 4 <= int(kDataSize), "chord record is 30 bytes");

// A chord as the analysis names it.
struct ChordName {
    int rootLetter = 0;
    int rootAlteration = 0;
    int kind = 0;
    int bassLetter = 0;
    int bassAlteration = 0;

    bool HasOwnBass() const { return bassLetter != rootLetter || bassAlteration != rootAlteration; }
    bool operator==(const ChordName& o) const {
        return rootLetter == o.rootLetter && rootAlteration == o.rootAlteration && kind == o.kind &&
               bassLetter == o.bassLetter && bassAlteration == o.bassAlteration;
    }
};

// The chord kinds, numbered from 1 in order of simplicity; the suffix the symbol shows ("" for a
// major triad, "m7", "7b9", ...). Null for an unknown kind.
int KindCount();
const char* KindSuffix(int kind);
// The kind with this suffix, 0 when none.
int KindOfSuffix(const std::string& suffix);

// At most this many distinct pitches are analysed (the first found).
constexpr int kMaxPitches = 12;

// Names the chord the pitches form (in the order found; doubled and octave-displaced pitches
// count once); false when they form no chord a reader would name (a single pitch, a cluster).
bool Analyze(const std::vector<SpelledPitch>& pitches, ChordName* name);

// "C#", "Bb", "Fbb": a letter and its alteration.
std::string NoteName(int letter, int alteration);
// The symbol: root, suffix and, when showBass and the bass differs from the root, "/" and the
// bass ("Cmaj7/E"). Empty for an unknown kind.
std::string SymbolText(const ChordName& name, bool showBass);
// Reads a symbol written by SymbolText; without "/bass" the bass is the root. *bassWritten says
// whether the text named a bass.
bool ParseSymbol(const std::string& text, ChordName* name, bool* bassWritten);
// Reads a note name as NoteName writes it.
bool ParseNoteName(const std::string& text, int* letter, int* alteration);

// The pitches sounding at the region's start position on the staff of its start slot in the
// current document: every layer's notes whose entries start at or before the position and end
// after it, in layer, entry and note order, spelled in the cell's key.
std::vector<SpelledPitch> SoundingPitches(const RegionData& region);
// The analysis behind FX_AnalyzeChord: on success the record (kDataSize bytes) is cleared and
// filled with root, kind, bass and the analysis word, result (4 bytes, may be null) gets the
// kind, and the answer is true; otherwise nothing is written.
bool AnalyzeRegion(const RegionData& region, void* record, void* result);

}  // namespace chords
}  // namespace simhost
