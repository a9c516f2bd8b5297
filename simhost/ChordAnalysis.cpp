#include "simhost/ChordAnalysis.h"

#include "simhost/Document.h"
#include "simhost/RecordView.h"
#include "simhost/ScoreQueries.h"
#include "simhost/SimHost.h"
#include "simhost/layouts/ScoreLayouts.h"

#include <cstring>

namespace simhost {
namespace chords {

namespace {

const int kNatural[7] = {0, 2, 4, 5, 7, 9, 11};
const char kLetters[] = "CDEFGAB";

int Mod(int a, int b) { return ((a % b) + b) % b; }

// An interval above the root: letter steps (0-6) and semitones (0-11).
struct Tone {
    int steps;
    int semitones;
};
constexpr Tone M2{1, 2}, b9{1, 1}, s9{1, 3}, m3{2, 3}, M3{2, 4}, P4{3, 5}, s11{3, 6}, b5{4, 6}, P5{4, 7}, s5{4, 8},
    b13{5, 8}, M6{5, 9}, d7{6, 9}, m7{6, 10}, M7{6, 11};
constexpr Tone kNone{-1, -1};

// A kind: the tones it needs and the ones it may leave out, besides the root. Kinds are listed
// simplest first; the fifth is the tone whose absence makes a chord incomplete.
struct Kind {
    const char* suffix;
    Tone required[3];
    Tone optional[3];
};

const Kind kKinds[] = {
    {"", {M3, kNone, kNone}, {P5, kNone, kNone}},     {"m", {m3, kNone, kNone}, {P5, kNone, kNone}},
    {"dim", {m3, b5, kNone}, {kNone, kNone, kNone}},  {"aug", {M3, s5, kNone}, {kNone, kNone, kNone}},
    {"sus4", {P4, P5, kNone}, {kNone, kNone, kNone}}, {"sus2", {M2, P5, kNone}, {kNone, kNone, kNone}},
    {"5", {P5, kNone, kNone}, {kNone, kNone, kNone}}, {"6", {M3, M6, kNone}, {P5, kNone, kNone}},
    {"m6", {m3, M6, kNone}, {P5, kNone, kNone}},      {"7", {M3, m7, kNone}, {P5, kNone, kNone}},
    {"maj7", {M3, M7, kNone}, {P5, kNone, kNone}},    {"m7", {m3, m7, kNone}, {P5, kNone, kNone}},
    {"m7b5", {m3, b5, m7}, {kNone, kNone, kNone}},    {"dim7", {m3, b5, d7}, {kNone, kNone, kNone}},
    {"m(maj7)", {m3, M7, kNone}, {P5, kNone, kNone}}, {"7sus4", {P4, m7, kNone}, {P5, kNone, kNone}},
    {"7b5", {M3, b5, m7}, {kNone, kNone, kNone}},     {"7#5", {M3, s5, m7}, {kNone, kNone, kNone}},
    {"maj7#5", {M3, s5, M7}, {kNone, kNone, kNone}},  {"add9", {M3, M2, P5}, {kNone, kNone, kNone}},
    {"madd9", {m3, M2, P5}, {kNone, kNone, kNone}},   {"69", {M3, M6, M2}, {P5, kNone, kNone}},
    {"9", {M3, m7, M2}, {P5, kNone, kNone}},          {"maj9", {M3, M7, M2}, {P5, kNone, kNone}},
    {"m9", {m3, m7, M2}, {P5, kNone, kNone}},         {"7b9", {M3, m7, b9}, {P5, kNone, kNone}},
    {"7#9", {M3, m7, s9}, {P5, kNone, kNone}},        {"11", {m7, M2, P4}, {P5, M3, kNone}},
    {"m11", {m3, m7, P4}, {P5, M2, kNone}},           {"7#11", {M3, m7, s11}, {P5, M2, kNone}},
    {"maj7#11", {M3, M7, s11}, {P5, M2, kNone}},      {"13", {M3, m7, M6}, {P5, M2, P4}},
    {"maj13", {M3, M7, M6}, {P5, M2, kNone}},         {"m13", {m3, m7, M6}, {P5, M2, P4}},
    {"7b13", {M3, m7, b13}, {P5, M2, kNone}},
};
constexpr int kKindCount = int(sizeof kKinds / sizeof kKinds[0]);
static_assert(kKindCount <= 64, "the kinds a set of semitones can be are one 64-bit word");

// A pitch class as written: letter and alteration.
struct Spelled {
    int letter;
    int alteration;
    int Class() const { return Mod(kNatural[letter] + alteration, 12); }
    bool operator==(const Spelled& o) const { return letter == o.letter && alteration == o.alteration; }
};

int Midi(const SpelledPitch& p) { return 12 * (p.octave + 1) + kNatural[Mod(p.letter, 7)] + p.accidental; }

bool SameTone(const Tone& a, const Tone& b, bool spelled) {
    return a.semitones == b.semitones && (!spelled || a.steps == b.steps);
}

// The semitones of a kind's tones (bit n: n semitones above the root), all and required ones.
uint32_t SemitoneMask(const Tone* tones, int count) {
    uint32_t mask = 0;
    for (int i = 0; i < count; ++i)
        if (tones[i].steps >= 0) mask |= 1u << tones[i].semitones;
    return mask;
}

// For every set of semitones above a root (bit n: n semitones), the kinds whose tones it can be:
// it holds every tone a kind needs and none the kind does not allow. Most sets fit no kind.
struct KindTable {
    uint64_t kinds[1 << 12];
    KindTable() {
        for (uint32_t set = 0; set < (1u << 12); ++set) {
            kinds[set] = 0;
            for (int k = 0; k < kKindCount; ++k) {
                const uint32_t needed = SemitoneMask(kKinds[k].required, 3);
                const uint32_t allowed = needed | SemitoneMask(kKinds[k].optional, 3);
                if (!(set & ~allowed) && !(needed & ~set)) kinds[set] |= uint64_t(1) << k;
            }
        }
    }
};
const KindTable& Candidates() {
    static const KindTable table;
    return table;
}

// How well the intervals fit kind k (one of the candidates for their semitones): -1 no fit,
// 0 complete, 1 without its fifth.
int Fit(const std::vector<Tone>& intervals, int k, bool spelled) {
    const Kind& kind = kKinds[k];
    bool used[6] = {false, false, false, false, false, false};
    const Tone* tones[6];
    int count = 0;
    for (const Tone& t : kind.required)
        if (t.steps >= 0) tones[count++] = &t;
    const int required = count;
    for (const Tone& t : kind.optional)
        if (t.steps >= 0) tones[count++] = &t;
    for (const Tone& interval : intervals) {
        int found = -1;
        for (int i = 0; i < count && found < 0; ++i)
            if (!used[i] && SameTone(interval, *tones[i], spelled)) found = i;
        if (found < 0) return -1;
        used[found] = true;
    }
    for (int i = 0; i < required; ++i)
        if (!used[i]) return -1;
    for (int i = required; i < count; ++i)
        if (!used[i] && tones[i]->steps == P5.steps && tones[i]->semitones == P5.semitones) return 1;
    return 0;
}

// Order of preference between two readings, lower first.
struct Reading {
    bool found = false;
    int incomplete = 0;
    int notOnBass = 0;
    int kind = 0;
    int accidentals = 0;
    int rootMidi = 0;
    Spelled root{0, 0};

    bool Beats(const Reading& o) const {
        if (!o.found) return true;
        if (incomplete != o.incomplete) return incomplete < o.incomplete;
        if (notOnBass != o.notOnBass) return notOnBass < o.notOnBass;
        if (kind != o.kind) return kind < o.kind;
        if (accidentals != o.accidentals) return accidentals < o.accidentals;
        return rootMidi < o.rootMidi;
    }
};

}  // namespace

int KindCount() { return kKindCount; }

const char* KindSuffix(int kind) { return kind >= 1 && kind <= kKindCount ? kKinds[kind - 1].suffix : nullptr; }

int KindOfSuffix(const std::string& suffix) {
    for (int i = 0; i < kKindCount; ++i)
        if (suffix == kKinds[i].suffix) return i + 1;
    return 0;
}

bool Analyze(const std::vector<SpelledPitch>& pitches, ChordName* name) {
    // The distinct pitches, the first twelve; then the classes as written, and the bass.
    std::vector<SpelledPitch> distinct;
    distinct.reserve(kMaxPitches);
    for (const SpelledPitch& p : pitches) {
        if (int(distinct.size()) == kMaxPitches) break;
        if (p.letter < 0 || p.letter > 6) continue;
        bool seen = false;
        for (const SpelledPitch& d : distinct)
            seen = seen || (d.letter == p.letter && d.accidental == p.accidental && d.octave == p.octave);
        if (!seen) distinct.push_back(p);
    }
    if (distinct.empty()) return false;
    std::vector<Spelled> classes;
    std::vector<int> lowest;  // the lowest MIDI key of each class
    size_t bassIndex = 0;
    for (size_t i = 0; i < distinct.size(); ++i) {
        const Spelled s{distinct[i].letter, distinct[i].accidental};
        const int midi = Midi(distinct[i]);
        if (midi < Midi(distinct[bassIndex])) bassIndex = i;
        bool seen = false;
        for (size_t c = 0; c < classes.size(); ++c)
            if (classes[c] == s) {
                seen = true;
                if (midi < lowest[c]) lowest[c] = midi;
            }
        if (!seen) {
            classes.push_back(s);
            lowest.push_back(midi);
        }
    }
    const Spelled bass{distinct[bassIndex].letter, distinct[bassIndex].accidental};

    // First the readings that follow the spelling, then (for enharmonically written notes) the
    // ones that only follow the sound.
    for (int pass = 0; pass < 2; ++pass) {
        const bool spelled = pass == 0;
        Reading best;
        std::vector<Tone> intervals;
        intervals.reserve(classes.size());
        for (size_t r = 0; r < classes.size(); ++r) {
            const Spelled root = classes[r];
            intervals.clear();
            bool usable = true;
            for (size_t c = 0; c < classes.size() && usable; ++c) {
                if (c == r) continue;
                const Tone t{Mod(classes[c].letter - root.letter, 7), Mod(classes[c].Class() - root.Class(), 12)};
                if (t.semitones == 0) {
                    // The root written another way: the same sound, no spelled reading.
                    if (spelled) usable = false;
                    continue;
                }
                bool twice = false;
                for (const Tone& other : intervals) twice = twice || (!spelled && other.semitones == t.semitones);
                if (!twice) intervals.push_back(t);
            }
            if (!usable || intervals.empty()) continue;
            uint32_t semitones = 0;
            for (const Tone& t : intervals) semitones |= 1u << t.semitones;
            const uint64_t candidates = Candidates().kinds[semitones & 0xFFF];
            for (int k = 0; candidates >> k; ++k) {
                if (!((candidates >> k) & 1)) continue;
                const int fit = Fit(intervals, k, spelled);
                if (fit < 0) continue;
                Reading reading;
                reading.found = true;
                reading.incomplete = fit;
                reading.notOnBass = spelled ? !(root == bass) : root.Class() != bass.Class();
                reading.kind = k + 1;
                reading.accidentals = root.alteration < 0 ? -root.alteration : root.alteration;
                reading.rootMidi = lowest[r];
                reading.root = root;
                if (reading.Beats(best)) best = reading;
            }
        }
        if (!best.found) continue;
        if (name) {
            name->rootLetter = best.root.letter;
            name->rootAlteration = best.root.alteration;
            name->kind = best.kind;
            name->bassLetter = bass.letter;
            name->bassAlteration = bass.alteration;
            // The bass sounds as the root, written another way: the root it is.
            if (!(bass == best.root) && bass.Class() == best.root.Class()) {
                name->bassLetter = best.root.letter;
                name->bassAlteration = best.root.alteration;
            }
        }
        return true;
    }
    return false;
}

std::string NoteName(int letter, int alteration) {
    std::string text(1, kLetters[Mod(letter, 7)]);
    for (int i = 0; i < alteration; ++i) text += '#';
    for (int i = 0; i > alteration; --i) text += 'b';
    return text;
}

std::string SymbolText(const ChordName& name, bool showBass) {
    const char* suffix = KindSuffix(name.kind);
    if (!suffix || name.rootLetter < 0 || name.rootLetter > 6) return std::string();
    std::string text = NoteName(name.rootLetter, name.rootAlteration) + suffix;
    if (showBass && name.HasOwnBass()) text += "/" + NoteName(name.bassLetter, name.bassAlteration);
    return text;
}

bool ParseNoteName(const std::string& text, int* letter, int* alteration) {
    if (text.empty()) return false;
    const char* found = std::strchr(kLetters, text[0]);
    if (!found || !*found) return false;
    int alter = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '#' && alter >= 0 && alter < 9)
            ++alter;
        else if (text[i] == 'b' && alter <= 0 && alter > -9)
            --alter;
        else
            return false;
    }
    if (letter) *letter = int(found - kLetters);
    if (alteration) *alteration = alter;
    return true;
}

bool ParseSymbol(const std::string& text, ChordName* name, bool* bassWritten) {
    ChordName result;
    std::string body = text;
    bool bass = false;
    const size_t slash = text.rfind('/');
    if (slash != std::string::npos) {
        if (!ParseNoteName(text.substr(slash + 1), &result.bassLetter, &result.bassAlteration)) return false;
        body = text.substr(0, slash);
        bass = true;
    }
    if (body.empty()) return false;
    // The root: a letter and its accidentals (no suffix starts with '#' or 'b').
    size_t end = 1;
    while (end < body.size() && (body[end] == '#' || body[end] == 'b')) ++end;
    if (!ParseNoteName(body.substr(0, end), &result.rootLetter, &result.rootAlteration)) return false;
    result.kind = KindOfSuffix(body.substr(end));
    if (!result.kind) return false;
    if (!bass) {
        result.bassLetter = result.rootLetter;
        result.bassAlteration = result.rootAlteration;
    } else if (!result.HasOwnBass()) {
        return false;  // "C/C" is written "C"
    }
    if (name) *name = result;
    if (bassWritten) *bassWritten = bass;
    return true;
}

namespace {

// The key the cell's notes are spelled in, from the records' layouts: C on a staff that ignores
// keys, the cell's own key on a staff with independent keys, else the measure's.
uint16_t CellKey(const RecordView& view, int staff, int measure) {
    RecordStore::Bytes bytes;
    const FXKey staffKey = {{uint16_t(staff), 0, 0, 0}};
    uint16_t independence = 0;
    if (view.Read(layout::staff::kTag, staffKey, bytes))
        independence = layout::Field<uint16_t>(bytes, layout::staff::kIndependenceFlags);
    if (independence & layout::staff::kIgnoresKey) return 0;
    if (independence & layout::staff::kIndependentKey) {
        const FXKey cellKey = {{uint16_t(staff), uint16_t(measure), 0, 0}};
        if (view.Read(layout::cell::TagForHostVersion(HostVersion()), cellKey, bytes) &&
            bytes.size() >= layout::cell::kSize &&
            (layout::Field<uint16_t>(bytes, layout::cell::kPresence) & layout::cell::kHasKey))
            return layout::Field<uint16_t>(bytes, layout::cell::kKey);
    }
    const FXKey measureKey = {{uint16_t(measure), 0, 0, 0}};
    if (!view.Read(layout::measure::kTag, measureKey, bytes)) return 0;
    const layout::measure::Fields* fields = layout::measure::ForSize(bytes.size());
    return fields ? layout::Field<uint16_t>(bytes, fields->key) : 0;
}

}  // namespace

std::vector<SpelledPitch> SoundingPitches(const RegionData& region) {
    std::vector<SpelledPitch> pitches;
    const RecordView view = RecordView::Current();
    const int list = layout::Read<int16_t>(region.data(), layout::region::kStartList);
    const int staff = StaffAtSlot(view, list, layout::Read<int16_t>(region.data(), layout::region::kStartSlot));
    const int measure = layout::Read<int16_t>(region.data(), layout::region::kStartMeasure);
    const int32_t position = layout::Read<int32_t>(region.data(), layout::region::kStartPosition);
    if (staff < 1 || !HasMeasure(view, measure)) return pitches;
    const Document& document = CurrentDocument();
    const uint16_t key = CellKey(view, staff, measure);
    for (int layer = 0; layer < EntryStore::kLayerCount; ++layer) {
        const EntryStore::Entries& entries = document.Entries().Get(FrameKey{staff, measure, layer});
        if (entries.empty()) continue;
        std::vector<EntryTiming> timing;
        ComputeTiming(entries, document.Records(), &timing, nullptr);
        for (size_t i = 0; i < entries.size() && i < timing.size(); ++i) {
            const StoredEntry& entry = entries[i];
            if (!(entry.flags & layout::entry::kNote) || timing[i].actual <= 0) continue;
            if (timing[i].position > position || int64_t(timing[i].position) + timing[i].actual <= position) continue;
            for (const StoredNote& note : entry.notes)
                pitches.push_back(Spell(note.displacement, note.raiseLower, key));
        }
    }
    return pitches;
}

bool AnalyzeRegion(const RegionData& region, void* record, void* result) {
    if (!record) return false;
    ChordName name;
    if (!Analyze(SoundingPitches(region), &name)) return false;
    std::memset(record, 0, kDataSize);
    layout::Write<int16_t>(record, kRootLetter, int16_t(name.rootLetter));
    layout::Write<int16_t>(record, kRootAlteration, int16_t(name.rootAlteration));
    layout::Write<int16_t>(record, kKind, int16_t(name.kind));
    layout::Write<int16_t>(record, kAnalysisWord, 1);
    layout::Write<int16_t>(record, kBassLetter, int16_t(name.bassLetter));
    layout::Write<int16_t>(record, kBassAlteration, int16_t(name.bassAlteration));
    if (result) layout::Write<int32_t>(result, 0, name.kind);
    return true;
}

}  // namespace chords
}  // namespace simhost
