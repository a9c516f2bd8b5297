// Chord symbols in the score text: their lines read and write back exactly (with and without
// bookkeeping), records the lines cannot give stay raw, and bad lines name their place.
#include "simhost/ChordAnalysis.h"
#include "simhost/Document.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <string>

using namespace simhost;

namespace {

const std::string kChords = R"(qzs 1
staff 1
staff 2
measure 1
s1 chord 0 Cmaj7/E
s1 chord 0 C#m7b5
s1 chord 2048 Dbm(maj7) bass=F
s2 chord 512 G show-bass flags=0x0003 analysis=1
s2 chord 3072 Bb7#9/Ab
s1: 8 [E4 G4 B4 C5 [B3 D4 F4 G4
s2: 1 r
measure 2
measure 3
s2 chord 0 F#69
)";

bool MeasureHasChords(int measure) {
    const RecordStore::Bytes* bytes = CurrentDocument().Records().Find(0x534F4D53, {{uint16_t(measure), 0, 0, 0}});
    return bytes && bytes->size() >= 22 && ((*bytes)[20] & 0x08) != 0;
}

}  // namespace

TEST(ScoreTextChords, ChordLinesReadAndWriteBackExactly) {
    EXPECT_EQ(kChords, CanonicalScoreText(kChords));
    ASSERT_TRUE(ReadScoreText(kChords));
    EXPECT_EQ(6, CurrentDocument().Records().Count(chords::kTag));
    EXPECT_TRUE(MeasureHasChords(1));
    EXPECT_FALSE(MeasureHasChords(2));
    EXPECT_TRUE(MeasureHasChords(3));
    const RecordStore::Bytes* second = CurrentDocument().Records().Find(chords::kTag, {{1, 1, 2, 0}});
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(chords::kDataSize, second->size());
    EXPECT_EQ(1, (*second)[chords::kRootLetter]);         // D
    EXPECT_EQ(0xFF, (*second)[chords::kRootAlteration]);  // flat
    EXPECT_EQ(3, (*second)[chords::kBassLetter]);         // F
    EXPECT_EQ(2048, (*second)[chords::kPosition] + 256 * (*second)[chords::kPosition + 1]);

    // Without bookkeeping only what the symbols show remains.
    ScoreTextOptions musical;
    musical.bookkeeping = false;
    const std::string text = WriteScoreText(musical);
    EXPECT_NE(text.find("s2 chord 512 G flags=0x0003\n"), std::string::npos) << text;
    EXPECT_NE(text.find("s1 chord 2048 Dbm(maj7) bass=F\n"), std::string::npos) << text;
}

TEST(ScoreTextChords, RecordsTheLinesCannotGiveStayRaw) {
    ASSERT_TRUE(ReadScoreText(kChords));
    RecordStore& records = CurrentDocument().Records();
    // An unknown kind on the first symbol of staff 1, a stray byte on staff 2's second.
    RecordStore::Bytes first = *records.Find(chords::kTag, {{1, 1, 0, 0}});
    first[chords::kKind] = 99;
    records.Put(chords::kTag, {{1, 1, 0, 0}}, first.data(), uint32_t(first.size()));
    RecordStore::Bytes last = *records.Find(chords::kTag, {{2, 1, 1, 0}});
    last[27] = 1;
    records.Put(chords::kTag, {{2, 1, 1, 0}}, last.data(), uint32_t(last.size()));
    const DocumentState changed = CurrentDocument().State();
    const std::string written = WriteScoreText();
    EXPECT_EQ(written.find("Cmaj7/E"), std::string::npos) << written;
    EXPECT_NE(written.find("s2 chord 512 G show-bass"), std::string::npos) << written;
    EXPECT_NE(written.find("raw SDCh 1 1 0 0 = "), std::string::npos) << written;
    EXPECT_NE(written.find("raw SDCh 2 1 1 0 = "), std::string::npos) << written;
    DocumentState again;
    ScoreTextError error;
    ASSERT_TRUE(ParseScoreState(written, &again, &error)) << error.ToString();
    EXPECT_TRUE(again == changed) << written;
}

TEST(ScoreTextChords, BadChordLinesNameTheirPlace) {
    struct Row {
        const char* line;
        int column;
        const char* message;
    };
    const Row rows[] = {
        {"s1 chord", 10, "expected the chord symbol's position"},
        {"s1 chord x C", 10, "expected the chord symbol's position"},
        {"s1 chord 0", 12, "expected a chord symbol"},
        {"s1 chord 0 Hm", 12, "expected a chord symbol"},
        {"s1 chord 0 Cmaj8", 12, "expected a chord symbol"},
        {"s1 chord 0 C/C", 12, "expected a chord symbol"},
        {"s1 chord 0 C bass=C", 14, "expected bass=NOTE"},
        {"s1 chord 0 C/E bass=G", 16, "expected bass=NOTE"},
        {"s1 chord 0 C flags=0x0040", 14, "expected bass=NOTE"},
        {"s1 chord 0 C analysis=0", 14, "expected bass=NOTE"},
        {"s1 chord 0 C loud", 14, "expected bass=NOTE"},
        {"s3 chord 0 C", 2, "staff 3 is not declared"},
    };
    for (const Row& row : rows) {
        ScoreTextError error;
        EXPECT_FALSE(ReadScoreText(std::string("qzs 1\nstaff 1\nmeasure 1\n") + row.line + "\n", &error)) << row.line;
        EXPECT_EQ(4, error.line) << row.line;
        EXPECT_EQ(row.column, error.column) << row.line << ": " << error.ToString();
        EXPECT_NE(error.message.find(row.message), std::string::npos) << row.line << ": " << error.ToString();
    }
}
