#include "simhost/Document.h"
#include "simhost/ScoreText.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <string>

using simhost::CurrentDocument;
using simhost::DocumentState;
using simhost::ReadScoreText;
using simhost::ScoreTextError;

TEST(ScoreTextShapes, ErrorsNameTheirPlace) {
    const std::string head = "qzs 1\nstaff 1\nmeasure 1\ns1: 4 C4 D4 E4 F4\nmeasure 2\ns1: 1 G4\n";
    struct Row {
        std::string text;
        int line, column;
        const char* expected;
    } rows[] = {
        {head + "s1 slur", 7, 9, "expected the shape's ends"},
        {head + "s1 slur 1", 7, 9, "expected the shape's ends"},
        {head + "s1 slur 1-@0", 7, 9, "expected the shape's ends"},
        {head + "s1 slur @0-@1024", 7, 9, "a slur joins two entries"},
        {head + "s1 cresc 1-2", 7, 10, "a hairpin lies between two positions"},
        {head + "s1 slur 1-3:1", 7, 1, "does not exist"},
        {head + "s1 slur 1-2", 7, 1, "has no entry 2 in measure 2"},
        {head + "s1 slur 1:1-2", 7, 9, "to start in this measure"},
        {head + "s1 dim @2048-@1024", 7, 8, "to start in this measure"},
        {head + "s1 slur 1-1 bogus", 7, 13, "expected dashed, type=, layer=, y=, n="},
        {head + "s1 cresc @0-@1 layer=2", 7, 16, "expected y=, n="},
        {head + "s1 slur 1-1 y=1,x", 7, 13, "expected y=<offset>"},
        {head + "s1 slur 1-1 layer=2", 7, 1, "layer 2 of staff 1 has no entry 1"},
        {head + "s1 shape x 1-1", 7, 10, "expected the shape's type number"},
        {head + "s1 slur 1-1 n=3\ns1 slur 1-1 n=3", 8, 1, "shape number 3 is given twice"},
    };
    ASSERT_TRUE(ReadScoreText("qzs 1\nstaff 1\nmeasure 1\ns1: 1 C4\n"));
    const DocumentState before = CurrentDocument().State();
    for (const Row& row : rows) {
        ScoreTextError error;
        EXPECT_FALSE(ReadScoreText(row.text, &error)) << row.text;
        EXPECT_EQ(error.line, row.line) << row.text << "\n" << error.ToString();
        EXPECT_EQ(error.column, row.column) << row.text << "\n" << error.ToString();
        EXPECT_NE(error.message.find(row.expected), std::string::npos) << row.text << "\n" << error.ToString();
    }
    EXPECT_TRUE(CurrentDocument().State() == before);
}

// Numbers given out of reading order, a shape the notation cannot say (ends on two staves) and
// a mark without its shape all come back exactly.
TEST(ScoreTextShapes, UnusualShapesRoundTrip) {
    const std::string texts[] = {
        "qzs 1\nstaff 1\nmeasure 1\ns1: 2 C4 D4\ns1 slur 1-2 n=2\nmeasure 2\ns1: 1 E4\ns1 slur 1-1 n=1\n",
        "qzs 1\nstaff 1\nstaff 2\nmeasure 1\ns1: 1 C4\ns2: 1 C3\ns1 cresc @0-@2048\n"
        "raw O\\x08Sx 1 0 0 0 = 0300008600000100010000000000000000000040000000000000000000000000000000000000"
        "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000\n",
        "qzs 1\nstaff 1\nmeasure 1\ns1 L2: 2 C4 D4\ns1 slur 1-2 layer=2 y=24,-12\n",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        ScoreTextError error;
        ASSERT_TRUE(ReadScoreText(text, &error)) << error.ToString();
        const DocumentState read = CurrentDocument().State();
        const std::string written = simhost::WriteScoreText();
        DocumentState again;
        ASSERT_TRUE(simhost::ParseScoreState(written, &again, &error)) << error.ToString();
        EXPECT_TRUE(again == read) << written;
        EXPECT_EQ(simhost::CanonicalScoreText(written), written);
    }
}
