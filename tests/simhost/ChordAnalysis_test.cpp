// The stand-in host's chord analysis: which chord a set of written pitches names (kinds,
// inversions, spellings, doubled and incomplete chords, sets that name none), the symbol texts,
// and the analysis of what sounds at a position of a document.
#include "simhost/ChordAnalysis.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

using simhost::SpelledPitch;
namespace chords = simhost::chords;

namespace {

// "C#4 Bbb3": letter, accidentals, octave.
std::vector<SpelledPitch> Pitches(const std::string& text) {
    std::vector<SpelledPitch> pitches;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        SpelledPitch pitch;
        pitch.letter = int(std::string("CDEFGAB").find(word[0]));
        size_t i = 1;
        for (; i < word.size() && (word[i] == '#' || word[i] == 'b'); ++i) pitch.accidental += word[i] == '#' ? 1 : -1;
        pitch.octave = std::stoi(word.substr(i));
        pitches.push_back(pitch);
    }
    return pitches;
}

// The symbol with its bass, or "" when the pitches name no chord.
std::string Name(const std::string& pitches) {
    chords::ChordName name;
    if (!chords::Analyze(Pitches(pitches), &name)) return "";
    return chords::SymbolText(name, true);
}

struct Case {
    const char* pitches;
    const char* symbol;
};

void ExpectNames(const Case* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(cases[i].symbol, Name(cases[i].pitches)) << cases[i].pitches;
}

}  // namespace

TEST(ChordAnalysis, TriadsAndPowerChordsInRootPosition) {
    const Case cases[] = {
        {"C4 E4 G4", "C"},     {"C4 Eb4 G4", "Cm"},   {"C4 Eb4 Gb4", "Cdim"}, {"C4 E4 G#4", "Caug"},
        {"C4 F4 G4", "Csus4"}, {"C4 D4 G4", "Csus2"}, {"C4 G4", "C5"},        {"C3 G3 C4 G4", "C5"},
        {"D4 F#4 A4", "D"},    {"Eb4 G4 Bb4", "Eb"},  {"F#3 A3 C#4", "F#m"},  {"Gb3 Bb3 Db4", "Gb"},
        {"Bb3 Db4 F4", "Bbm"}, {"B3 D4 F4", "Bdim"},  {"Ab3 C4 E4", "Abaug"}, {"E3 B3", "E5"},
        {"A3 D4 E4", "Asus4"}, {"G3 A3 D4", "Gsus2"}, {"F4 G4 C5", "Fsus2"},  {"G3 D4 C5", "Gsus4"},
        {"C4 G4 D5", "Csus2"},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, SeventhAndSixthChordsInRootPosition) {
    const Case cases[] = {
        {"C4 E4 G4 Bb4", "C7"},      {"C4 E4 G4 B4", "Cmaj7"},     {"C4 Eb4 G4 Bb4", "Cm7"},
        {"C4 Eb4 Gb4 Bb4", "Cm7b5"}, {"C4 Eb4 Gb4 Bbb4", "Cdim7"}, {"C4 Eb4 G4 B4", "Cm(maj7)"},
        {"C4 F4 G4 Bb4", "C7sus4"},  {"C4 E4 G4 A4", "C6"},        {"C4 Eb4 G4 A4", "Cm6"},
        {"C4 E4 Gb4 Bb4", "C7b5"},   {"C4 E4 G#4 Bb4", "C7#5"},    {"C4 E4 G#4 B4", "Cmaj7#5"},
        {"G3 B3 D4 F4", "G7"},       {"D4 F4 A4 C5", "Dm7"},       {"F3 A3 C4 E4", "Fmaj7"},
        {"B3 D4 F4 A4", "Bm7b5"},    {"C#4 E4 G4 Bb4", "C#dim7"},  {"E3 G#3 B3 D4", "E7"},
        {"Ab3 C4 Eb4 G4", "Abmaj7"}, {"F#3 A3 C#4 E4", "F#m7"},    {"F4 A4 C5 Eb5", "F7"},
        {"A3 C4 E4 G4", "Am7"},      {"F#3 A3 C4 E4", "F#m7b5"},   {"A3 C4 E4 F#4", "Am6"},
        {"G3 B3 Db4 F4", "G7b5"},    {"Db4 F4 Ab4 Cb5", "Db7"},    {"Cb4 Eb4 Gb4 Bbb4", "Cb7"},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, ExtendedAddedAndAlteredChords) {
    const Case cases[] = {
        {"C4 E4 G4 D5", "Cadd9"},        {"C4 Eb4 G4 D5", "Cmadd9"},    {"C4 E4 G4 A4 D5", "C69"},
        {"C4 E4 G4 Bb4 D5", "C9"},       {"C4 E4 G4 B4 D5", "Cmaj9"},   {"C4 Eb4 G4 Bb4 D5", "Cm9"},
        {"C4 G4 Bb4 D5 F5", "C11"},      {"C4 E4 G4 Bb4 D5 F5", "C11"}, {"C4 Eb4 G4 Bb4 F5", "Cm11"},
        {"C4 E4 G4 Bb4 D5 A5", "C13"},   {"C4 E4 Bb4 A5", "C13"},       {"C4 E4 G4 B4 D5 A5", "Cmaj13"},
        {"C4 Eb4 G4 Bb4 D5 A5", "Cm13"}, {"C4 E4 G4 Bb4 Db5", "C7b9"},  {"C4 E4 G4 Bb4 D#5", "C7#9"},
        {"C4 E4 G4 Bb4 F#5", "C7#11"},   {"C4 E4 G4 Bb4 Ab5", "C7b13"}, {"G3 B3 D4 F4 Ab4", "G7b9"},
        {"D4 F#4 A4 C5 E5", "D9"},       {"F3 A3 C4 E4 G4", "Fmaj9"},   {"A3 C4 E4 G4 B4", "Am9"},
        {"C4 E4 G4 B4 F#5", "Cmaj7#11"}, {"C4 E4 Bb4 F#5", "C7#11"},    {"C4 E4 G4 Bb4 D5 F5 A5", "C13"},
        {"Bb2 F3 D4 Ab4 C5", "Bb9"},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, InversionsNameTheirBass) {
    const Case cases[] = {
        // Triads.
        {"E4 G4 C5", "C/E"},
        {"G3 C4 E4", "C/G"},
        {"Eb4 G4 C5", "Cm/Eb"},
        {"G3 C4 Eb4", "Cm/G"},
        {"Eb4 Gb4 C5", "Cdim/Eb"},
        {"Gb3 C4 Eb4", "Cdim/Gb"},
        {"F#3 A3 D4", "D/F#"},
        {"A3 D4 F#4", "D/A"},
        {"E4 G#4 C5", "Caug/E"},
        {"Bb3 D4 G4", "Gm/Bb"},
        {"D4 G4 Bb4", "Gm/D"},
        {"E3 A3 C4", "Am/E"},
        {"G3 C4", "C5/G"},
        // Seventh chords: every inversion of C7, Cmaj7 and Cdim7 and of G7.
        {"E4 G4 Bb4 C5", "C7/E"},
        {"G3 Bb3 C4 E4", "C7/G"},
        {"Bb3 C4 E4 G4", "C7/Bb"},
        {"E3 G3 B3 C4", "Cmaj7/E"},
        {"G3 B3 C4 E4", "Cmaj7/G"},
        {"B3 C4 E4 G4", "Cmaj7/B"},
        {"Eb4 Gb4 Bbb4 C5", "Cdim7/Eb"},
        {"Gb3 Bbb3 C4 Eb4", "Cdim7/Gb"},
        {"Bbb3 C4 Eb4 Gb4", "Cdim7/Bbb"},
        {"F3 G3 B3 D4", "G7/F"},
        {"B3 D4 F4 G4", "G7/B"},
        {"D4 F4 G4 B4", "G7/D"},
        {"D4 F4 Ab4 B4", "Bdim7/D"},
        // Added-tone chords over another bass.
        {"E3 G3 C4 D4", "Cadd9/E"},
        {"G3 C4 D4 E4", "Cadd9/G"},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, WhereSeveralNamesFitTheRootOnTheBassAndTheSimplerKindWin) {
    const Case cases[] = {
        // A complete reading before one without its fifth.
        {"C4 E4 A4", "Am/C"},
        {"D3 C4 E4 G4", "Cadd9/D"},
        {"D4 G4 C5", "Gsus4/D"},
        // Then the reading whose root is the bass.
        {"C4 E4 G4 A4", "C6"},
        {"A3 C4 E4 G4", "Am7"},
        {"Eb3 G3 Bb3 C4", "Eb6"},
        {"Eb4 Gb4 Bb4 C5", "Ebm6"},
        {"C4 Eb4 Gb4 Bb4", "Cm7b5"},
        // Then the simpler kind.
        {"E3 G3 A3 C4", "C6/E"},
        {"G3 A3 C4 E4", "C6/G"},
        {"G3 Bb3 C4 Eb4", "Eb6/G"},
        {"Bb3 C4 Eb4 G4", "Eb6/Bb"},
        {"Gb3 Bb3 C4 Eb4", "Ebm6/Gb"},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, DoubledAndOctaveDisplacedNotesCountOnce) {
    const Case cases[] = {
        {"C2 G2 E3 C4 G4 E5", "C"},
        {"E2 C4 G4 E5", "C/E"},
        {"G2 E4 C5 G5", "C/G"},
        {"C3 Bb3 E4 G5 C6", "C7"},
        {"A2 E3 C4 G4 A4", "Am7"},
        {"F2 C3 A3 E4 F5", "Fmaj7"},
        {"C4 C4 E4 E4 G4", "C"},
        {"G4 E4 C4", "C"},
        {"E5 C4 G4", "C"},
        // Only the first twelve distinct pitches count: the C# comes thirteenth.
        {"C1 E1 G1 C2 E2 G2 C3 E3 G3 C4 E4 G4 C#5", "C"},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, IncompleteChordsMusiciansStillName) {
    const Case cases[] = {
        {"C4 E4", "C"},        {"C4 Eb4", "Cm"},      {"E4 C5", "C/E"},   {"C4 E4 Bb4", "C7"},
        {"C4 E4 B4", "Cmaj7"}, {"C4 Eb4 Bb4", "Cm7"}, {"G3 B3 F4", "G7"}, {"E4 Bb4 C5", "C7/E"},
        {"C4 A4", "Am/C"},     {"D4 F#4 C5", "D7"},   {"F4 A4", "F"},     {"E3 G#3", "E"},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, SpellingsAreKeptAsWritten) {
    const Case cases[] = {
        {"C#4 E#4 G#4", "C#"},
        {"Db4 F4 Ab4", "Db"},
        {"C#4 E4 G#4", "C#m"},
        {"Db4 Fb4 Ab4", "Dbm"},
        {"F#3 A#3 C#4 E4", "F#7"},
        {"Gb3 Bb3 Db4 Fb4", "Gb7"},
        {"D#4 F#4 A#4", "D#m"},
        {"Eb4 Gb4 Bb4", "Ebm"},
        {"A#3 C##4 E#4", "A#"},
        {"G#3 B#3 D#4 F#4", "G#7"},
        {"Cb4 Eb4 Gb4", "Cb"},
        {"E#3 G#3 B#3", "E#m"},
        {"C#4 E#4 G#4 B4", "C#7"},
        // Notes written against the chord's spelling: the spelled reading where there is one,
        // else the one the sound gives.
        {"C4 E4 Ab4", "Abaug/C"},
        {"C4 Eb4 Gb4 A4", "Adim7/C"},
        {"C4 D#4 G4", "Cm"},
        {"C4 E4 G4 A#4", "C7"},
        {"B#3 E4 G4", "B#"},
        {"C4 E4 Bb4 Eb5", "C7#9"},
        {"E3 G#3 B3 D4 G4", "E7#9"},
        {"C#4 F4 G#4 B4", "C#7"},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, SetsNoReaderNamesAsOneChordGiveNone) {
    const Case cases[] = {
        {"", ""},
        {"C4", ""},
        {"C4 C5", ""},
        {"C3 C4 C5 C6", ""},
        {"C4 C#4 D4", ""},
        {"C4 Db4 D4 Eb4", ""},
        {"E4 F4 F#4", ""},
        {"C4 D4 E4", ""},
        {"C4 F#4", ""},
        {"C4 Db4", ""},
        {"C4 C#4", ""},
        {"B3 C4", ""},
        {"C4 D4", ""},
        {"C4 B#3", ""},
        {"C4 C#4 D4 D#4 E4 F4 F#4 G4 G#4 A4 A#4 B4", ""},
    };
    ExpectNames(cases, sizeof cases / sizeof cases[0]);
}

TEST(ChordAnalysis, SymbolsReadBackAsWritten) {
    for (int kind = 1; kind <= chords::KindCount(); ++kind)
        for (int alteration = -2; alteration <= 2; ++alteration) {
            chords::ChordName name;
            name.rootLetter = (kind + alteration + 7) % 7;
            name.rootAlteration = alteration;
            name.kind = kind;
            name.bassLetter = (name.rootLetter + 2) % 7;
            name.bassAlteration = -alteration;
            for (int shown = 0; shown <= 1; ++shown) {
                const std::string text = chords::SymbolText(name, shown == 1);
                chords::ChordName read;
                bool bass = false;
                ASSERT_TRUE(chords::ParseSymbol(text, &read, &bass)) << text;
                EXPECT_EQ(shown == 1, bass) << text;
                EXPECT_EQ(name.kind, read.kind) << text;
                EXPECT_EQ(name.rootAlteration, read.rootAlteration) << text;
                if (shown) {
                    EXPECT_TRUE(read == name) << text;
                }
            }
        }
    for (const char* bad : {"", "H", "Cmaj8", "C/", "C/C", "c", "Cm7/X", "/E", "C##b", "Bb/Bb"})
        EXPECT_FALSE(chords::ParseSymbol(bad, nullptr, nullptr)) << bad;
}

TEST(ChordAnalysis, TheAnalysisHearsEveryLayerAtThePositionInTheCellsKey) {
    // Layer 1 holds C and E at the start, layer 2 a G that sounds from the start and a B that
    // starts later; measure 2 is in D major (its F# is written as it sounds).
    ASSERT_TRUE(
        simhost::ReadScoreText("qzs 1\nstaff 1\nmeasure 1\ns1: 4 <C4 E4> r 2 r\ns1 L2: 2 G3 4 B3 r\n"
                               "measure 2 key=D\ns1: 8 [D4 F#4 A4 D5 2 r\ns1 L2: 1 r\n"));
    struct Row {
        int measure;
        int32_t position;
        const char* symbol;
    };
    const Row rows[] = {{1, 0, "C/G"}, {1, 512, "C/G"}, {1, 1024, ""}, {1, 2048, ""}, {2, 0, ""}, {2, 512, ""}};
    for (const Row& row : rows) {
        simhost::RegionData region{};
        const int16_t slot = 1, measure = int16_t(row.measure);
        std::memcpy(region.data() + 2, &slot, 2);
        std::memcpy(region.data() + 4, &measure, 2);
        std::memcpy(region.data() + 6, &row.position, 4);
        uint8_t record[chords::kDataSize];
        std::memset(record, 0xAB, sizeof record);
        const bool found = chords::AnalyzeRegion(region, record, nullptr);
        EXPECT_EQ(*row.symbol != 0, found) << row.measure << "@" << row.position;
        if (!found) {
            EXPECT_EQ(0xAB, record[0]) << "a failed analysis writes nothing";
            continue;
        }
        chords::ChordName name;
        name.rootLetter = record[chords::kRootLetter];
        name.rootAlteration = int8_t(record[chords::kRootAlteration]);
        name.kind = record[chords::kKind];
        name.bassLetter = record[chords::kBassLetter];
        name.bassAlteration = int8_t(record[chords::kBassAlteration]);
        EXPECT_EQ(row.symbol, chords::SymbolText(name, true));
        EXPECT_EQ(1, record[chords::kAnalysisWord]);
        EXPECT_EQ(0, record[chords::kPosition]);
    }
    // In D major the written F# is the key's own: the gathered chord is D major.
    ASSERT_TRUE(simhost::ReadScoreText("qzs 1\nstaff 1\nmeasure 1 key=D\ns1: 2 <D4 F#4 A4> r\n"));
    simhost::RegionData region{};
    const int16_t one = 1;
    std::memcpy(region.data() + 2, &one, 2);
    std::memcpy(region.data() + 4, &one, 2);
    uint8_t record[chords::kDataSize] = {};
    ASSERT_TRUE(chords::AnalyzeRegion(region, record, nullptr));
    EXPECT_EQ(1, record[chords::kRootLetter]);
    EXPECT_EQ(0, record[chords::kRootAlteration]);
    EXPECT_EQ(1, record[chords::kKind]);
}
